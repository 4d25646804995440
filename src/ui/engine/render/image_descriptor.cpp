#include "ui/engine/render/image_descriptor.h"

#include <algorithm>
#include <cwchar>

#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

namespace {

bool IsSpace(wchar_t ch) { return ch != L'\0' && ch <= L' '; }

LPCWSTR SkipSpace(LPCWSTR p) {
    while (IsSpace(*p)) ++p;
    return p;
}

}  // namespace

TImageDrawSettings TImageDrawSettings::Defaults(LPCWSTR descriptor, const RECT& item) {
    TImageDrawSettings settings;
    settings.sImageName = descriptor ? descriptor : L"";
    settings.rcItem = item;
    settings.rcDest = item;
    return settings;
}

RECT DescriptorDestination(const RECT& item, const RECT& relative) {
    RECT dest;
    dest.left = item.left + relative.left;
    dest.top = item.top + relative.top;
    dest.right = std::min<LONG>(item.left + relative.right, item.right);
    dest.bottom = std::min<LONG>(item.top + relative.bottom, item.bottom);
    return dest;
}

void ReadImageDescriptor(LPCWSTR text, TImageDrawSettings& s, const ImageDrawCallback& drawNow) {
    if (!text) return;
    bool imageNamed = false;
    LPCWSTR p = text;
    while (*p != L'\0') {
        p = SkipSpace(p);
        LPCWSTR nameStart = p;
        while (*p != L'\0' && *p != L'=' && !IsSpace(*p)) ++p;
        CUIString name(nameStart, static_cast<int>(p - nameStart));
        p = SkipSpace(p);
        if (*p != L'=') return;
        p = SkipSpace(p + 1);
        if (*p != L'\'') return;
        LPCWSTR valueStart = ++p;
        while (*p != L'\0' && *p != L'\'') ++p;
        if (*p == L'\0') return;
        CUIString value(valueStart, static_cast<int>(p - valueStart));
        ++p;  // the closing quote

        if (!value.IsEmpty()) {
            if (name == L"file" || name == L"res") {
                if (imageNamed) drawNow(s);
                s.sImageName = value;
                if (name == L"file") imageNamed = true;
            } else if (name == L"restype") {
                if (imageNamed) drawNow(s);
                s.sResType = value;
                imageNamed = true;
            } else if (name == L"dest") {
                s.rcDest = DescriptorDestination(s.rcItem, ParseRectValue(value));
            } else if (name == L"source") {
                s.rcSource = ParseRectValue(value);
            } else if (name == L"corner") {
                s.rcCorner = ParseRectValue(value);
            } else if (name == L"mask") {
                LPCWSTR digits = value.GetData();
                if (*digits == L'#') ++digits;
                s.dwMask = static_cast<DWORD>(std::wcstoul(digits, nullptr, 16));
            } else if (name == L"fade") {
                s.uFade = static_cast<BYTE>(std::wcstol(value.GetData(), nullptr, 10) & 0xFF);
            } else if (name == L"hole") {
                s.bHole = value == L"true";
            } else if (name == L"xtiled") {
                s.bXTiled = value == L"true";
            } else if (name == L"ytiled") {
                s.bYTiled = value == L"true";
            }
        }
        // Items are separated by a space, and one must follow it.
        if (*p != L' ' || p[1] == L'\0') return;
        ++p;
    }
}

void ReadImageDescriptorPair(LPCWSTR descriptor, LPCWSTR modifier, const RECT& item,
                             const ImageDrawCallback& drawNow) {
    TImageDrawSettings settings = TImageDrawSettings::Defaults(descriptor, item);
    ReadImageDescriptor(descriptor, settings, drawNow);
    ReadImageDescriptor(modifier, settings, drawNow);
    drawNow(settings);
}

}  // namespace TarselUI
