#!/usr/bin/env bash
# Builds Tarvelo (x86_64 and i686) and runs its tests under Wine on a private
# Xvfb display: the whole x86_64 suite, then the i686 build's library, clip and
# clip-road suites in Wine's 32-bit half. Installs what is missing first (Wine's
# 32-bit half included, where this machine runs 32-bit programs; where it does
# not, the i686 suites are skipped and the log says why). A second run
# rebuilds only what changed.
#
#   scripts/test.sh [ctest arguments...]         both suites (CI runs this); with
#       arguments, the tests they select, on both architectures
#   scripts/test.sh --i686 [ctest arguments...]  the i686 build only: by default
#       its library, clip and clip-road suites and the end-to-end cases
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# The i686 build's share of the suite: the text and store layers, the clip
# intake and its road through the real 32-bit Tarvelo.exe, and the four
# libraries as a 32-bit browser and Explorer load them.
I686_SUITES='^(text_tests|store_tests|clip_tests|clip_road_tests|extension_tests|extension_road_tests)\.'

# run_suite DIR [ctest arguments...]: the tests of one build in its own prefix.
run_suite() {
    local dir="$1" status=0
    shift
    BUILD_DIR="$dir" start_test_wine
    # A case that fails is run once more before it counts: under load a Wine
    # process now and then ends at once, before the test program prints
    # anything. A fault of the code fails twice.
    (cd "$dir" && ctest --output-on-failure --repeat until-pass:2 -j "${TARVELO_JOBS:-$(nproc)}" "$@") || status=$?
    stop_services
    trap - EXIT
    return $status
}

ensure_packages
prepare_wine_halves
if [ "${1:-}" = "--i686" ]; then
    shift
    if [ "$WINE32_READY" != 1 ]; then
        log "the i686 suite cannot run on this machine (see above)"
        exit 1
    fi
    build_i686
    [ $# -eq 0 ] && set -- -R "$I686_SUITES|^app_input_tests\.EndToEnd"
    run_suite "$BUILD_DIR_I686" "$@"
    exit
fi

build
build_i686
status=0
# The engine's corpus cases read the html5lib tree-construction corpus from
# ../shared/corpus beside the tree (where CI puts its copy of shared/).
if [ ! -d "$TARVELO_ROOT/../shared/corpus/html5lib-tree-construction" ]; then
    log "no html5lib corpus in $(cd "$TARVELO_ROOT/.." && pwd)/shared/corpus: the four corpus cases of engine_tests are skipped"
fi
log "the x86_64 suite"
run_suite "$BUILD_DIR" "$@" || status=$?
if [ "$WINE32_READY" = 1 ]; then
    log "the i686 suite"
    if [ $# -eq 0 ]; then
        run_suite "$BUILD_DIR_I686" -R "$I686_SUITES" || status=$?
    else
        run_suite "$BUILD_DIR_I686" "$@" || status=$?
    fi
else
    log "the i686 suite is skipped: Wine's 32-bit half cannot run on this machine (see above)"
fi
exit $status
