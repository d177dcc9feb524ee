#!/usr/bin/env bash
# Builds Tarvelo.exe (only what it needs) and starts it in a Wine prefix of its
# own (build/runprefix), installed in C:\Tarvelo with a sample bookmark folder.
# On a desktop it opens in a Wine virtual desktop; without a display it runs
# under Xvfb, saves a screenshot of the main window and prints its path.
#
#   scripts/run.sh          the x86_64 program
#   scripts/run.sh --i686   the 32-bit program of the i686 build, in
#                           build-i686/runprefix (both install Wine's
#                           32-bit half where the machine runs 32-bit programs)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
prepare_wine_halves
if [ "${1:-}" = "--i686" ]; then
    shift
    if [ "$WINE32_READY" != 1 ]; then
        log "the 32-bit program cannot run on this machine (see above)"
        exit 1
    fi
    build_i686 Tarvelo TQHelp
    BUILD_DIR="$BUILD_DIR_I686"
    export TARVELO_BUILD_DIR="$BUILD_DIR"
else
    build Tarvelo TQHelp
fi
EXE="$BUILD_DIR/app/Tarvelo.exe"
if [ ! -f "$EXE" ]; then
    log "Tarvelo.exe is not built yet"
    exit 1
fi
ensure_prefix "$BUILD_DIR/runprefix"
ensure_unmanaged_windows
ensure_font_replacements

# The install path: the program and its help file, and below it Bookmark\Allpages.
INSTALL_DIR="$WINEPREFIX/drive_c/Tarvelo"
ALLPAGES="$INSTALL_DIR/Bookmark/Allpages"
mkdir -p "$INSTALL_DIR"
cp "$EXE" "$INSTALL_DIR/Tarvelo.exe"
cp "$BUILD_DIR/app/TQHelp.chm" "$INSTALL_DIR/TQHelp.chm"

# A page file: UTF-16 with byte-order mark, as the program writes them.
write_page() {
    local path="$1" title="$2" body="$3"
    mkdir -p "$(dirname "$path")"
    {
        printf '\xff\xfe'
        printf '<html id=tq1>\n<head>\n<title>%s</title>\n</head>\n<body background="#606666" color ="#606666">\n%s\n<BR 2><BR 2><BR 2><HR id=bodyend width="50%%" color=black size=1>\n</body>\n</html>\n' \
            "$title" "$body" | iconv -f UTF-8 -t UTF-16LE
    } >"$path"
}

if [ ! -d "$ALLPAGES" ]; then
    log "creating the sample bookmark folder in $INSTALL_DIR"
    write_page "$ALLPAGES/Welcome.htm" "Welcome" \
        '<center><font size=5><B>Welcome</B></font></center>
<P>Pages live in the folder tree on the left. Links clipped from the browser go into a page&#39;s sections.</P>
<P>&gt;&gt;&gt;Links&lt;&lt;&lt;</P>
<A href="http://www.tarvelo.com">Tarvelo</A><BR>'
    write_page "$ALLPAGES/Recipes/Bread.htm" "Bread" \
        '<center><font size=5><B>Bread</B></font></center>
<P>&gt;&gt;&gt;Ingredients&lt;&lt;&lt;</P>
<P>500 g flour, 10 g salt, 7 g yeast, 320 ml water.</P>'
fi

wine reg add 'HKCU\Software\Tarvelo\Tarvelo\Settings' /v InstallPath /t REG_SZ /d 'C:\Tarvelo' /f >/dev/null 2>&1
# The first start reopens the welcome page (later starts the page last closed).
wine reg query 'HKCU\Software\Tarvelo\Tarvelo\Settings' /v FileHot >/dev/null 2>&1 ||
    wine reg add 'HKCU\Software\Tarvelo\Tarvelo\Settings' /v FileHot /t REG_SZ \
        /d 'C:\Tarvelo\Bookmark\Allpages\Welcome.htm' /f >/dev/null 2>&1
exec "$TARVELO_ROOT/scripts/start-tarvelo.sh" "$INSTALL_DIR/Tarvelo.exe" "$@"
