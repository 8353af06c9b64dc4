#!/usr/bin/env bash
# Builds the per-user installer of odbackup.exe with wixl.
# Usage: make-msi.sh x64|x86 VERSION EXE ICON OUTPUT
# The codes stay the same for every version and build: one upgrade code makes
# a newer package replace an older one, and the component codes let an upgrade
# see the same components. Each bitness has its own, so both can be installed.
set -euo pipefail
arch=$1 version=$2 exe=$3 icon=$4 output=$5
here=$(cd "$(dirname "$0")" && pwd)
case $arch in
  x64) upgrade=6C1B3F0E-2D4A-4E8B-9A51-3F7C2E8D0A11 component=0B5E1C7A-8F2D-4A36-B1C9-5D7E3A2F8C0 ;;
  x86) upgrade=6C1B3F0E-2D4A-4E8B-9A51-3F7C2E8D0A12 component=0B5E1C7A-8F2D-4A36-B1C9-5D7E3A2F8D0 ;;
  *) echo "make-msi.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
# wixl takes no absolute source paths: it runs where links to both files lie.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$(realpath "$exe")" "$work/odbackup.exe"
ln -s "$(realpath "$icon")" "$work/odbackup.ico"
out=$(realpath -m "$output")
(cd "$work" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D UpgradeCode=$upgrade \
  -D ProgramGuid=${component}1 -D AutostartGuid=${component}2 -D StartMenuGuid=${component}3 \
  -D Exe=odbackup.exe -D Icon=odbackup.ico -o "$out.tmp" "$here/odbackup.wxs")
mv "$out.tmp" "$out"
