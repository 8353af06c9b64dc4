#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, skipping those present.
set -euo pipefail
# "demo" installs only what the Linux program and its demo need.
packages=(cmake ninja-build g++ googletest firebird3.0-server firebird3.0-utils firebird-dev)
if [[ "${1:-all}" != demo ]]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64-tools libwine-dev
             xvfb xauth imagemagick python3 clang libclang-rt-14-dev valgrind locales unzip)
fi
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
[[ "${1:-all}" == demo ]] && exit 0

# The 32-bit Windows program is tested under 32-bit Wine with the bridge to the
# i386 Firebird client. A mirror that cannot serve the i386 packages must not
# stop the rest: the 32-bit real backup tests then skip and say why.
i386=(wine32:i386 libfbclient2:i386)
missing=()
for p in "${i386[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq || true
  if ! apt-get install -y -qq "${missing[@]}" >/dev/null; then
    echo "WARNING: ${missing[*]} could not be installed (see apt above): the 32-bit" \
      "Windows program is built, but its tests under 32-bit Wine will be skipped" >&2
  fi
fi
