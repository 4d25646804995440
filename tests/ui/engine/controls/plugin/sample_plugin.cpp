// A plug-in module as a skin author would write one: it exports
// "CreateControl" and makes a control for a tag of its own, `Swatch`. Its
// control is built on the engine the host program exports, not on a copy.

#include <windows.h>

#include <cwchar>

#include "ui/engine/controls/control.h"

namespace {

LONG g_swatchesAlive = 0;

// A plain control whose "shade" attribute (a colour name) sets its
// background colour.
class CSwatchUI : public TarselUI::CControlUI {
public:
    CSwatchUI() { ::InterlockedIncrement(&g_swatchesAlive); }
    ~CSwatchUI() override { ::InterlockedDecrement(&g_swatchesAlive); }

    LPCWSTR GetClass() const override { return L"SwatchUI"; }
    LPVOID GetInterface(LPCWSTR pstrName) override {
        if (std::wcscmp(pstrName, L"Swatch") == 0) return this;
        return CControlUI::GetInterface(pstrName);
    }
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override {
        if (std::wcscmp(pstrName, L"shade") != 0) return CControlUI::SetAttribute(pstrName, pstrValue);
        if (std::wcscmp(pstrValue, L"red") == 0) SetBkColor(0xFFFF0000);
        if (std::wcscmp(pstrValue, L"green") == 0) SetBkColor(0xFF00FF00);
    }
};

}  // namespace

extern "C" __declspec(dllexport) TarselUI::CControlUI* CreateControl(LPCWSTR pstrType) {
    if (pstrType && std::wcscmp(pstrType, L"Swatch") == 0) return new CSwatchUI;
    return nullptr;
}

// How many of its controls live, so the host can see they are all deleted.
extern "C" __declspec(dllexport) LONG SwatchesAlive() { return g_swatchesAlive; }
