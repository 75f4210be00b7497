#!/usr/bin/env bash
# start|stop the Wine session of a test run in the build's private prefix.
#   tests/wine-session.sh start BUILD   creates the prefix on first use, maps the test drives,
#                                       starts a persistent server and a keep-alive window
#   tests/wine-session.sh stop BUILD    ends every process of that prefix (and only those)
# Wine's helper processes inherit the standard handles of whoever starts them, so everything
# here is started with all three on /dev/null; otherwise ctest waits for them.
set -eu
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
action="$1"; build="${2:-build}"
# shellcheck source=/dev/null
. "$here/wine-env.sh" "$build"
build="$KESTRUNE_BUILD_DIR"

quiet() { "$@" </dev/null >/dev/null 2>&1; }

# Without a window manager (Xvfb) the windows Wine hands to X get no frame or caption; let Wine
# draw them itself, so screenshots show windows as a user sees them.
wine_draws_frames() {
  [ -f "$WINEPREFIX/.kestrune-frames" ] && return 0
  quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || true
  quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f || true
  touch "$WINEPREFIX/.kestrune-frames"
}

make_prefix() {
  [ -f "$WINEPREFIX/.kestrune-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  quiet wineboot -i
  quiet wine winecfg /v win10 || true
  # Test drives: X: fixed, Y: CD-ROM, W: network, V: removable; each a folder of the build.
  for d in x y w v; do
    mkdir -p "$build/drives/$d"
    ln -sfn "$build/drives/$d" "$WINEPREFIX/dosdevices/$d:"
  done
  echo "KESTEST-X" > "$build/drives/x/.windows-label"
  cat > "$build/drives.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"y:"="cdrom"
"w:"="network"
"v:"="floppy"
REG
  quiet wine regedit /s "$(winepath -w "$build/drives.reg" 2>/dev/null || echo 'Z:'"${build//\//\\}"'\drives.reg')"
  quiet wineserver -w || true
  touch "$WINEPREFIX/.kestrune-ready"
}

case "$action" in
  start)
    [ -n "${DISPLAY:-}" ] || { echo "wine-session: no DISPLAY (run under xvfb-run)" >&2; exit 1; }
    # A server started without a display poisons later windows: begin from a clean slate.
    quiet wineserver -k || true
    make_prefix
    wine_draws_frames
    # A tree holding a host symbolic link to a folder outside it, for the walks that must not
    # follow links (Wine cannot create links itself). Rebuilt on every start.
    rm -rf "$build/hostlinks"
    mkdir -p "$build/hostlinks/tree/inside" "$build/hostlinks/outside"
    : > "$build/hostlinks/tree/inside/near.tmp"
    : > "$build/hostlinks/outside/beyond.tmp"
    ln -s ../outside "$build/hostlinks/tree/link"
    # Setting up may have left a server running; the persistent one starts from none.
    quiet wineserver -k || true
    quiet wineserver -w || true
    wineserver -p </dev/null >/dev/null 2>&1 || { echo "wine-session: cannot start wineserver" >&2; exit 1; }
    # The keep-alive window stops Wine from closing its desktop between test programs.
    if [ -f "$build/tests/kes_keepalive.exe" ]; then
      ready="$build/keepalive.ready"
      rm -f "$ready"
      (wine "$build/tests/kes_keepalive.exe" "$(winepath -w "$ready" 2>/dev/null)" </dev/null >/dev/null 2>&1 &)
      for _ in $(seq 1 300); do [ -f "$ready" ] && break; sleep 0.1; done
    fi
    quiet wine cmd /c exit 0 || true
    ;;
  stop)
    quiet wineserver -k || true
    ;;
  *) echo "usage: $0 start|stop [build]" >&2; exit 2 ;;
esac
