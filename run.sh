#!/usr/bin/env bash
# Builds Kestrune and starts it under Wine: ./run.sh [switch]   (e.g. ./run.sh /CLEANJUNK)
# Uses $WINEPREFIX when set, else Wine's default prefix; starts a private Xvfb when there is
# no $DISPLAY.
set -eu
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${KESTRUNE_BUILD_DIR:-$top/build}"
"$top/scripts/deps.sh"
"$top/scripts/build.sh" "$build"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$build/bin/Kestrune.exe" "$@"
fi
exec wine "$build/bin/Kestrune.exe" "$@"
