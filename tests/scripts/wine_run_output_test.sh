#!/usr/bin/env bash
# The emulator's output ends when its program ends, even while a Wine process
# that the program started lives on: such processes keep the program's unix
# standard error, and a caller reading to the end of it (CTest, the
# end-to-end harness) would otherwise wait for them. Its standard error and
# exit status still come through.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/env.sh"
run="$root/scripts/wine-run.sh"

token="tarsel-output-$$-$RANDOM"
cleanup() {
    local pid
    for pid in $(pgrep -f 'ping\.exe' || true); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "TARSEL_OUTPUT_TEST=$token" && kill "$pid" 2>/dev/null
    done
    return 0
}
trap cleanup EXIT
lingering() {
    local pid
    for pid in $(pgrep -f 'ping\.exe' || true); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "TARSEL_OUTPUT_TEST=$token" && return 0
    done
    return 1
}

# cmd leaves ping running for half a minute and ends; the output, read
# through a pipe to its end, must end while ping still runs.
output=$(TARSEL_OUTPUT_TEST=$token "$run" cmd /c 'echo started & start "" /b ping -n 30 127.0.0.1 >nul' 2>&1 | cat)
if ! lingering; then
    echo "FAIL: the output ended only after the process the program left behind (output: $output)"
    exit 1
fi
[[ $output == *started* ]] || { echo "FAIL: the program's output is missing: $output"; exit 1; }

# Standard error and the exit status pass through unchanged.
status=0
errors=$("$run" cmd /c 'echo to-stderr 1>&2 & exit 3' 2>&1 >/dev/null) || status=$?
[[ $status == 3 ]] || { echo "FAIL: exit status $status, not 3"; exit 1; }
[[ $errors == *to-stderr* ]] || { echo "FAIL: standard error not passed on: $errors"; exit 1; }
echo "ok: output ends with the program; standard error and status pass through"
