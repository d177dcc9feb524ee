#!/usr/bin/env bash
# Builds Tarvelo and runs every test under Wine on a private Xvfb display.
# Installs what is missing first; a second run rebuilds only what changed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_all
ensure_prefix "$BUILD_DIR/wineprefix"
ensure_test_display
trap stop_services EXIT
start_xvfb
wineserver -p
# Start Wine's own background processes now, outside CTest's output pipes:
# CTest would otherwise wait on them after every test.
wine cmd.exe /c exit >/dev/null 2>&1 || true
cd "$BUILD_DIR"
ctest --output-on-failure -j "${TARVELO_JOBS:-$(nproc)}" "$@"
