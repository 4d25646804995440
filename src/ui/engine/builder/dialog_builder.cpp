// Loading a skin, registering its resources and window settings, and
// building its control tree.

#include "ui/engine/builder/dialog_builder.h"

#include <cstdlib>
#include <cwchar>

#include "ui/engine/controls/container.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

namespace {

constexpr SIZE_T kNameLength = 260;     // "name": up to 259 characters
constexpr SIZE_T kIncludeLength = 500;  // "count" and "source": up to 499

bool Is(LPCWSTR a, LPCWSTR b) { return std::wcscmp(a, b) == 0; }

// `control` is `subtree` or one of its descendants.
bool IsWithin(const CControlUI* control, const CControlUI* subtree) {
    for (; control; control = control->GetParent()) {
        if (control == subtree) return true;
    }
    return false;
}

// Skins come from files a hostile hand may have written. Every level of
// element nesting costs stack here and in every walk over the finished
// tree, and an include of its own file would never end, so both are
// bounded: deeper elements are skipped like unknown tags, deeper includes
// and includes beyond the budget of one build are skipped like missing
// sources. (Builders run on the UI thread only.)
constexpr int kMaxElementDepth = 100;
constexpr int kMaxIncludeDepth = 8;
constexpr int kIncludeBudget = 4096;
int g_elementDepth = 0;
int g_includeDepth = 0;
int g_includesLeft = kIncludeBudget;

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace

CControlUI* CDialogBuilder::Create(STRINGorID xml, LPCWSTR type, IDialogBuilderCallback* pCallback,
                                   CPaintManagerUI* pManager, CControlUI* pParent) {
    if (xml.IsId()) {
        if (!type) return nullptr;
        HINSTANCE module = CPaintManagerUI::GetResourceDll();
        HRSRC resource = ::FindResourceW(module, xml.m_lpstr, type);
        if (!resource) return nullptr;
        HGLOBAL loaded = ::LoadResource(module, resource);
        if (!loaded) return nullptr;
        const auto* bytes = static_cast<const BYTE*>(::LockResource(loaded));
        const DWORD size = ::SizeofResource(module, resource);
        if (!bytes) return nullptr;
        m_pCallback = pCallback;
        if (!m_xml.LoadFromMem(bytes, size)) return nullptr;
        m_pstrtype = type;
    } else {
        if (!xml.m_lpstr) return nullptr;
        if (xml.m_lpstr[0] == L'<') {
            if (!m_xml.Load(xml.m_lpstr)) return nullptr;
        } else if (!m_xml.LoadFromFile(xml.m_lpstr)) {
            return nullptr;
        }
    }
    return Create(pCallback, pManager, pParent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager,
                                   CControlUI* pParent) {
    m_pCallback = pCallback;
    if (g_includeDepth == 0) g_includesLeft = kIncludeBudget;
    CMarkupNode root = m_xml.GetRoot();
    if (!root.IsValid()) return nullptr;

    if (pManager) {
        RegisterResources(root, *pManager);
        if (Is(root.GetName(), L"Window") && pManager->GetPaintWindow()) {
            const int count = root.GetAttributeCount();
            for (int i = 0; i < count; ++i) {
                ApplyWindowAttribute(*pManager, root.GetAttributeName(i), root.GetAttributeValue(i));
            }
        }
    }
    return _Parse(&root, pParent, pManager);
}

void CDialogBuilder::RegisterResources(CMarkupNode& root, CPaintManagerUI& manager) {
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        LPCWSTR tag = node.GetName();
        const int count = node.GetAttributeCount();
        if (Is(tag, L"Image")) {
            LPCWSTR name = nullptr;
            LPCWSTR type = nullptr;
            DWORD mask = 0;
            for (int i = 0; i < count; ++i) {
                LPCWSTR attribute = node.GetAttributeName(i);
                LPCWSTR value = node.GetAttributeValue(i);
                if (Is(attribute, L"name")) {
                    name = value;
                } else if (Is(attribute, L"restype")) {
                    type = value;
                } else if (Is(attribute, L"mask")) {
                    mask = ParseHexColor(value);
                }
            }
            if (name) manager.AddImage(name, type, mask);
        } else if (Is(tag, L"Font")) {
            LPCWSTR name = nullptr;
            int size = 12;
            bool bold = false;
            bool underline = false;
            bool italic = false;
            bool isDefault = false;
            for (int i = 0; i < count; ++i) {
                LPCWSTR attribute = node.GetAttributeName(i);
                LPCWSTR value = node.GetAttributeValue(i);
                if (Is(attribute, L"name")) {
                    name = value;
                } else if (Is(attribute, L"size")) {
                    size = static_cast<int>(std::wcstol(value, nullptr, 10));
                } else if (Is(attribute, L"bold")) {
                    bold = Is(value, L"true");
                } else if (Is(attribute, L"underline")) {
                    underline = Is(value, L"true");
                } else if (Is(attribute, L"italic")) {
                    italic = Is(value, L"true");
                } else if (Is(attribute, L"default")) {
                    isDefault = Is(value, L"true");
                }
            }
            if (name) {
                manager.AddFont(name, size, bold, underline, italic);
                if (isDefault) manager.SetDefaultFont(name, size, bold, underline, italic);
            }
        } else if (Is(tag, L"Default")) {
            LPCWSTR name = nullptr;
            LPCWSTR value = nullptr;
            for (int i = 0; i < count; ++i) {
                LPCWSTR attribute = node.GetAttributeName(i);
                if (Is(attribute, L"name")) {
                    name = node.GetAttributeValue(i);
                } else if (Is(attribute, L"value")) {
                    value = node.GetAttributeValue(i);
                }
            }
            // The manager keeps the first list for a tag.
            if (name) manager.AddDefaultAttributeList(name, value ? value : L"");
        }
    }
}

void CDialogBuilder::BuildInclude(CMarkupNode& node, CControlUI* pParent, CPaintManagerUI* pManager) {
    if (!node.HasAttributes()) return;
    wchar_t buffer[kIncludeLength] = {};
    int count = 1;
    if (node.GetAttributeValue(L"count", buffer, kIncludeLength)) {
        count = static_cast<int>(std::wcstol(buffer, nullptr, 10));
    }
    buffer[0] = L'\0';
    if (!node.GetAttributeValue(L"source", buffer, kIncludeLength)) return;
    if (g_includeDepth >= kMaxIncludeDepth) return;
    DepthGuard nested(g_includeDepth);
    for (int i = 0; i < count && g_includesLeft > 0; ++i) {
        --g_includesLeft;
        CDialogBuilder builder;
        CControlUI* built = nullptr;
        if (m_pstrtype) {
            const UINT id = static_cast<UINT>(std::wcstol(buffer, nullptr, 10));
            built = builder.Create(STRINGorID(id), m_pstrtype, m_pCallback, pManager, pParent);
        } else {
            built = builder.Create(STRINGorID(buffer), nullptr, m_pCallback, pManager, pParent);
        }
        // Without a parent nothing would ever own what the included file
        // built at its top level.
        if (built && !pParent) delete built;
    }
}

CControlUI* CDialogBuilder::CreateForTag(LPCWSTR tag, LPCWSTR name, CPaintManagerUI* /*pManager*/) {
    if (CControlUI* control = CreateEngineControl(tag)) return control;
    const CStdPtrArray& plugins = CPaintManagerUI::GetPlugins();
    for (int i = 0; i < plugins.GetSize(); ++i) {
        auto create = reinterpret_cast<LPCREATECONTROL>(plugins.GetAt(i));
        if (!create) continue;
        if (CControlUI* control = create(tag)) return control;
    }
    if (m_pCallback) return m_pCallback->CreateControl(tag, name);
    return nullptr;
}

CControlUI* CDialogBuilder::_Parse(CMarkupNode* pRoot, CControlUI* pParent, CPaintManagerUI* pManager) {
    if (g_elementDepth >= kMaxElementDepth) return nullptr;
    DepthGuard nested(g_elementDepth);
    CControlUI* result = nullptr;
    for (CMarkupNode node = pRoot->GetChild(); node.IsValid(); node = node.GetSibling()) {
        LPCWSTR tag = node.GetName();
        if (Is(tag, L"Image") || Is(tag, L"Font") || Is(tag, L"Default") || Is(tag, L"Shadow")) continue;
        if (Is(tag, L"Include")) {
            BuildInclude(node, pParent, pManager);
            continue;
        }
        wchar_t name[kNameLength] = {};
        node.GetAttributeValue(L"name", name, kNameLength);
        // Tree nodes need the tree view classes, which this engine does not
        // build: a TreeNode creates nothing, like any unknown tag.
        CControlUI* control = CreateForTag(tag, name, pManager);
        if (!control) continue;

        if (node.HasChildren()) _Parse(&node, control, pManager);

        if (pParent) {
            auto* container = static_cast<IContainerUI*>(pParent->GetInterface(L"IContainer"));
            if (!container) {
                delete control;
                return nullptr;
            }
            if (!container->Add(control)) {
                delete control;
                continue;
            }
        }

        if (pManager) {
            control->SetManager(pManager, nullptr, false);
            if (LPCWSTR defaults = pManager->GetDefaultAttributeList(tag)) control->ApplyAttributeList(defaults);
        }
        const int count = node.GetAttributeCount();
        for (int i = 0; i < count; ++i) control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
        if (pManager) {
            control->SetManager(nullptr, nullptr, false);
            // An attribute may have focused a control of this subtree (a tab
            // layout's "selectedid" does). Detached, the subtree may still be
            // dropped, and no destructor would then clear the focus.
            if (IsWithin(pManager->GetFocus(), control)) pManager->SetFocus(nullptr);
        }

        // Without a parent only the first control of this level is handed
        // back; nothing would own the later ones.
        if (!pParent && result) {
            delete control;
            continue;
        }
        if (!result) result = control;
    }
    return result;
}

void CDialogBuilder::GetLastErrorMessage(LPWSTR pstrMessage, SIZE_T cchMax) const {
    m_xml.GetLastErrorMessage(pstrMessage, cchMax);
}

void CDialogBuilder::GetLastErrorLocation(LPWSTR pstrSource, SIZE_T cchMax) const {
    m_xml.GetLastErrorLocation(pstrSource, cchMax);
}

}  // namespace TarselUI
