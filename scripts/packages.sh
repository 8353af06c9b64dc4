#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, skipping those present.
set -euo pipefail
# "demo" installs only what the Linux program and its demo need.
packages=(cmake ninja-build g++ googletest firebird3.0-server firebird3.0-utils firebird-dev zlib1g-dev)
if [[ "${1:-all}" != demo ]]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64-tools libwine-dev
             xvfb xauth imagemagick python3 clang libclang-rt-14-dev valgrind locales unzip systemd
             faketime strace tzdata libz-mingw-w64-dev wixl)
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
# i386 Firebird client, built by winegcc -m32. A mirror that cannot serve the
# i386 packages must not stop the rest: the 32-bit tests then skip and say why.
i386=(wine32:i386 libwine-dev:i386 libfbclient2:i386 lib32gcc-12-dev)

# An i386 package and its amd64 twin must have the same version. When the
# mirror's i386 security index is stale, apt either says the i386 twin "is not
# going to be installed" or plans to remove the amd64 one. Pinning both twins
# to the version i386 has (from the main suite) resolves it, at the cost of
# downgrading the amd64 twin; nothing is ever removed.
# Prints the install arguments that resolve, or fails with apt's last words.
resolve_i386() {
  local args=("$@") out twins twin version round
  for round in 1 2 3 4 5 6 7 8; do
    out=$(apt-get install -s -t bookworm --no-install-recommends --allow-downgrades "${args[@]}" 2>&1)
    twins=$( { grep -oE "Depends: [^ ]+:i386 .*not going to be installed" <<<"$out" | awk '{print $2}'
               awk '/^Remv /{print $2 ":i386"}' <<<"$out"; } | sort -u)
    if [[ -z $twins ]]; then
      grep -q '^E:' <<<"$out" && break
      echo "${args[@]}"
      return 0
    fi
    local before=${#args[@]}
    for twin in $twins; do
      version=$(apt-cache policy "$twin" | awk '/Candidate:/{print $2}')
      # A package removed only because it depends on a twin has no i386 one.
      [[ -n $version && $version != "(none)" ]] || continue
      [[ " ${args[*]} " != *" $twin=$version "* ]] || continue
      if installed "${twin%:i386}"; then
        args+=("$twin=$version" "${twin%:i386}=$version")
      else
        args+=("$twin")
      fi
    done
    ((${#args[@]} > before)) || break
  done
  tail -5 <<<"$out" >&2
  return 1
}

install_i386() {
  local resolved
  resolved=$(resolve_i386 "$@") || return 1
  [[ "$resolved" == "$*" ]] || echo "Pinning i386 twins: $resolved"
  # shellcheck disable=SC2086
  apt-get install -y -qq -t bookworm --no-install-recommends --allow-downgrades $resolved >/dev/null
}

missing=()
for p in "${i386[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq || true
  if ! install_i386 "${missing[@]}"; then
    echo "WARNING: ${missing[*]} could not be installed (see apt above): the 32-bit" \
      "Windows program is built, but its tests under 32-bit Wine will be skipped" >&2
  fi
fi
