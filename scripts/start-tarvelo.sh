#!/usr/bin/env bash
# Starts a built Tarvelo.exe in the current WINEPREFIX (see run.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
EXE="$1"; shift
log "starting $EXE"
if [ -n "${DISPLAY:-}" ]; then
    exec wine explorer /desktop=Tarvelo,1280x800 "$(winepath -w "$EXE")" "$@"
fi
trap stop_services EXIT
start_xvfb
wine "$EXE" "$@" &
sleep 8
shot="$BUILD_DIR/tarvelo-screenshot.png"
xwd -root -silent | convert xwd:- "$shot" 2>/dev/null || xwd -root -silent -out "${shot%.png}.xwd"
log "screenshot: $shot"
