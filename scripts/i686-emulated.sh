#!/usr/bin/env bash
# Runs COMMAND where every 32-bit x86 Linux program (the 32-bit Wine's
# loader, and so every Windows program it starts) is run by qemu's
# user-mode emulator, with TARSEL_TEST_ARCH=i686: the shipped i686 build
# can then run on a host whose kernel executes 64-bit code only.
#   i686-emulated.sh COMMAND [ARG...]
# binfmt_misc is mounted in a user and mount namespace of this run's own
# (Linux 6.7 and later give each user namespace its own), so nothing outside
# the run changes. The emulator is the one set-up fetched (setup.sh:
# $TARSEL_CACHE/qemu/qemu-i386). Exit 77 when emulation cannot be set up,
# saying why; otherwise COMMAND's status.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${TARSEL_CACHE:=/var/cache/tarsel}"
qemu="${TARSEL_QEMU_I386:-$TARSEL_CACHE/qemu/qemu-i386}"

(($# > 0)) || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }

if [[ ${TARSEL_I686_EMULATED:-} != inside ]]; then
    [[ -x $qemu ]] || { echo "i686 emulation unavailable: no emulator at $qemu (set-up fetches it)" >&2; exit 77; }
    export TARSEL_I686_EMULATED=inside TARSEL_QEMU_I386="$qemu"
    exec unshare --user --map-root-user --mount --propagation private "$0" "$@"
fi

binfmt=/proc/sys/fs/binfmt_misc
if ! mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    echo "i686 emulation unavailable: binfmt_misc cannot be mounted in a user namespace here (Linux 6.7 or later needed)" >&2
    exit 77
fi
# i386 ELF executables (static and dynamic), run by the emulator; F: the
# emulator is opened now, so it serves every later mount namespace too.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s' ":tarsel-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register"

# The x86_64 run's settings must not leak into the i686 one.
unset WINEPREFIX WINEARCH WINELOADER TARSEL_WINE TARSEL_PRESET TARSEL_BUILD_DIR TARSEL_WINE_SERVICES_UP \
      TARSEL_ARCH_CHOSEN_BY TARSEL_WINE_FIXED_LAYOUT
export TARSEL_TEST_ARCH=i686
source "$here/env.sh"
"$here/wine-prefix.sh"
exec "$@"
