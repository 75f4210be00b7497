#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and run.sh need, when any is missing.
set -eu
pkgs=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xauth
      x11-apps imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
