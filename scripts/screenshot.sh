#!/usr/bin/env bash
# Takes a screenshot of the X display $DISPLAY (for example the Xvfb of a test run).
#   scripts/screenshot.sh out.png
# ImageMagick's import reads the composed screen. xwd -root (the fallback) shows a window that
# lies wholly inside another one as a black box under Xvfb, so it is used only without import.
set -eu
out="${1:?usage: $0 out.png}"
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no DISPLAY" >&2; exit 1; }
[ -x /usr/bin/convert ] || { echo "screenshot: /usr/bin/convert missing (apt-get install imagemagick)" >&2; exit 1; }
if [ -x /usr/bin/import ]; then
  /usr/bin/import -display "$DISPLAY" -window root "png:$out"
else
  command -v xwd >/dev/null || { echo "screenshot: xwd missing (apt-get install x11-apps)" >&2; exit 1; }
  xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "png:$out"
fi
