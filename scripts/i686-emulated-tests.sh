#!/usr/bin/env bash
# On a host whose kernel runs 64-bit code only: the shipped i686 build's
# tests that start the real launcher (the main frame, the whole launcher,
# the end-to-end cases), run under user-mode emulation. Their fixtures (the
# test servers, the signing keys) come with them. Exit status: CTest's.
# Where set-up could not provide the emulation (an old kernel, no
# backports), the run says loudly that these tests did not run, and why,
# and leaves the status to the rest of the run: nothing here could be fixed
# by the change under test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${TARSEL_CACHE:=/var/cache/tarsel}"
if [[ -f $TARSEL_CACHE/qemu/unavailable ]]; then
    echo "-- WARNING: the i686 launcher's tests did NOT run: $(cat "$TARSEL_CACHE/qemu/unavailable")" >&2
    exit 0
fi
echo "-- running the i686 launcher's tests under user-mode emulation ($(cat "$TARSEL_CACHE/qemu/version" 2>/dev/null))"
# Inside: the i686 prefix's own persistent wineserver and helper processes
# (the x86_64 run's belong to its prefix). A server of that prefix left by a
# native run (on a host that also runs i386 code) is stopped first: it lives
# outside this mount namespace, and Wine does some file operations (renames)
# in the server, which would not see the mounts the cases make in here (the
# disk-full case's small tmpfs).
exec "$root/scripts/i686-emulated.sh" bash -c '
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 || true
    "$0/scripts/wine-services.sh" start
    export TARSEL_WINE_SERVICES_UP=1
    status=0
    ctest --test-dir "$0/build" --output-on-failure -j2 --timeout 900 \
        -R "^(main_frame_tests|whole_exe_tests)\.|^e2e\." || status=$?
    wineserver -k >/dev/null 2>&1 || true
    exit $status' "$root"
