#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix.
# The prefix and environment are prepared by tests/wine-env.sh; this wrapper only
# makes sure the variables are there when ctest is started by hand.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ -z "${KESTRUNE_TEST_ENV:-}" ]; then
  # shellcheck source=/dev/null
  . "$here/../tests/wine-env.sh" "${KESTRUNE_BUILD_DIR:-$here/../build}"
fi
exec wine "$@"
