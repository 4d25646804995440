#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix, with the shared
# X display and the Chinese ANSI code page (936) that the system's texts use.
# CMake uses this as the cross-compiling emulator.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/env.sh"
"$here/wine-services.sh" start
export DISPLAY="${TARSEL_DISPLAY:-:91}"
exec env LC_ALL=zh_CN.UTF-8 "$TARSEL_WINE" "$@"
