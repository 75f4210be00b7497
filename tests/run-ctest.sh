#!/usr/bin/env bash
# Runs ctest inside a Wine session of the build's private prefix (called by test.sh).
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$1"; shift
# shellcheck source=/dev/null
. "$here/wine-env.sh" "$build"
"$here/wine-session.sh" start "$build" || { echo "run-ctest: the Wine session did not start" >&2; exit 1; }
trap '"$here/wine-session.sh" stop "$build"' EXIT
cd "$KESTRUNE_BUILD_DIR" && ctest --output-on-failure -j2 "$@"
