// Plug-ins: modules loaded by CPaintManagerUI::LoadPlugin whose
// "CreateControl" the dialog builder asks for tags it does not know. This
// program exports the engine as the launcher does; the sample plug-in
// imports its control base from here.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/container.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

using namespace TarselUI;

namespace {

// A module beside this program.
std::wstring BesideProgram(const wchar_t* fileName) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + fileName;
}

const std::wstring kSamplePlugin = BesideProgram(L"sample_plugin.dll");
const std::wstring kNoFactory = BesideProgram(L"plugin_without_factory.dll");

constexpr wchar_t kSkin[] =
    L"<Window><VerticalLayout name=\"root\">"
    L"<Swatch name=\"first\" shade=\"red\" />"
    L"<Label name=\"caption\" />"
    L"<Swatch name=\"second\" shade=\"green\" width=\"40\" />"
    L"<Gadget name=\"unknown\" />"
    L"</VerticalLayout></Window>";

class TagRecorder : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR) override {
        asked.push_back(pstrClass);
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

struct Built {
    CPaintManagerUI manager;
    CControlUI* root = nullptr;
    ~Built() { delete root; }
    IContainerUI* Container() { return static_cast<IContainerUI*>(root->GetInterface(L"IContainer")); }
    int Count() { return Container()->GetCount(); }
    CControlUI* Item(int index) { return Container()->GetItemAt(index); }
};

// The skin's tree in `built`; fails the test when nothing was built.
void Build(Built& built, IDialogBuilderCallback* callback = nullptr) {
    built.manager.AddDefaultAttributeList(L"Swatch", L"height=\"12\" tooltip=\"from the defaults\"");
    CDialogBuilder builder;
    built.root = builder.Create(STRINGorID(kSkin), nullptr, callback, &built.manager);
    ASSERT_NE(built.root, nullptr);
}

using AliveFn = LONG (*)();

LONG SwatchesAlive() {
    HMODULE module = ::GetModuleHandleW(kSamplePlugin.c_str());
    if (!module) return -1;
    auto alive = reinterpret_cast<AliveFn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, "SwatchesAlive")));
    return alive ? alive() : -1;
}

}  // namespace

TEST(Plugins, ModulesThatAreNoPluginsAreRefusedAndGivenBack) {
    ASSERT_NE(::GetFileAttributesW(kNoFactory.c_str()), INVALID_FILE_ATTRIBUTES)
        << "build the plug-in modules (target tarsel_sample_plugin)";
    const struct {
        const wchar_t* name;
        const wchar_t* module;
    } cases[] = {
        {L"null name", nullptr},
        {L"empty name", L""},
        {L"missing file", L"Z:\\no\\such\\plugin.dll"},
        {L"no CreateControl export", kNoFactory.c_str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(CPaintManagerUI::LoadPlugin(c.module));
        EXPECT_EQ(CPaintManagerUI::GetPlugins().GetSize(), 0);
    }
    // The module without the export was loaded to look, then given back.
    EXPECT_EQ(::GetModuleHandleW(kNoFactory.c_str()), nullptr);
}

TEST(Plugins, WithoutThePluginItsTagIsSkippedLikeAnyUnknownTag) {
    TagRecorder callback;
    Built built;
    ASSERT_NO_FATAL_FAILURE(Build(built, &callback));
    ASSERT_EQ(built.Count(), 1);
    EXPECT_STREQ(built.Item(0)->GetClass(), L"LabelUI");
    EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Swatch", L"Swatch", L"Gadget"}));
}

TEST(Plugins, APluginsTagBuildsItsControlFromASkin) {
    ASSERT_NE(::GetFileAttributesW(kSamplePlugin.c_str()), INVALID_FILE_ATTRIBUTES)
        << "build the plug-in modules (target tarsel_sample_plugin)";
    ASSERT_TRUE(CPaintManagerUI::LoadPlugin(kSamplePlugin.c_str()));
    // Loading it again lists its factory once.
    ASSERT_TRUE(CPaintManagerUI::LoadPlugin(kSamplePlugin.c_str()));
    EXPECT_EQ(CPaintManagerUI::GetPlugins().GetSize(), 1);
    ASSERT_EQ(SwatchesAlive(), 0);

    TagRecorder callback;
    {
        Built built;
        ASSERT_NO_FATAL_FAILURE(Build(built, &callback));
        ASSERT_EQ(built.Count(), 3);
        CControlUI* first = built.Item(0);
        CControlUI* label = built.Item(1);
        CControlUI* second = built.Item(2);
        EXPECT_STREQ(first->GetClass(), L"SwatchUI");
        EXPECT_EQ(first->GetInterface(L"Swatch"), first);
        EXPECT_STREQ(label->GetClass(), L"LabelUI");
        EXPECT_STREQ(second->GetClass(), L"SwatchUI");
        EXPECT_EQ(SwatchesAlive(), 2);

        // The plug-in's own attribute, the engine's attributes it passes
        // on, and the manager's default list for its tag all apply.
        EXPECT_EQ(first->GetBkColor(), 0xFFFF0000u);
        EXPECT_EQ(second->GetBkColor(), 0xFF00FF00u);
        EXPECT_EQ(first->GetName(), CUIString(L"first"));
        EXPECT_EQ(second->GetFixedWidth(), 40);
        EXPECT_EQ(first->GetFixedHeight(), 12);
        EXPECT_EQ(first->GetToolTip(), CUIString(L"from the defaults"));

        // Attached, its names are registered like any control's.
        ASSERT_TRUE(built.manager.AttachDialog(built.root));
        EXPECT_EQ(built.manager.FindControl(L"second"), second);
        built.root = nullptr;  // the manager owns the tree now
    }
    // The tree went with its manager, the plug-in's controls with it.
    EXPECT_EQ(SwatchesAlive(), 0);
    // Tags the plug-in makes never reach the callback; others still do.
    EXPECT_EQ(callback.asked, std::vector<std::wstring>{L"Gadget"});
}
