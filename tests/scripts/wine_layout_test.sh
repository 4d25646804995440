#!/usr/bin/env bash
# Programs the tests start under Wine, and the programs those start, run with
# address randomisation off, so that the Wine loader's heap never lands on
# the addresses Wine reserves for itself (see scripts/env.sh).
# Exit status 77: the kernel does not let us turn randomisation off here.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/env.sh"

if [[ $TARSEL_WINE_FIXED_LAYOUT != yes ]]; then
    echo "this kernel refuses to turn address randomisation off; the wrapper runs Wine as it is"
    exit 77
fi

work="$(mktemp -d)"
gate="$work/gate"
mkfifo "$gate"
job=
cleanup() {
    exec 7>&- 2>/dev/null || true
    [[ -n $job ]] && wait "$job" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# cmd starts a second cmd, which waits for a key on the gate: two Wine
# processes, the second started by Wine itself. Wine's processes are not
# children of the command that started them; a token in their environment
# finds them.
token="tarsel-layout-$$-$RANDOM"
TARSEL_LAYOUT_PROBE="$token" "$root/scripts/wine-run.sh" cmd /c cmd /c pause <"$gate" >/dev/null 2>&1 &
job=$!
exec 7>"$gate"

probe_processes() {
    local pid
    for pid in $(pgrep -u "$(id -u)" .); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "TARSEL_LAYOUT_PROBE=$token" && echo "$pid"
    done
    return 0
}

waiting=
for _ in $(seq 200); do
    for pid in $(probe_processes); do
        [[ "$(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline")" == "cmd /c pause "* ]] && waiting=$pid
    done
    [[ -n $waiting ]] && break
    sleep 0.1
done
if [[ -z $waiting ]]; then
    echo "FAIL: the inner cmd never started"
    exit 1
fi

failures=0
checked=0
for pid in $(probe_processes); do
    [[ "$(readlink "/proc/$pid/exe" 2>/dev/null)" == "$(readlink -f "$TARSEL_WINE")" ]] || continue
    checked=$((checked + 1))
    name="$(tr -s '\0' ' ' <"/proc/$pid/cmdline")"
    personality=$((16#$(cat "/proc/$pid/personality")))
    if ((!(personality & 0x0040000))); then
        echo "FAIL: '$name' runs with address randomisation on (personality $(cat "/proc/$pid/personality"))"
        failures=$((failures + 1))
    fi
    # The loader's heap must stay clear of what Wine reserves at
    # 0x7ff00000-0x7fff0000 (the shared user data page among it).
    while read -r range _; do
        start=$((16#${range%-*})) end=$((16#${range#*-}))
        if ((start < 0x7fff0000 && end > 0x7ff00000)); then
            echo "FAIL: '$name' has its heap at $range, over Wine's reserved addresses"
            failures=$((failures + 1))
        fi
    done < <(grep '\[heap\]' "/proc/$pid/maps")
done
if ((checked < 2)); then
    echo "FAIL: expected both cmd processes under Wine's loader, found $checked"
    exit 1
fi
echo "checked $checked Wine processes, $failures faults"
((failures == 0))
