#!/bin/bash
# A build without an update signing key says that it trusts the network; the
# release preset refuses to configure without one. Usage: SOURCE_DIR.
set -u
source_dir=$1
module="$source_dir/cmake/TarselUpdateTrust.cmake"
key=RWQf6LRCGA9i53mlYecO4IzT51TGPpvWucNSCh1CBM0QTaLn73Y7GFO3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Without a key: a warning, and the configure goes on.
if ! cmake -P "$module" >"$work/out" 2>&1; then fail "an unsigned build must still configure"; fi
grep -q "trusts the network" "$work/out" || fail "no warning for an unsigned build: $(cat "$work/out")"

# With a key: neither.
if ! cmake -DTARSEL_UPDATE_PUBLIC_KEY=$key -DTARSEL_REQUIRE_UPDATE_PUBLIC_KEY=ON -P "$module" >"$work/out" 2>&1; then
    fail "a keyed release build must configure: $(cat "$work/out")"
fi
grep -q "trusts the network" "$work/out" && fail "a keyed build warned: $(cat "$work/out")"

# The release preset itself, as a release engineer runs it, without a key.
if (cd "$source_dir" && cmake --preset release -B "$work/build" >"$work/out" 2>&1); then
    fail "the release preset configured without a key"
fi
grep -q "A release build needs TARSEL_UPDATE_PUBLIC_KEY" "$work/out" || fail "the release preset did not say why: $(tail -20 "$work/out")"

[ "$failures" -eq 0 ] && echo "update key settings: all checks passed"
exit $((failures > 0))
