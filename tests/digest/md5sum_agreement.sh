#!/usr/bin/env bash
# Holds GetFileMD5 (run under Wine) against the system's md5sum on files
# around the block boundaries, a 300 MiB random file that spans several
# mapping windows, and a sparse file past 4 GiB.
#   md5sum_agreement.sh WINE_RUN MD5_FILE_EXE WORK_DIR
set -euo pipefail
wine_run="$1"
exe="$2"
work="$3/md5sum-agreement-$$"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

to_wine() { local p="$1"; echo "Z:${p//\//\\}"; }

files=()
for size in 1 55 56 63 64 65 1000 1048577; do
    head -c "$size" /dev/urandom >"$work/size-$size.bin"
    files+=("$work/size-$size.bin")
done
head -c $((300 * 1024 * 1024)) /dev/urandom >"$work/random-300m.bin"
files+=("$work/random-300m.bin")
# Past 4 GiB: a view of only the low 32 bits of the size would see 1 byte.
truncate -s $((4 * 1024 * 1024 * 1024 + 1)) "$work/sparse-4g.bin"
printf 'x' | dd of="$work/sparse-4g.bin" bs=1 seek=$((4 * 1024 * 1024 * 1024)) conv=notrunc status=none
files+=("$work/sparse-4g.bin")
: >"$work/empty.bin"

wine_args=()
for f in "${files[@]}" "$work/empty.bin" "$work/missing.bin"; do wine_args+=("$(to_wine "$f")"); done
mapfile -t ours < <("$wine_run" "$exe" "${wine_args[@]}" | tr -d '\r')

failures=0
for i in "${!files[@]}"; do
    expected="$(md5sum "${files[$i]}" | cut -d' ' -f1)"
    if [[ "${ours[$i]:-}" != "$expected" ]]; then
        echo "MISMATCH $(basename "${files[$i]}"): ours '${ours[$i]:-}', md5sum '$expected'"
        failures=$((failures + 1))
    else
        echo "ok $(basename "${files[$i]}") $expected"
    fi
done
n=${#files[@]}
for name in empty missing; do
    if [[ "${ours[$n]:-}" != "-" ]]; then
        echo "MISMATCH $name: expected no digest, got '${ours[$n]:-}'"
        failures=$((failures + 1))
    else
        echo "ok $name: no digest"
    fi
    n=$((n + 1))
done
exit $((failures > 0))
