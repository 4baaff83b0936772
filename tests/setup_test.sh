#!/usr/bin/env bash
# scripts/setup.sh against stand-ins for apt-get, dpkg, dpkg-query, id and
# sleep, first on PATH: it needs neither root nor the network. The stand-ins
# keep the machine's installed packages in a file, record every call, and
# play back what a real archive does when one of its indexes is out of step
# with its release file: `apt-get update` exits 100 having kept the other
# lists, and an install that names a package the machine cannot have
# installs nothing and exits 100.
# Usage: setup_test.sh
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The stand-ins read STANDIN_DIR: installed (one package a line),
# unavailable (packages no install can have), update_fails (present: every
# update fails as above), calls (what they were asked).
make_standins() {
  local bin=$1
  mkdir -p "$bin"
  cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STANDIN_DIR/calls"
case $1 in
  update)
    if [ -e "$STANDIN_DIR/update_fails" ]; then
      echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    fi
    exit 0 ;;
  install)
    shift
    packages=()
    for p in "$@"; do [[ $p == -* ]] || packages+=("$p"); done
    for p in "${packages[@]}"; do
      if grep -qx -- "$p" "$STANDIN_DIR/unavailable" 2>/dev/null; then
        echo "E: Package '$p' has no installation candidate" >&2
        exit 100
      fi
    done
    printf '%s\n' "${packages[@]}" >>"$STANDIN_DIR/installed"
    exit 0 ;;
esac
exit 0
EOF
  cat >"$bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
# dpkg-query -W -f='${Status}' PACKAGE
package=${!#}
grep -qx -- "$package" "$STANDIN_DIR/installed" 2>/dev/null || exit 1
printf 'install ok installed'
EOF
  cat >"$bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STANDIN_DIR/calls"
case $1 in
  --print-foreign-architectures) cat "$STANDIN_DIR/architectures" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$STANDIN_DIR/architectures" ;;
esac
exit 0
EOF
  printf '#!/bin/sh\necho 0\n' >"$bin/id"
  printf '#!/bin/sh\nexit 0\n' >"$bin/sleep"
  chmod +x "$bin"/*
}

# A copy of the scripts, so that set-up's note lands in a build/ of its own.
tree=$work/tree
mkdir -p "$tree/scripts"
cp "$root/scripts/setup.sh" "$tree/scripts/"
make_standins "$work/bin"

# run_setup NAME TIERS...: a fresh machine state per case; the status and
# output are left in $status and $work/NAME.out.
run_setup() {
  local name=$1
  shift
  export STANDIN_DIR=$work/$name
  mkdir -p "$STANDIN_DIR"
  [ -n "${UPDATE_FAILS:-}" ] && touch "$STANDIN_DIR/update_fails"
  printf '%s\n' ${UNAVAILABLE:-} >"$STANDIN_DIR/unavailable"
  PATH="$work/bin:$PATH" "$tree/scripts/setup.sh" "$@" >"$work/$name.out" 2>&1
  status=$?
}

expect_installed() {
  local name=$1
  shift
  for p in "$@"; do
    grep -qx -- "$p" "$work/$name/installed" || fail "$name: $p was not installed"
  done
}

expect_output() {
  grep -q -- "$2" "$work/$1.out" || fail "$1: the output does not say \"$2\": $(cat "$work/$1.out")"
}

every_test_package="cmake ninja-build make g++ libcli11-dev nlohmann-json3-dev libgtest-dev libgmock-dev
  libbenchmark-dev time python3 dpkg-dev help2man lintian g++-mingw-w64-i686-posix googletest wine
  g++-mingw-w64-x86-64-posix wine64 clang libclang-rt-14-dev valgrind clang-tidy cppcheck emscripten nodejs"
tiers="build tests win32 win64 fuzz memcheck lint page"

# An index out of step, and so no 32-bit wine: set-up goes on, installs
# every other package, and says what it skipped and why.
UPDATE_FAILS=1 UNAVAILABLE="wine32:i386" run_setup index_out_of_step $tiers
[ "$status" -eq 0 ] || fail "index_out_of_step: status $status: $(cat "$work/index_out_of_step.out")"
expect_installed index_out_of_step $every_test_package
expect_output index_out_of_step "could not fetch http://deb.example/.*binary-i386/Packages.xz"
expect_output index_out_of_step "wine32:i386 could not be installed"
expect_output index_out_of_step "32-bit Windows suites will be skipped"
grep -q "wine32:i386" "$tree/build/setup/foreign-packages.txt" ||
  fail "index_out_of_step: no note left for the Windows build"
[ "$(grep -c '^apt-get update' "$work/index_out_of_step/calls")" -eq 3 ] ||
  fail "index_out_of_step: apt-get update was not tried three times"

# What make run asks for installs whatever an index does.
UPDATE_FAILS=1 run_setup build_only build
[ "$status" -eq 0 ] || fail "build_only: status $status: $(cat "$work/build_only.out")"
expect_installed build_only cmake ninja-build make g++ libcli11-dev nlohmann-json3-dev
if grep -q "wine\|i386" "$work/build_only/calls"; then fail "build_only: asked for more than the build tier"; fi

# A package that every machine can have and this one cannot: set-up fails
# and names it, having installed the rest.
UPDATE_FAILS=1 UNAVAILABLE="emscripten wine32:i386" run_setup common_missing $tiers
[ "$status" -ne 0 ] || fail "common_missing: set-up passed without emscripten"
expect_output common_missing "not installed: emscripten"
expect_installed common_missing clang valgrind wine64 nodejs

# Where everything can be had, everything is installed and the note is gone.
run_setup healthy $tiers
[ "$status" -eq 0 ] || fail "healthy: status $status: $(cat "$work/healthy.out")"
expect_installed healthy $every_test_package wine32:i386
[ ! -e "$tree/build/setup/foreign-packages.txt" ] || fail "healthy: the skip note was left behind"
grep -qx "dpkg --add-architecture i386" "$work/healthy/calls" || fail "healthy: i386 was not added"

# A second run on a machine that has it all asks apt for nothing.
STANDIN_DIR=$work/healthy PATH="$work/bin:$PATH" "$tree/scripts/setup.sh" $tiers >/dev/null 2>&1 ||
  fail "healthy again: set-up failed"
[ "$(grep -c "^apt-get" "$work/healthy/calls")" -eq 3 ] || fail "healthy again: apt was asked again"

if [ "$failures" -ne 0 ]; then
  echo "setup_test: $failures failed"
  exit 1
fi
echo "setup_test: every case passed"
