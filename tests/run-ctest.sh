#!/usr/bin/env bash
# Runs ctest inside a Wine session of the build's private prefix (called by test.sh).
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$1"; shift
# shellcheck source=/dev/null
. "$here/wine-env.sh" "$build"
"$here/wine-session.sh" start "$build" || { echo "run-ctest: the Wine session did not start" >&2; exit 1; }
trap '"$here/wine-session.sh" stop "$build"' EXIT
# A test program that fails is run once more, and its first failure stays in the output: a
# failure that Wine or the X server causes now and then (seen once in the ui tests, not
# reproduced) does not fail the run, while a real fault fails both times.
cd "$KESTRUNE_BUILD_DIR" && ctest --output-on-failure -j2 --repeat until-pass:2 "$@"
