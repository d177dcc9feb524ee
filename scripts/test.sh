#!/usr/bin/env bash
# Builds Tarvelo and runs every test under Wine on a private Xvfb display.
# Installs what is missing first; a second run rebuilds only what changed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build
start_test_wine
cd "$BUILD_DIR"
# A case that fails is run once more before it counts: under load a Wine
# process now and then ends at once, before the test program prints anything.
# A fault of the code fails twice.
ctest --output-on-failure --repeat until-pass:2 -j "${TARVELO_JOBS:-$(nproc)}" "$@"
