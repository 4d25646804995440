// The root attributes of a `Window` skin: the window's settings.

#include <cstdlib>
#include <cwchar>

#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

namespace {

bool ParseBool(LPCWSTR value) { return std::wcscmp(value, L"true") == 0; }
int ParseInt(LPCWSTR value) { return static_cast<int>(std::wcstol(value, nullptr, 10)); }

SIZE ParsePair(LPCWSTR value) {
    long v[2];
    ParseIntList(value, v, 2);
    return SIZE{v[0], v[1]};
}

}  // namespace

bool ApplyWindowAttribute(CPaintManagerUI& manager, LPCWSTR name, LPCWSTR value) {
    if (!name || !value) return false;
    auto is = [name](LPCWSTR candidate) { return std::wcscmp(name, candidate) == 0; };
    if (is(L"size")) {
        const SIZE size = ParsePair(value);
        manager.SetInitSize(size.cx, size.cy);
    } else if (is(L"sizebox")) {
        RECT rc = ParseRectValue(value);
        manager.SetSizeBox(rc);
    } else if (is(L"caption")) {
        RECT rc = ParseRectValue(value);
        manager.SetCaptionRect(rc);
    } else if (is(L"roundcorner")) {
        const SIZE size = ParsePair(value);
        manager.SetRoundCorner(size.cx, size.cy);
    } else if (is(L"mininfo")) {
        const SIZE size = ParsePair(value);
        manager.SetMinInfo(size.cx, size.cy);
    } else if (is(L"maxinfo")) {
        const SIZE size = ParsePair(value);
        manager.SetMaxInfo(size.cx, size.cy);
    } else if (is(L"showdirty")) {
        manager.SetShowUpdateRect(ParseBool(value));
    } else if (is(L"alpha")) {
        manager.SetTransparent(ParseInt(value));
    } else if (is(L"bktrans")) {
        manager.SetBackgroundTransparent(ParseBool(value));
    } else if (is(L"disabledfontcolor")) {
        manager.SetDefaultDisabledColor(ParseHexColor(value));
    } else if (is(L"defaultfontcolor")) {
        manager.SetDefaultFontColor(ParseHexColor(value));
    } else if (is(L"linkfontcolor")) {
        manager.SetDefaultLinkFontColor(ParseHexColor(value));
    } else if (is(L"linkhoverfontcolor")) {
        manager.SetDefaultLinkHoverFontColor(ParseHexColor(value));
    } else if (is(L"selectedcolor")) {
        manager.SetDefaultSelectedBkColor(ParseHexColor(value));
    } else if (is(L"backwnd")) {
        manager.SetBackWndEnabled(ParseBool(value));
    } else if (is(L"backwndimage")) {
        manager.SetBackWndImage(value);
    } else if (is(L"backwndpos")) {
        manager.SetBackWndPosition(ParseRectValue(value));
    } else if (is(L"shadow")) {
        manager.SetShadowEanbled(ParseBool(value));
    } else if (is(L"shadowsize")) {
        manager.SetShadowSize(ParseInt(value));
    } else if (is(L"shadowsharp")) {
        manager.SetShadowSharpness(ParseInt(value));
    } else if (is(L"shadowdark")) {
        manager.SetShadowDarkness(ParseInt(value));
    } else if (is(L"shadowx")) {
        manager.SetShadowPosX(ParseInt(value));
    } else if (is(L"shadowy")) {
        manager.SetShadowPosY(ParseInt(value));
    } else {
        return false;
    }
    return true;
}

}  // namespace TarselUI
