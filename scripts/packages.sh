#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, skipping those present.
set -euo pipefail
# "demo" installs only what the Linux program and its demo need.
packages=(cmake ninja-build g++ googletest firebird3.0-server firebird3.0-utils firebird-dev)
if [[ "${1:-all}" != demo ]]; then
  packages+=(g++-mingw-w64-x86-64-posix wine xvfb xauth imagemagick python3 clang libclang-rt-14-dev
             valgrind systemd)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
