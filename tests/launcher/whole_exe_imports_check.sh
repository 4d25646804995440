#!/usr/bin/env bash
# The launcher's imports: what the loader maps before the first instruction
# is what the client start needs; the DLLs only the update check and the
# update box use (sockets, TLS and crypto, GDI+, alpha blending, control
# subclassing) are loaded at their first call, through delay-import
# descriptors that name them.
#   whole_exe_imports_check.sh TarselMainLauncher.exe TARGET-objdump LATE-DLL...
# LATE-DLL: the build's TARSEL_LATE_DLLS (import library names: gdiplus ...).
set -euo pipefail
exe="$1"
objdump="$2"
shift 2
(($# > 0)) || { echo "usage: $0 EXE OBJDUMP LATE-DLL..." >&2; exit 2; }
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort -u)
strings=$(strings -a "$exe")
echo "loaded at start: $(tr '\n' ' ' <<< "$imports")"

status=0
for dll in kernel32.dll user32.dll gdi32.dll shell32.dll ole32.dll; do
    grep -qxF "$dll" <<< "$imports" || { echo "missing from the imports: $dll"; status=1; }
done
for dll in "${@/%/.dll}"; do
    dll=$(tr '[:upper:]' '[:lower:]' <<< "$dll")
    if grep -qxF "$dll" <<< "$imports"; then
        echo "loaded before the first instruction, but only needed later: $dll"
        status=1
    elif ! grep -qixF "$dll" <<< "$strings"; then
        echo "not named by any delay-import descriptor: $dll"
        status=1
    fi
done
# The names a delay-loaded function is looked up by are the DLL's own: on
# i686 without the "@N" of the stdcall symbol, which GetProcAddress would
# not find (the first call would then fail at run time, not at link time).
decorated=$(grep -E '^(Gdip|Gdiplus|WSA|Cert|Crypt|BCrypt|AlphaBlend|SetWindowSubclass|DefSubclassProc|RemoveWindowSubclass|getaddrinfo|freeaddrinfo|socket|connect|select|recv|send|closesocket|ioctlsocket)[A-Za-z0-9_]*@[0-9]+$' <<< "$strings" || true)
if [[ -n $decorated ]]; then
    echo "looked up by decorated names: $(head -3 <<< "$decorated" | tr '\n' ' ')"
    status=1
fi
exit $status
