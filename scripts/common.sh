# Shared by the scripts: packages, build, Wine prefix, display.
# Sourced, not run.

TARVELO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVELO_BUILD_DIR:-$TARVELO_ROOT/build}"
# The 32-bit (i686) build, beside the x86_64 one.
BUILD_DIR_I686="${TARVELO_BUILD_DIR_I686:-$TARVELO_ROOT/build-i686}"

TARVELO_PACKAGES=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine64 wine fonts-wine xvfb xauth
                  cmake ninja-build googletest libwine-dev x11-apps x11-utils imagemagick
                  famfamfam-silk fp-utils fonts-liberation ccache)

log() { printf '== %s\n' "$*" >&2; }

# Installs whatever Debian package is missing; does nothing when all are there.
ensure_packages() {
    local missing=()
    for p in "${TARVELO_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    # A list that fails to download (a mirror in mid-sync) leaves the older one.
    $sudo apt-get update -qq || log "apt-get update reported errors; installing from the lists there are"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Where ccache is installed, compiles go through it; paths below the tree are
# hashed relative to it, so that two clones of the tree share their objects.
export CCACHE_BASEDIR="$TARVELO_ROOT" CCACHE_NOHASHDIR=1

# build_tree DIR TOOLCHAIN [TARGET...]: configures DIR once with the toolchain
# file cmake/TOOLCHAIN.cmake, then builds what changed: the targets named, or
# all of them.
build_tree() {
    local dir="$1" toolchain="$2"
    shift 2
    if [ ! -f "$dir/build.ninja" ]; then
        log "configuring in $dir"
        local launcher=()
        command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
        cmake -S "$TARVELO_ROOT" -B "$dir" -G Ninja "${launcher[@]}" \
            -DCMAKE_TOOLCHAIN_FILE="$TARVELO_ROOT/cmake/$toolchain.cmake" >/dev/null
    fi
    log "building ${*:-everything} in $dir"
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --build "$dir" -j "${TARVELO_JOBS:-$(nproc)}" "${targets[@]}"
}

# The x86_64 build (build/) and the i686 one (build-i686/).
build() { build_tree "$BUILD_DIR" mingw-w64-x86_64 "$@"; }
build_i686() { build_tree "$BUILD_DIR_I686" mingw-w64-i686 "$@"; }

# 32-bit programs run in Wine's 32-bit half, Debian's wine32 of the i386
# architecture (multiarch). Installs it when it is missing; fails when it
# cannot be installed.
#
# The plain install comes first. Where it fails, the usual cause is that the
# i386 packages come from the point release while some of their amd64 twins
# on this machine come from the security suite (or are older): packages that
# are "Multi-Arch: same" must have equal versions on both architectures, so
# apt refuses. The second road installs from the point release and moves each
# such amd64 twin to the version of its i386 candidate.
ensure_wine32() {
    if ! kernel_runs_32bit; then
        log "this machine's kernel runs no 32-bit programs (a 32-bit probe: ${KERNEL_32BIT_MESSAGE:-refused}): Wine's 32-bit half cannot run here"
        # Installed all the same, the 32-bit loader would take over from the
        # 64-bit one and no Wine program would start.
        if have_wine32; then
            log "removing wine32:i386 so that Wine's 64-bit half starts programs again"
            local sudo=""
            [ "$(id -u)" -ne 0 ] && sudo="sudo"
            DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq wine32:i386 >/dev/null
        fi
        return 1
    fi
    have_wine32 && return 0
    log "installing wine32:i386 (multiarch)"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    local added=0
    dpkg --print-foreign-architectures | grep -qx i386 || { $sudo dpkg --add-architecture i386; added=1; }
    $sudo apt-get update -qq || log "apt-get update reported errors; installing from the lists there are"
    if DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null 2>"${TMPDIR:-/tmp}/tarvelo-wine32-install.log"; then
        log "wine32:i386 installed"
        return 0
    fi
    log "the plain install of wine32:i386 failed (see ${TMPDIR:-/tmp}/tarvelo-wine32-install.log); pairing the amd64 twins with the point release's i386 versions"
    local pins
    if pins="$(wine32_version_pins)" &&
       DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --allow-downgrades \
           -t "$(wine32_point_release)" wine32:i386 $pins >"${TMPDIR:-/tmp}/tarvelo-wine32-install.log" 2>&1; then
        log "wine32:i386 installed from the point release; versions paired: ${pins:-none}"
        return 0
    fi
    log "wine32:i386 cannot be installed: the i686 programs cannot run here"
    # Leave the machine's package lists as they were.
    if [ $added -eq 1 ]; then
        $sudo dpkg --remove-architecture i386 && $sudo apt-get update -qq || true
    fi
    return 1
}

# Wine's 32-bit half, made ready once per script before any prefix is made:
# installed where this machine runs 32-bit programs. WINE32_READY is then 1
# when the i686 programs can run here, 0 when not (the reason is logged).
WINE32_READY=""
prepare_wine_halves() {
    [ -n "$WINE32_READY" ] && return 0
    if ensure_wine32; then WINE32_READY=1; else WINE32_READY=0; fi
}

# The point release's suite name (bookworm on Debian 12).
wine32_point_release() {
    . /etc/os-release
    echo "${VERSION_CODENAME:-bookworm}"
}

# Prints "NAME:amd64=V NAME:i386=V" for every Multi-Arch: same package that
# wine32:i386 brings in and whose installed amd64 version differs from the
# i386 candidate's version V in the point release.
wine32_version_pins() {
    local release pkgs
    release="$(wine32_point_release)"
    # Every i386 package that wine32 depends on, directly or not. (A simulated
    # install from the point release cannot list them: it fails for the very
    # version mismatch this works around.)
    pkgs="$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
                --no-replaces --no-enhances wine32:i386 2>/dev/null |
            sed -n 's/^\([a-z0-9][^ <>]*\):i386$/\1/p' | sort -u)"
    [ -n "$pkgs" ] || return 1
    local -A multiarch_same=() candidate=()
    local name field value
    # One look-up for all of them: the Multi-Arch field of each i386 package...
    while IFS=: read -r field value; do
        case "$field" in
            Package) name="${value# }" ;;
            Multi-Arch) [ "${value# }" = same ] && multiarch_same[$name]=1 ;;
        esac
    done < <(apt-cache show $(printf '%s:i386 ' $pkgs) 2>/dev/null)
    # ...and the version of each that the point release offers.
    while read -r name value; do
        candidate[$name]="$value"
    done < <(apt-cache policy $(printf '%s:i386 ' $pkgs) 2>/dev/null | awk -v r="$release" '
        /^[^ ].*:$/ { pkg = $1; sub(/:i386:$/, "", pkg); sub(/:$/, "", pkg); v = ""; done = 0; next }
        /^ +(\*\*\* )?[0-9a-z.:~+-]+ [0-9]+$/ { v = $(NF-1); next }
        !done && v != "" && $0 ~ (" " r "/") { print pkg, v; done = 1 }')
    local out=() installed
    for name in $pkgs; do
        [ -n "${multiarch_same[$name]:-}" ] && [ -n "${candidate[$name]:-}" ] || continue
        installed="$(dpkg-query -W -f='${Version}' "$name:amd64" 2>/dev/null)" || continue
        [ -n "$installed" ] && [ "$installed" != "${candidate[$name]}" ] &&
            out+=("$name:amd64=${candidate[$name]}" "$name:i386=${candidate[$name]}")
    done
    echo "${out[*]}"
}

# True when the kernel executes 32-bit (i386) programs: it runs a 93-byte
# i386 ELF program that only exits. Some virtual machines switch IA-32
# emulation off, and then execve of any i386 program fails with ENOEXEC.
kernel_runs_32bit() {
    local probe
    probe="$(mktemp)"
    local hex=7f454c46010101000000000000000000020003000100000054800408340000000000000000000000340020000100000000000000010000000000000000800408008004085d0000005d000000050000000010000031dbb801000000cd80
    # shellcheck disable=SC2059
    printf "$(sed 's/../\\x&/g' <<<"$hex")" >"$probe"
    chmod +x "$probe"
    local ok=1
    KERNEL_32BIT_MESSAGE="$( { "$probe" >/dev/null; } 2>&1 )" && ok=0
    rm -f "$probe"
    # What the kernel said, for the skip line ("Exec format error" where IA-32
    # emulation is off).
    KERNEL_32BIT_MESSAGE="${KERNEL_32BIT_MESSAGE##*: }"
    return $ok
}

# True when Wine's 32-bit half is installed.
have_wine32() {
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"
}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# A Wine prefix of the build's own, made once.
ensure_prefix() {
    export WINEPREFIX="$1"
    # A prefix made before Wine's 32-bit half was installed starts no program
    # once it is there ("could not load kernel32.dll"): make it again.
    if [ -f "$WINEPREFIX/system.reg" ] && have_wine32 && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
        log "remaking Wine prefix $WINEPREFIX: it was made without Wine's 32-bit half"
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "making Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    ensure_wine_fonts
}

# Wine's own fonts lie in /usr/share/wine/fonts (package fonts-wine), where
# this Wine does not look by itself: without Marlett, caption buttons, menu
# check marks and arrows are drawn as the letters that stand for them. The
# prefix names the folder as a font path, once.
ensure_wine_fonts() {
    [ -f /usr/share/wine/fonts/marlett.ttf ] || return 0
    grep -qF '"Path"="Z:\\usr\\share\\wine\\fonts"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
    wine reg add 'HKCU\Software\Wine\Fonts' /v Path /t REG_SZ /d 'Z:\usr\share\wine\fonts' /f >/dev/null 2>&1
    wineserver -w
}

# The add-link dialog's template names "Times New Roman", which Wine does not
# ship: without a stand-in Wine draws it in a sans-serif face. Liberation Serif
# (package fonts-liberation) has the metrics of Times New Roman, so the dialog
# looks and measures as it does on Windows. Set once, in the prefix of
# scripts/run.sh only: the engine's layout tests are measured without it.
ensure_font_replacements() {
    [ -f /usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf ] || return 0
    grep -qF '"Times New Roman"="Liberation Serif"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ /d 'Liberation Serif' /f >/dev/null 2>&1
    wineserver -w
}

# Without a window manager on the display, Wine waits 2 s for the manager
# each time a managed window is hidden; windows that Wine manages itself
# ("Managed"="N") do not wait. Set once in the prefix, before Wine's own
# processes start.
ensure_unmanaged_windows() {
    grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
}

XVFB_PID=""
# Starts a private Xvfb and exports DISPLAY.
start_xvfb() {
    local fd_file
    fd_file="$(mktemp)"
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$fd_file" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
    log "Xvfb on $DISPLAY"
}

stop_services() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
    XVFB_PID=""
}

# The test prefix on a private display, with one wineserver kept running and
# Wine's own background processes started outside the callers' output pipes
# (CTest would otherwise wait on them after every test). Stops it all on exit.
start_test_wine() {
    ensure_prefix "$BUILD_DIR/wineprefix"
    ensure_unmanaged_windows
    trap stop_services EXIT
    start_xvfb
    # The build runs the test programs once to list their cases; a server
    # it left behind in this prefix must end before ours starts.
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p
    wine cmd.exe /c exit >/dev/null 2>&1 || true
}
