#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine: as root it
# runs apt-get itself; otherwise it prints the command to run and fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ make time
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang clang-tidy cppcheck valgrind libclang-rt-14-dev
  g++-mingw-w64-i686 wine wine32:i386
  libcli11-dev python3 dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

needs_i386=false
for p in "${missing[@]}"; do [[ $p == *:i386 ]] && needs_i386=true; done

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}" >&2
  echo "setup: run as root:" >&2
  $needs_i386 && echo "  dpkg --add-architecture i386" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
if $needs_i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
