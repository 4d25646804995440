#!/usr/bin/env bash
# Creates (once) and configures the quiet Wine prefix the tests use (32-bit,
# or 64-bit where the host runs 64-bit code only: see env.sh).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/env.sh"

stamp="$WINEPREFIX/.tarsel-configured-$(sha1sum "$here/wine-prefix.sh" "$here/wine-settings.reg.txt" | sha1sum | cut -c1-8)"
[[ -f $stamp ]] && exit 0

echo "[setup] initialising Wine prefix $WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
# Wine refuses to reuse a prefix that another user created; the prefix is ours.
# A test session's persistent wineserver never exits, so only wait for a
# server that this script started itself.
persistent=0
pgrep -u "$(id -u)" -f 'wineserver.* -p' >/dev/null && persistent=1
tarsel_wine wineboot -i >/dev/null 2>&1 || true

# Settings that matter under test: no window manager decorations, no crash
# dialog, a CJK face for the skins' font and font links for GUI defaults.
# regedit wants UTF-16LE with a BOM for non-ASCII names.
reg="$(mktemp --suffix=.reg)"
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE < "$here/wine-settings.reg.txt"; } > "$reg"
tarsel_wine regedit /S "$(tarsel_wine winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
rm -f "$reg"
((persistent)) || timeout 60 wineserver -w || true
rm -f "$WINEPREFIX"/.tarsel-configured-*
touch "$stamp"
