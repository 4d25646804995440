#!/usr/bin/env bash
# The main job: build the launcher and run it under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/env.sh"

bash "$root/scripts/setup.sh"
build="${TARSEL_BUILD_DIR:-$root/build}"
cmake --preset default -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target TarselMainLauncher

"$root/scripts/wine-services.sh" start
trap '"$root/scripts/wine-services.sh" stop' EXIT
echo "[demo] running TarselMainLauncher.exe under Wine"
set +e
WINEDEBUG=-all,+debugstr "$root/scripts/wine-run.sh" "$build/src/launcher/TarselMainLauncher.exe" 2> "$build/demo-debug.log"
code=$?
set -e
echo "[demo] exit code: $code"
echo "[demo] debug output:"
iconv -f GBK -t UTF-8 -c < "$build/demo-debug.log" | grep -o 'OutputDebugString[AW] .*' | sed 's/^/    /' || true
