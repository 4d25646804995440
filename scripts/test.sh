#!/usr/bin/env bash
# The whole test suite: set up the machine if needed, build everything, run
# every test under Wine (and Xvfb for windows). Ends with CTest's summary.
#   bash scripts/test.sh [extra ctest arguments]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Set-up first: it may choose the x86_64 test path (see apt-packages.sh).
bash "$root/scripts/setup.sh"
source "$root/scripts/env.sh"

build="$TARSEL_BUILD_DIR"
cmake --preset "$TARSEL_PRESET" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"
if [[ $TARSEL_TEST_ARCH != i686 ]]; then
    # This host cannot run 32-bit code, so the tests run the x86_64 build;
    # the shipped architecture's whole tree (tests, tools and benchmarks
    # included) is still built, so that nothing of it breaks unseen, and
    # what can be checked of the launcher without running it is checked.
    echo "-- this host runs 64-bit user code only: tests run the x86_64 build;" \
         "building the whole i686 tree in $root/build"
    cmake --preset default -B "$root/build" >/dev/null
    cmake --build "$root/build" -j"$(nproc)"
    exe="$root/build/src/launcher/TarselMainLauncher.exe"
    read -ra late_dlls <<< "$(sed -n 's/^TARSEL_LATE_DLLS:INTERNAL=//p' "$root/build/CMakeCache.txt" | tr ';' ' ')"
    i386_dlls=()
    [[ -d /usr/lib/i386-linux-gnu/wine/i386-windows ]] && i386_dlls=(--dll-dir /usr/lib/i386-linux-gnu/wine/i386-windows)
    i686_check() {
        "$@" >/dev/null || {
            echo "the i686 launcher fails: $*" >&2
            "$@" >&2
            exit 1
        }
    }
    i686_check bash "$root/tests/launcher/whole_exe_exports_check.sh" "$exe" i686-w64-mingw32-objdump
    i686_check bash "$root/tests/launcher/whole_exe_imports_check.sh" "$exe" i686-w64-mingw32-objdump "${late_dlls[@]}"
    i686_check python3 "$root/tests/launcher/delay_import_check.py" "$exe" --late "${late_dlls[@]}" "${i386_dlls[@]}"
fi

# Stop the shared X server and wineserver afterwards only when this run
# started them: other runs on this machine may be using them.
services_were_running=0
pgrep -u "$(id -u)" -f 'wineserver.* -p' >/dev/null && services_were_running=1
"$root/scripts/wine-services.sh" start
export TARSEL_WINE_SERVICES_UP=1
trap '((services_were_running)) || "$root/scripts/wine-services.sh" stop' EXIT
export TARSEL_WINE_RUN_LOG="$build/Testing/wine-run-statuses.log"
mkdir -p "$build/Testing"
rm -f "$TARSEL_WINE_RUN_LOG"
status=0
# Tests that show or read windows hold the display's lock (see wine-run.sh),
# so two runs on this machine never photograph or click at the same time.
junit="$build/Testing/junit.xml"
rm -f "$junit"
ctest --test-dir "$build" --output-on-failure -j"${TARSEL_TEST_JOBS:-2}" --timeout 300 --output-junit "$junit" "$@" ||
    status=$?
if ((status != 0)) && [[ -s $TARSEL_WINE_RUN_LOG ]]; then
    echo "-- programs under Wine that ended with a non-zero status (many on purpose):"
    cat "$TARSEL_WINE_RUN_LOG"
fi
# The tests that start the real launcher run on the shipped architecture
# too, under user-mode emulation, where the host cannot run it.
if [[ $TARSEL_TEST_ARCH != i686 ]]; then
    bash "$root/scripts/i686-emulated-tests.sh" || status=1
fi
# Nothing disappears quietly: how many tests did not run, and why.
python3 "$root/scripts/skipped_tests.py" "$junit" | sed 's/^/-- /' || true
exit $status
