// A skinned window whose skin cannot be built, for the load-failure tests:
//
//   window_load_failure.exe broken|missing|xmlres|zipres
//
// broken: markup that does not parse; missing: a skin file that is not
// there; xmlres: a markup resource that does not exist; zipres: an archive
// resource that does not exist. The window host is expected to end the
// process with 1 after its message for the first three; for the last the
// window stays without content and this program ends with 0 (2 when the
// window got a control tree anyway, 3 when creation failed).
#include <windows.h>

#include <cwchar>

#include "ui/engine/controls/paint_manager.h"
#include "ui/window/window_impl_base.h"

using namespace TarselUI;

namespace {

class BrokenSkinWindow : public WindowImplBase {
public:
    explicit BrokenSkinWindow(const wchar_t* mode) : mode_(mode) {}
    LPCWSTR GetWindowClassName() const override { return L"TarselTestBrokenSkin"; }
    CUIString GetSkinDir() override { return L"no-such-skin-folder\\"; }
    CUIString GetSkinXml() override {
        if (std::wcscmp(mode_, L"broken") == 0) return L"<Window size=\"10,10\"><VerticalLayout></Window";
        if (std::wcscmp(mode_, L"xmlres") == 0) return L"4711";
        return L"NoSuchSkin.xml";
    }
    UILIB_RESOURCETYPE GetResourceType() const override {
        if (std::wcscmp(mode_, L"xmlres") == 0) return RESTYPE_XMLRES;
        if (std::wcscmp(mode_, L"zipres") == 0) return RESTYPE_ZIPRES;
        return RESTYPE_FILE;
    }
    LPCWSTR GetResourceID() const override { return MAKEINTRESOURCEW(4712); }

private:
    const wchar_t* mode_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    BrokenSkinWindow window(argc > 1 ? argv[1] : L"broken");
    if (!window.Create(nullptr, L"broken skin", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100)) return 3;
    const int result = window.GetPaintManager().GetRoot() ? 2 : 0;
    ::DestroyWindow(window.GetHWND());
    return result;
}
