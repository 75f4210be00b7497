#!/usr/bin/env bash
# Source this: sets up the environment of the private Wine prefix of a build folder.
#   . tests/wine-env.sh [build-folder]
# Nothing here touches the user's own prefix or home.
_kes_build="${1:-${KESTRUNE_BUILD_DIR:-build}}"
_kes_build="$(mkdir -p "$_kes_build" && cd "$_kes_build" && pwd)"
export KESTRUNE_BUILD_DIR="$_kes_build"
export WINEPREFIX="$_kes_build/wineprefix"
export WINEARCH=win64
export WINEDEBUG="${KES_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$_kes_build/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" \
       XDG_CACHE_HOME="$HOME/.cache" XDG_DESKTOP_DIR="$HOME/Desktop" \
       XDG_DOCUMENTS_DIR="$HOME/Documents" XDG_RUNTIME_DIR="$_kes_build/xdg-runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export KESTRUNE_TEST_ENV=1
unset _kes_build
