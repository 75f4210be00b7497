#!/usr/bin/env bash
# Builds Kestrune and its tests and runs every test under Wine, headless, in a private prefix.
#   ./test.sh [ctest arguments...]      e.g. ./test.sh -R core
# KESTRUNE_BUILD_DIR picks another build folder (default: build).
set -eu
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${KESTRUNE_BUILD_DIR:-$top/build}"
"$top/scripts/deps.sh"
"$top/scripts/build.sh" "$build"
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$top/tests/run-ctest.sh" "$build" "$@"
