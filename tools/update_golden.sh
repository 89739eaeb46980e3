#!/usr/bin/env bash
# Regenerates the golden frames of the room draw pass (tests/sprites/golden/)
# from the current renderer, on purpose: run it only after a deliberate change
# of what rooms look like, look at the new PNGs, and commit them. Usage:
# tools/update_golden.sh [BUILD_DIR]   (default build/asan, already built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/asan}
cd "$build"
EGL_PLATFORM=surfaceless SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ZQ_UPDATE_GOLDEN=1 \
    LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp:print_suppressions=0" \
    ./tests/test_sprites --gtest_filter='Rooms/GoldenFrame.*'
