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
#             playwright-core and axe-core from package-lock.json (npm ci,
#             unprivileged)
#
# Set-up fails only when a package that every machine can have does not
# install, and names it. A package index that cannot be fetched, and the
# 32-bit packages where this machine cannot have them, are said in one line
# each and set-up goes on: the build's own probe decides later whether the
# 32-bit Windows suites can run, and says why they are skipped.
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

# The browser tests' driver and accessibility checker, at the versions
# package-lock.json names, once its tier's packages are in.
npm_packages() {
  [[ " $* " == *" pagetest "* ]] || return 0
  local root
  root=$(cd "$(dirname "$0")/.." && pwd)
  [ -f "$root/node_modules/playwright-core/package.json" ] && [ -f "$root/node_modules/axe-core/package.json" ] &&
    return 0
  echo "setup: npm ci (playwright-core, axe-core)"
  (cd "$root" && npm ci --no-audit --no-fund --loglevel=error)
}

missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -eq 0 ]; then
  npm_packages "$@"
  exit 0
fi

# Packages of a foreign architecture (wine32:i386) are the ones a machine may
# be unable to have: its kernel may run no 32-bit programs, or the archive's
# 32-bit index may be out of step. They are installed apart, after the rest.
common=()
foreign=()
for p in "${missing[@]}"; do
  if [[ $p == *:i386 ]]; then foreign+=("$p"); else common+=("$p"); fi
done

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}" >&2
  echo "setup: run as root:" >&2
  [ ${#foreign[@]} -ne 0 ] && echo "  dpkg --add-architecture i386" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi

root=$(cd "$(dirname "$0")/.." && pwd)
# Why the 32-bit packages are missing, for the Windows build to say when it
# skips its 32-bit suites; removed once they are in.
foreign_note="$root/build/setup/foreign-packages.txt"

# apt-get update fails as a whole when one index fails (a mirror caught
# mid-sync), yet keeps every list it did fetch. A few tries, then the
# install decides with what there is.
update_indexes() {
  local try log
  log=$(mktemp)
  for try in 1 2 3; do
    if apt-get update -q >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    [ "$try" -lt 3 ] && sleep 5
  done
  failed_indexes=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u | tr '\n' ' ')
  echo "setup: apt-get update failed 3 times${failed_indexes:+ (could not fetch ${failed_indexes% })}; going on with the package lists apt has" >&2
  rm -f "$log"
}

apt_install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"; }

echo "setup: installing ${missing[*]}"
if [ ${#foreign[@]} -ne 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
failed_indexes=""
update_indexes

# apt installs nothing when one package of a request cannot be had, so after
# a refusal each package is asked for alone, to install the rest and name
# the ones that fail.
if [ ${#common[@]} -ne 0 ] && ! apt_install "${common[@]}"; then
  for p in "${common[@]}"; do installed "$p" || apt_install "$p" || true; done
  failed=()
  for p in "${common[@]}"; do installed "$p" || failed+=("$p"); done
  if [ ${#failed[@]} -ne 0 ]; then
    echo "setup: not installed: ${failed[*]}" >&2
    exit 1
  fi
fi

if [ ${#foreign[@]} -ne 0 ]; then
  mkdir -p "$(dirname "$foreign_note")"
  apt_install "${foreign[@]}" || true
  # On a kernel that runs no 32-bit programs the packages install but some
  # of their post-install scripts fail ("Exec format error"); the build's own
  # probe decides later whether the 32-bit suites can run.
  not_in=()
  for p in "${foreign[@]}"; do installed "$p" || not_in+=("$p"); done
  if [ ${#not_in[@]} -eq 0 ]; then
    rm -f "$foreign_note"
  else
    reason="${not_in[*]} could not be installed${failed_indexes:+ (the package index ${failed_indexes% } could not be fetched)}"
    echo "setup: $reason; the 32-bit Windows suites will be skipped" >&2
    echo "$reason" >"$foreign_note"
  fi
fi
npm_packages "$@"
