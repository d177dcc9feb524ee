#!/usr/bin/env bash
# Builds Tarvelo and starts it in a Wine prefix of its own, on a sample
# bookmark folder. On a desktop it opens in a Wine virtual desktop; without a
# display it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_all
EXE="$BUILD_DIR/app/Tarvelo.exe"
if [ ! -f "$EXE" ]; then
    log "Tarvelo.exe is not built yet"
    exit 1
fi
ensure_prefix "$BUILD_DIR/runprefix"
exec "$TARVELO_ROOT/scripts/start-tarvelo.sh" "$EXE" "$@"
