#!/usr/bin/env bash
# Runs setup.sh's package step with each simulated mirror fault, as if on a
# host that runs 32-bit code, and checks what it decides:
#   index-sync-error   retried, then the i686 path as usual
#   index-stale        a warning, the x86_64 path (wine32:i386 unresolvable)
#   no-index           a clear failure, exit status not 0
#   i386-unresolvable  the x86_64 path, with a marker env.sh reads
set -uo pipefail
setup=$1
failures=0
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

run_case() { # case -> output in $work/CASE.out, status in $work/CASE.rc
    local name=$1
    mkdir -p "$work/$name"
    env -u TARSEL_TEST_ARCH -u TARSEL_ARCH_CHOSEN_BY -u TARSEL_BUILD_DIR -u WINEPREFIX -u WINEARCH -u TARSEL_WINE -u TARSEL_PRESET \
        TARSEL_CACHE="$work/$name" TARSEL_HOST_RUNS_I386=yes TARSEL_SETUP_SIMULATE="$name" \
        bash "$setup" >"$work/$name.out" 2>&1
    echo $? >"$work/$name.rc"
}

expect() { # case description command...
    local name=$1 what=$2
    shift 2
    if "$@"; then
        echo "ok   $name: $what"
    else
        echo "FAIL $name: $what"
        sed 's/^/     | /' "$work/$name.out"
        failures=$((failures + 1))
    fi
}
has() { grep -qF -- "$2" "$work/$1.out"; }
status_is() { [[ $(cat "$work/$1.rc") == "$2" ]]; }

for name in index-sync-error index-stale no-index i386-unresolvable; do
    run_case "$name"
done

expect index-sync-error "retried once" has index-sync-error "apt-get update failed (attempt 1 of 3)"
expect index-sync-error "no second retry" eval '! has index-sync-error "attempt 2 of 3"'
expect index-sync-error "stays on the i686 path" has index-sync-error "the tests would run the i686 build"
expect index-sync-error "succeeds" status_is index-sync-error 0

expect index-stale "warns and goes on" has index-stale "going on with the package lists already on this machine"
expect index-stale "falls back to x86_64" has index-stale "the tests would run the x86_64 build"
expect index-stale "succeeds" status_is index-stale 0

expect no-index "says why" has no-index "this machine has no package lists"
expect no-index "fails" eval '! status_is no-index 0'
expect no-index "installs nothing" eval '! has no-index "installing:"'

expect i386-unresolvable "says why" has i386-unresolvable "wine32:i386) cannot be installed"
expect i386-unresolvable "asks for the x86_64 packages" has i386-unresolvable "wine64 g++-mingw-w64-x86-64-posix"
expect i386-unresolvable "falls back to x86_64" has i386-unresolvable "the tests would run the x86_64 build"
expect i386-unresolvable "leaves the marker" test -f "$work/i386-unresolvable/i386-packages-unavailable"
expect i386-unresolvable "succeeds" status_is i386-unresolvable 0

# A later run on the same machine goes straight to the x86_64 path.
env -u TARSEL_TEST_ARCH -u TARSEL_ARCH_CHOSEN_BY -u TARSEL_BUILD_DIR -u WINEPREFIX TARSEL_CACHE="$work/i386-unresolvable" \
    TARSEL_HOST_RUNS_I386=yes bash -c 'source "$(dirname "$1")/env.sh"; echo "$TARSEL_TEST_ARCH"' _ "$setup" \
    >"$work/later.out" 2>&1
expect later "env.sh takes the x86_64 path once the marker is there" has later "x86_64"
# A user who asked for i686 gets a clear failure instead of a silent switch.
env -u TARSEL_ARCH_CHOSEN_BY -u TARSEL_BUILD_DIR -u WINEPREFIX TARSEL_TEST_ARCH=i686 TARSEL_CACHE="$work/user" \
    TARSEL_SETUP_SIMULATE=i386-unresolvable bash "$setup" >"$work/user.out" 2>&1
echo $? >"$work/user.rc"
expect user "an explicit i686 choice fails instead of switching" eval '! status_is user 0 && has user "installing the packages failed"'

echo "setup mirror faults: $failures check(s) failed"
exit $((failures > 0))
