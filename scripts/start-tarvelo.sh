#!/usr/bin/env bash
# Starts a built Tarvelo.exe in the current WINEPREFIX (see run.sh), inside a
# Wine virtual desktop. On the user's display it stays until the user closes
# it; without a display it runs under Xvfb, saves a screenshot of the main
# window (PNG) and prints its path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
EXE="$1"; shift
DESKTOP="Tarvelo,1280x800"
log "starting $EXE"
if [ -n "${DISPLAY:-}" ]; then
    exec wine explorer /desktop="$DESKTOP" "$(winepath -w "$EXE")" "$@"
fi

trap stop_services EXIT
start_xvfb
wine explorer /desktop="$DESKTOP" "$(winepath -w "$EXE")" "$@" >/dev/null 2>&1 &

# Wait for the main window, then give it a moment to settle.
desktop=""
for _ in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Tarvelo 2.3'; then
        desktop="$(xwininfo -root -tree | awk '/Wine desktop/ {print $1; exit}')"
        break
    fi
    sleep 0.5
done
if [ -z "$desktop" ]; then
    log "the main window did not appear"
    exit 1
fi
sleep 3
shot="$BUILD_DIR/tarvelo-screenshot.png"
xwd -id "$desktop" -silent | convert xwd:- "$shot"
log "screenshot of the main window saved"
echo "$shot"
