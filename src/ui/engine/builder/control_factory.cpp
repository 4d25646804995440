// The class table: skin tags to the engine's controls.

#include <cwchar>

#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/button.h"
#include "ui/engine/controls/container.h"
#include "ui/engine/controls/label.h"
#include "ui/engine/controls/scroll_bar.h"
#include "ui/engine/controls/text.h"
#include "ui/engine/layout/horizontal_layout.h"
#include "ui/engine/layout/tab_layout.h"
#include "ui/engine/layout/tile_layout.h"
#include "ui/engine/layout/vertical_layout.h"

namespace TarselUI {

namespace {

template <class T>
CControlUI* Make() {
    return new T;
}

struct ClassEntry {
    LPCWSTR tag;
    CControlUI* (*create)();
};

// Tags of the wider control set whose classes this engine does not build
// (Edit, List, Combo, Option, Slider, Progress, RichEdit, CheckBox,
// ComboBox, DateTime, TreeView, TreeNode, GifButton, ListHeader,
// GifControl, ChildLayout, ListHeaderItem, ListTextElement,
// ListLabelElement, ListContainerElement) are absent: they create nothing
// and are skipped like unknown tags.
const ClassEntry kClasses[] = {
    {L"Text", Make<CTextUI>},
    {L"Label", Make<CLabelUI>},
    {L"Button", Make<CButtonUI>},
    {L"Control", Make<CControlUI>},
    {L"Container", Make<CContainerUI>},
    {L"ScrollBar", Make<CScrollBarUI>},
    {L"TabLayout", Make<CTabLayoutUI>},
    {L"TileLayout", Make<CTileLayoutUI>},
    {L"VerticalLayout", Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
};

}  // namespace

CControlUI* CreateEngineControl(LPCWSTR tag) {
    if (!tag) return nullptr;
    for (const ClassEntry& entry : kClasses) {
        if (std::wcscmp(entry.tag, tag) == 0) return entry.create();
    }
    return nullptr;
}

}  // namespace TarselUI
