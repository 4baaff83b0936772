#!/usr/bin/env bash
# scripts/setup.sh TIER...: installs, on a Debian 12 machine, what the named
# tiers need and nothing more. As root it runs apt-get itself; otherwise it
# prints the command to run and fails. The tiers:
#   build     the Linux program (make run)
#   tests     the native test suites and benchmarks
#   win32     the 32-bit Windows program and wine's 32-bit loader
#   win64     the 64-bit Windows program and wine's 64-bit loader
#   fuzz      the fuzzers (clang and its sanitizer runtimes)
#   memcheck  valgrind
#   lint      clang-tidy and cppcheck
#   package   what CPack needs for the Debian package, and help2man for the
#             companion's manual page
#   page      the page: emscripten, and Node for its tools and the web
#             build's unit suites
#   pagetest  the page's browser tests: chromium, and npm, which installs
#             playwright-core from package-lock.json (npm ci, unprivileged)
#
# Not every machine runs 32-bit programs. There the i386 packages install but
# some of their post-install scripts fail ("Exec format error"): that failure
# is reported and set-up goes on, since the build's own probe decides later
# whether the 32-bit Windows suites can run.
set -euo pipefail

# Every tier builds with CMake, Ninja and make; every build of the companion
# (the Linux one and both Windows ones) needs the CLI11 headers, and a
# Windows build's tests GoogleTest's sources and Python.
readonly kBuildTools="cmake ninja-build make"
readonly kCompanion="libcli11-dev nlohmann-json3-dev"
readonly kWindowsTests="googletest python3"

packages_of() {
  case $1 in
    build) echo g++ $kCompanion ;;
    # The package test (tests/package_test.sh) makes the package and runs
    # lintian on it.
    tests) echo libgtest-dev libgmock-dev libbenchmark-dev time python3 dpkg-dev help2man lintian ;;
    win32) echo $kCompanion g++-mingw-w64-i686-posix $kWindowsTests wine wine32:i386 ;;
    win64) echo $kCompanion g++-mingw-w64-x86-64-posix $kWindowsTests wine64 ;;
    package) echo dpkg-dev help2man ;;
    fuzz) echo clang libclang-rt-14-dev ;;
    memcheck) echo valgrind ;;
    lint) echo clang-tidy cppcheck ;;
    page) echo emscripten nodejs ;;
    # A Node from outside Debian (NodeSource's) carries its own npm, and
    # conflicts with Debian's.
    pagetest) echo nodejs chromium python3 "$(command -v npm >/dev/null || echo npm)" ;;
    *) echo "setup: no tier '$1' (build, tests, win32, win64, fuzz, memcheck, lint, package, page, pagetest)" >&2; return 1 ;;
  esac
}

[ $# -gt 0 ] || set -- build
read -ra wanted <<<"$kBuildTools"
for tier in "$@"; do
  # An assignment, so that a tier that is not one stops set-up.
  tier_list=$(packages_of "$tier")
  read -ra tier_packages <<<"$tier_list"
  wanted+=("${tier_packages[@]}")
done
mapfile -t wanted < <(printf '%s\n' "${wanted[@]}" | sort -u)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# The browser tests' driver, at the version package-lock.json names, once its
# tier's packages are in.
npm_packages() {
  [[ " $* " == *" pagetest "* ]] || return 0
  local root
  root=$(cd "$(dirname "$0")/.." && pwd)
  [ -f "$root/node_modules/playwright-core/package.json" ] && return 0
  echo "setup: npm ci (playwright-core)"
  (cd "$root" && npm ci --no-audit --no-fund --loglevel=error)
}

missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -eq 0 ]; then
  npm_packages "$@"
  exit 0
fi

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
if DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"; then
  npm_packages "$@"
  exit 0
fi

# A failure is set-up's own only where a package other than the 32-bit ones
# did not install.
failed=()
for p in "${missing[@]}"; do [[ $p == *:i386 ]] || installed "$p" || failed+=("$p"); done
if [ ${#failed[@]} -ne 0 ]; then
  echo "setup: not installed: ${failed[*]}" >&2
  exit 1
fi
echo "setup: the 32-bit packages did not install cleanly; whether this machine runs 32-bit programs is probed at build time" >&2
npm_packages "$@"
