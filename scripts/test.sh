#!/usr/bin/env bash
# Builds Tarvelo and runs every test under Wine on a private Xvfb display.
# Installs what is missing first; a second run rebuilds only what changed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_all
start_test_wine
cd "$BUILD_DIR"
ctest --output-on-failure -j "${TARVELO_JOBS:-$(nproc)}" "$@"
