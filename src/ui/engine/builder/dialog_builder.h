#pragma once
// Turns one skin file into a tree of controls and registers the skin's
// shared resources (fonts, images, default attribute lists) and window
// settings with a paint manager. `Include` elements are built by a fresh
// builder for the same manager and parent.

#include <windows.h>

#include "ui/engine/markup/markup.h"
#include "ui/engine/render/string_or_id.h"

namespace TarselUI {

class CControlUI;
class CPaintManagerUI;

class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // A new control for a tag the engine does not know, or null.
    virtual CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR pstrName) = 0;
};

class CDialogBuilder {
public:
    CDialogBuilder() = default;
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // `xml` is a resource id (of type `type` in the resource module),
    // markup text starting with '<', or a skin file name.
    CControlUI* Create(STRINGorID xml, LPCWSTR type = nullptr, IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    // Builds from the markup already loaded.
    CControlUI* Create(IDialogBuilderCallback* pCallback = nullptr, CPaintManagerUI* pManager = nullptr,
                       CControlUI* pParent = nullptr);

    CMarkup* GetMarkup() { return &m_xml; }
    void GetLastErrorMessage(LPWSTR pstrMessage, SIZE_T cchMax) const;
    void GetLastErrorLocation(LPWSTR pstrSource, SIZE_T cchMax) const;

private:
    CControlUI* _Parse(CMarkupNode* parent, CControlUI* pParent = nullptr, CPaintManagerUI* pManager = nullptr);
    void RegisterResources(CMarkupNode& root, CPaintManagerUI& manager);
    void BuildInclude(CMarkupNode& node, CControlUI* pParent, CPaintManagerUI* pManager);
    CControlUI* CreateForTag(LPCWSTR tag, LPCWSTR name, CPaintManagerUI* pManager);

    CMarkup m_xml;
    IDialogBuilderCallback* m_pCallback = nullptr;
    LPCWSTR m_pstrtype = nullptr;
};

// The engine's own control for a tag from the class table; null for a tag
// the table does not hold or whose class this engine does not build.
CControlUI* CreateEngineControl(LPCWSTR tag);

// Applies one root attribute of a `Window` skin to the manager. False for
// a name that is not a window setting.
bool ApplyWindowAttribute(CPaintManagerUI& manager, LPCWSTR name, LPCWSTR value);

}  // namespace TarselUI
