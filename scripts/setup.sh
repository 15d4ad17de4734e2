#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian 12, as root,
# without prompts. Idempotent: when every package is present it changes nothing
# and asks no registry.
set -euo pipefail

PACKAGES=(
  wine wine32:i386
  g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64 mingw-w64-tools
  cmake make xvfb xdotool x11-utils googletest imagemagick
  icoutils binutils-mingw-w64-i686 file python3 nsis procps unzip
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  NEED_UPDATE=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  # dpkg-query prints "install ok installed" only for a fully installed package.
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ -n "${NEED_UPDATE:-}" ]; then
  $SUDO apt-get update -qq
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
