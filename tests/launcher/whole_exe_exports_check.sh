#!/usr/bin/env bash
# The launcher's export table: the UI engine's public classes and functions
# (namespace TarselUI, by mangled name) and libcurl's entry points, and
# nothing of the launcher's own code or the runtime.
#   whole_exe_exports_check.sh TarselMainLauncher.exe [TARGET-objdump]
set -euo pipefail
exe="$1"
objdump="${2:-i686-w64-mingw32-objdump}"
exports=$("$objdump" -p "$exe" | sed -n 's/^\s*\[ *[0-9]*\] //p')
exports=$(sort -u <<< "$exports")
count=$(wc -l <<< "$exports")
echo "exports: $count"

status=0
expect() {  # name, what it is
    if ! grep -qxF "$1" <<< "$exports"; then
        echo "missing: $1 ($2)"
        status=1
    fi
}
refuse() {  # pattern, what it is
    if grep -qE "$1" <<< "$exports"; then
        echo "unexpected: $(grep -E "$1" <<< "$exports" | head -3 | tr '\n' ' ') ($2)"
        status=1
    fi
}

expect _ZN8TarselUI15CPaintManagerUI11MessageLoopEPFvvE "CPaintManagerUI::MessageLoop"
expect _ZN8TarselUI15CPaintManagerUI11SetInstanceEP11HINSTANCE__ "CPaintManagerUI::SetInstance"
expect _ZN8TarselUI10CControlUIC2Ev "CControlUI constructor"
expect _ZTVN8TarselUI10CControlUIE "CControlUI vtable"
expect _ZTVN8TarselUI14WindowImplBaseE "WindowImplBase vtable"
expect _ZN8TarselUI14WindowImplBase21m_lpResourceZIPBufferE "WindowImplBase::m_lpResourceZIPBuffer"
expect _ZN8TarselUI10CWindowWnd9ShowModalEv "CWindowWnd::ShowModal"
expect _ZN8TarselUI11CNotifyPump12LoopDispatchERNS_12tagTNotifyUIE "CNotifyPump::LoopDispatch"
expect _ZN8TarselUI10CWndShadow10InitializeEP11HINSTANCE__ "CWndShadow::Initialize"
expect _ZN8TarselUI14CDialogBuilder6CreateENS_10STRINGorIDEPKwPNS_22IDialogBuilderCallbackEPNS_15CPaintManagerUIEPNS_10CControlUIE "CDialogBuilder::Create"
expect _ZN8TarselUI9CUIString6FormatEPKwz "CUIString::Format"
for fn in curl_global_init curl_global_cleanup curl_easy_init curl_easy_setopt curl_easy_perform \
          curl_easy_getinfo curl_easy_cleanup curl_easy_strerror curl_share_init curl_share_setopt \
          curl_share_cleanup curl_slist_append curl_slist_free_all; do
    expect "$fn" "libcurl"
done
refuse '^_ZN(4Util|9CLauncher|13CMainFrameWnd|10CMsgBoxWnd|5crash)' "launcher code"
refuse '^_ZN(St|9__gnu_cxx)|^_ZNSt|^(malloc|free|printf|wWinMain|stbi_|inflate)' "runtime and other libraries"
refuse '^Curl_' "libcurl internals"
exit $status
