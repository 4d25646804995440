#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix, with the shared
# X display and the Chinese ANSI code page (936) that the system's texts use.
# CMake uses this as the cross-compiling emulator.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/env.sh"
# The test run starts the X server and wineserver once and says so.
[[ ${TARSEL_WINE_SERVICES_UP:-} == 1 ]] || "$here/wine-services.sh" start
export DISPLAY="${TARSEL_DISPLAY:-:91}"
# Programs that read or drive the screen (TARSEL_SCREEN_LOCK=1, set on such
# tests) hold the display's lock while they run: every build tree and
# benchmark on this machine shares the display, and a window of another run
# would spoil a picture or catch a click. RUN_SERIAL covers one ctest run only.
if [[ ${TARSEL_SCREEN_LOCK:-} == 1 ]]; then
    export TARSEL_SCREEN_LOCK=held
    # -o: only flock itself holds the lock, not Wine's desktop process or
    # any other process the program leaves behind.
    exec flock -o "/tmp/tarsel-screen-${DISPLAY#:}.lock" "$0" "$@"
fi
# A Wine process started on the program's behalf keeps the program's unix
# standard error (Wine passes it on for its debug output; standard input and
# output become /dev/null). The desktop process is one: Wine ends it a second
# after its last user, so the program that happened to start it lends it its
# standard error, and while other programs keep the desktop in use, a caller
# that reads to the end of that stream (CTest does) waits for minutes. So
# when the caller reads a pipe or file, the program writes its standard error
# to a file of its own, copied out once the program has ended.
err_file=
if [[ ! -t 2 ]]; then
    err_file="$(mktemp "${TMPDIR:-/tmp}/tarsel-wine-stderr.XXXXXX")"
    trap 'rm -f "$err_file"' EXIT
fi
started=$(date +%s%N)
if [[ -n $err_file ]]; then
    "${tarsel_wine_command[@]}" "$@" 2>"$err_file"
else
    "${tarsel_wine_command[@]}" "$@"
fi
status=$?
[[ -n $err_file ]] && cat "$err_file" >&2
# The test run keeps a log of every program that ended with a non-zero
# status: a failed case whose program printed nothing (Wine ended it before
# its first line) still shows how it ended.
if ((status != 0)) && [[ -n ${TARSEL_WINE_RUN_LOG:-} ]]; then
    printf '%s status %d after %d ms: %s\n' "$(date -u +%H:%M:%S)" "$status" \
        $((($(date +%s%N) - started) / 1000000)) "$*" >>"$TARSEL_WINE_RUN_LOG" 2>/dev/null
fi
exit $status
