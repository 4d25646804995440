// The resources this executable embeds exactly as the launcher does: the
// skin archive (102, "ZIPRES") with every skin file and picture, the update
// hint's layout, the icon group and the manifest.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/markup/markup.h"
#include "ui/engine/render/render_engine.h"
#include "ui/skin/zip_archive.h"

using namespace TarselUI;

namespace {

// The archive bytes as the resource holds them; valid for the process.
std::pair<const void*, DWORD> SkinResource() {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"ZIPRES");
    if (!found) return {nullptr, 0};
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    return {loaded ? ::LockResource(loaded) : nullptr, ::SizeofResource(nullptr, found)};
}

class SkinArchive : public ::testing::Test {
protected:
    void SetUp() override {
        auto [data, size] = SkinResource();
        ASSERT_NE(data, nullptr) << "resource 102 ZIPRES missing";
        ASSERT_GT(size, 0u);
        archive_.reset(ZipOpen(data, size, kZipSourceMemory));
        ASSERT_TRUE(archive_) << "the embedded archive does not open";
    }

    // The whole entry; fails the test when it is missing or does not unzip.
    std::string Extract(const wchar_t* name) {
        int index = -1;
        ZipEntry entry{};
        EXPECT_EQ(ZipFindItem(archive_.get(), name, true, &index, &entry), kZipSuccess) << name;
        if (index < 0) return {};
        std::string bytes(entry.uncompressedSize, '\0');
        const ZipResult result = ZipUnzipItem(archive_.get(), index, bytes.data(), entry.uncompressedSize, kZipSourceMemory);
        EXPECT_TRUE(result == kZipSuccess || result == kZipMoreData) << name << " result " << result;
        return bytes;
    }

    UniqueZipArchive archive_;
};

struct ImageDeleter {
    void operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image); }
};
using UniqueImage = std::unique_ptr<TImageInfo, ImageDeleter>;

// A parsed skin file with helpers to walk it by element names.
class SkinDocument {
public:
    explicit SkinDocument(const std::string& bytes) {
        loaded_ = markup_.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
        if (!loaded_) markup_.GetLastErrorMessage(error_, 100);
    }
    bool loaded() const { return loaded_; }
    const wchar_t* error() const { return error_; }
    CMarkupNode Root() { return markup_.GetRoot(); }

private:
    CMarkup markup_;
    bool loaded_ = false;
    wchar_t error_[100] = L"";
};

std::vector<CMarkupNode> Children(const CMarkupNode& node) {
    std::vector<CMarkupNode> children;
    for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) children.push_back(child);
    return children;
}

std::wstring Attr(const CMarkupNode& node, const wchar_t* name) { return node.GetAttributeValue(name); }

// The PNG header's size, read without any decoder.
std::pair<int, int> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto be32 = [&bytes](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    return {static_cast<int>(be32(16)), static_cast<int>(be32(20))};
}

const wchar_t* const kMarkupFiles[] = {L"MainFrame.xml", L"Default.xml", L"MsgBox\\UpdateHintBox.xml",
                                       L"MsgBox\\MsgBox.xml", L"HintWnd.xml", L"Titlebar.xml"};

struct Picture {
    const wchar_t* name;
    int width, height;
};
const Picture kPictures[] = {
    {L"updatebkimg.png", 380, 266},   {L"MsgBox\\updateNow.png", 180, 30}, {L"MsgBox\\nextChoose.png", 180, 30},
    {L"MsgBox\\cancel.png", 270, 30}, {L"MsgBox\\btn.png", 180, 24},        {L"MsgBox\\close.png", 33, 12},
    {L"MsgBox\\sys_info.png", 32, 32}, {L"HintWnd\\stop.png", 225, 26},     {L"Titlebar\\minbtn.png", 108, 36},
    {L"Titlebar\\closebtn.png", 108, 36},
};

}  // namespace

TEST_F(SkinArchive, EveryMarkupFileParses) {
    for (const wchar_t* name : kMarkupFiles) {
        SkinDocument document(Extract(name));
        EXPECT_TRUE(document.loaded()) << name << ": " << testing::PrintToString(std::wstring(document.error()));
        EXPECT_TRUE(document.Root().IsValid()) << name;
    }
}

TEST_F(SkinArchive, EveryPictureDecodesAtItsSize) {
    // Through the engine, the way windows load them: the archive installed
    // from memory, pictures found by relative name.
    auto [data, size] = SkinResource();
    CPaintManagerUI::SetResourceZip(data, size);
    for (const Picture& picture : kPictures) {
        EXPECT_EQ(PngSize(Extract(picture.name)), std::make_pair(picture.width, picture.height)) << picture.name;
        UniqueImage image(CRenderEngine::LoadImageW(picture.name));
        ASSERT_TRUE(image) << picture.name;
        EXPECT_EQ(image->nWidth, picture.width) << picture.name;
        EXPECT_EQ(image->nHeight, picture.height) << picture.name;
        // Rounded shapes with clear corners: drawn with alpha blending.
        EXPECT_TRUE(image->bAlphaChannel) << picture.name;
    }
}

TEST_F(SkinArchive, ButtonStripsShowDistinctStates) {
    auto [data, size] = SkinResource();
    CPaintManagerUI::SetResourceZip(data, size);
    struct Strip {
        const wchar_t* name;
        int cells;
    };
    for (const Strip strip : {Strip{L"MsgBox/updateNow.png", 2}, Strip{L"MsgBox/nextChoose.png", 2},
                              Strip{L"MsgBox/cancel.png", 3}}) {
        UniqueImage image(CRenderEngine::LoadImageW(strip.name));
        ASSERT_TRUE(image) << strip.name;
        DIBSECTION section{};
        ASSERT_NE(::GetObjectW(image->hBitmap, sizeof section, &section), 0);
        const auto* pixels = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
        // Each 90 x 30 cell differs from the next (normal, hot, disabled),
        // and each carries a label: its middle row is not one flat colour.
        std::vector<std::vector<std::uint32_t>> cells(strip.cells);
        for (int c = 0; c < strip.cells; ++c) {
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 90; ++x) cells[c].push_back(pixels[y * image->nWidth + c * 90 + x]);
            const auto row = cells[c].begin() + 15 * 90;
            EXPECT_FALSE(std::all_of(row + 20, row + 70, [&](std::uint32_t p) { return p == row[20]; }))
                << strip.name << " cell " << c;
            if (c > 0) {
                EXPECT_NE(cells[c], cells[c - 1]) << strip.name << " cell " << c;
            }
        }
    }
}

TEST_F(SkinArchive, UpdateHintBoxIsLaidOutAsTheDialogExpects) {
    SkinDocument document(Extract(L"MsgBox\\UpdateHintBox.xml"));
    ASSERT_TRUE(document.loaded());
    CMarkupNode window = document.Root();
    EXPECT_STREQ(window.GetName(), L"Window");
    const std::pair<const wchar_t*, const wchar_t*> windowSettings[] = {
        {L"size", L"380,266"},   {L"caption", L"0,0,0,266"}, {L"roundcorner", L"15,15,15,15"},
        {L"shadow", L"true"},    {L"shadowsize", L"5"},      {L"shadowsharp", L"4"},
        {L"shadowdark", L"30"},  {L"shadowx", L"0"},         {L"shadowy", L"0"},
    };
    for (auto [name, value] : windowSettings) EXPECT_EQ(Attr(window, name), value) << name;

    const auto top = Children(window);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_STREQ(top[0].GetName(), L"Include");
    EXPECT_EQ(Attr(top[0], L"source"), L"Default.xml");
    const CMarkupNode& root = top[1];
    EXPECT_STREQ(root.GetName(), L"VerticalLayout");
    EXPECT_EQ(Attr(root, L"width"), L"380");
    EXPECT_EQ(Attr(root, L"height"), L"266");
    EXPECT_EQ(Attr(root, L"bkimage"), L"file='updatebkimg.png' ");

    // Rows top to bottom fill the window's height exactly.
    const auto rows = Children(root);
    const wchar_t* const rowTags[] = {L"Control", L"HorizontalLayout", L"Control", L"HorizontalLayout", L"Control"};
    const int rowHeights[] = {150, 36, 20, 30, 30};
    ASSERT_EQ(rows.size(), 5u);
    int total = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_STREQ(rows[i].GetName(), rowTags[i]) << i;
        EXPECT_EQ(_wtoi(rows[i].GetAttributeValue(L"height")), rowHeights[i]) << i;
        total += rowHeights[i];
    }
    EXPECT_EQ(total, 266);

    const auto textRow = Children(rows[1]);
    ASSERT_EQ(textRow.size(), 3u);
    const CMarkupNode& tip = textRow[1];
    EXPECT_STREQ(tip.GetName(), L"Label");
    EXPECT_EQ(Attr(tip, L"name"), L"tiptext");
    EXPECT_EQ(Attr(tip, L"width"), L"380");
    EXPECT_EQ(Attr(tip, L"height"), L"36");
    EXPECT_EQ(Attr(tip, L"align"), L"center");
    EXPECT_EQ(Attr(tip, L"font"), L"4");
    EXPECT_EQ(Attr(tip, L"textcolor"), L"#FF333333");
    EXPECT_EQ(Attr(tip, L"text"), L"检测到新版本，是否立即更新?");

    // The button row: a vertical layout holding one horizontal layout.
    const auto buttonRow = Children(rows[3]);
    ASSERT_EQ(buttonRow.size(), 1u);
    EXPECT_STREQ(buttonRow[0].GetName(), L"VerticalLayout");
    const auto inner = Children(buttonRow[0]);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_STREQ(inner[0].GetName(), L"HorizontalLayout");
    const auto cells = Children(inner[0]);
    struct Expected {
        const wchar_t* tag;
        const wchar_t* name;
        const wchar_t* image;  // null for plain controls
        bool visible;
    };
    const Expected expected[] = {
        {L"Control", L"", nullptr, true},
        {L"Button", L"btnNo", L"MsgBox/nextChoose.png", true},
        {L"Button", L"btnCancel", L"MsgBox/cancel.png", false},
        {L"Control", L"ControlUI4", nullptr, true},
        {L"Button", L"btnYes", L"MsgBox/updateNow.png", true},
        {L"Button", L"btnOK", L"MsgBox/updateNow.png", false},
        {L"Control", L"", nullptr, true},
    };
    ASSERT_EQ(cells.size(), std::size(expected));
    int fixedWidth = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const CMarkupNode& cell = cells[i];
        const Expected& e = expected[i];
        EXPECT_STREQ(cell.GetName(), e.tag) << i;
        EXPECT_EQ(Attr(cell, L"name"), e.name) << i;
        EXPECT_EQ(Attr(cell, L"visible") != L"false", e.visible) << i;
        if (!e.image) continue;
        const std::wstring file = std::wstring(L"file='") + e.image + L"'";
        EXPECT_EQ(Attr(cell, L"width"), L"90") << i;
        EXPECT_EQ(Attr(cell, L"height"), L"30") << i;
        EXPECT_EQ(Attr(cell, L"normalimage"), file + L" source='0,0,90,30'") << i;
        EXPECT_EQ(Attr(cell, L"hotimage"), file + L" source='90,0,180,30'") << i;
        EXPECT_EQ(Attr(cell, L"pushedimage"), file + L" source='90,0,180,30'") << i;
        EXPECT_EQ(Attr(cell, L"textcolor"), L"#FF555555") << i;
        EXPECT_EQ(Attr(cell, L"font"), L"0") << i;
        EXPECT_EQ(Attr(cell, L"text"), L"") << i;
        if (e.visible) fixedWidth += 90;
    }
    EXPECT_EQ(Attr(cells[3], L"width"), L"32");
    fixedWidth += 32;
    // The two visible buttons and the gap sit centred between the two
    // stretching controls: 84 pixels either side.
    EXPECT_EQ((380 - fixedWidth) / 2, 84);
}

TEST_F(SkinArchive, SharedFileHasTheFiveFontsAndDefaultStyles) {
    SkinDocument document(Extract(L"Default.xml"));
    ASSERT_TRUE(document.loaded());
    std::vector<int> fontSizes;
    std::vector<std::wstring> defaults;
    for (const CMarkupNode& child : Children(document.Root())) {
        if (std::wcscmp(child.GetName(), L"Font") == 0) {
            EXPECT_EQ(Attr(child, L"name"), L"微软雅黑");
            EXPECT_NE(Attr(child, L"bold"), L"true");
            EXPECT_NE(Attr(child, L"italic"), L"true");
            fontSizes.push_back(_wtoi(child.GetAttributeValue(L"size")));
        } else if (std::wcscmp(child.GetName(), L"Default") == 0) {
            defaults.push_back(Attr(child, L"name"));
        }
    }
    EXPECT_EQ(fontSizes, (std::vector<int>{12, 12, 14, 12, 18}));
    for (const wchar_t* tag : {L"VScrollBar", L"HScrollBar", L"Slider", L"Button", L"Option", L"CheckBox", L"Edit",
                               L"DateTime", L"Label", L"Combo"})
        EXPECT_NE(std::find(defaults.begin(), defaults.end(), tag), defaults.end()) << tag;
    EXPECT_EQ(std::count(defaults.begin(), defaults.end(), L"DateTime"), 2);
}

TEST_F(SkinArchive, MainFrameIsAnEmptyHiddenWindow) {
    SkinDocument document(Extract(L"MainFrame.xml"));
    ASSERT_TRUE(document.loaded());
    CMarkupNode window = document.Root();
    EXPECT_STREQ(window.GetName(), L"Window");
    const std::pair<const wchar_t*, const wchar_t*> settings[] = {
        {L"size", L"0,0"},       {L"caption", L"0,0,0,0"}, {L"sizebox", L"0,0,0,0"}, {L"bktrans", L"true"},
        {L"shadow", L"true"},    {L"shadowsize", L"4"},    {L"shadowsharp", L"4"},   {L"shadowdark", L"30"},
        {L"shadowx", L"0"},      {L"shadowy", L"0"},
    };
    for (auto [name, value] : settings) EXPECT_EQ(Attr(window, name), value) << name;
    const auto children = Children(window);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_STREQ(children[0].GetName(), L"Include");
    EXPECT_EQ(Attr(children[0], L"source"), L"Default.xml");
    EXPECT_STREQ(children[1].GetName(), L"VerticalLayout");
    EXPECT_FALSE(children[1].HasChildren());
}

TEST_F(SkinArchive, UnusedWindowsCarryTheirNamedControls) {
    struct File {
        const wchar_t* name;
        const wchar_t* root;
        std::vector<std::wstring> controls;
    };
    const File files[] = {
        {L"MsgBox/MsgBox.xml", L"Window",
         {L"txtTitle", L"closebtn", L"imgMsg", L"lblMsg", L"btnOK", L"btnCancel", L"btnYes", L"btnNo"}},
        {L"HintWnd.xml", L"Window", {L"btnStop"}},
        {L"Titlebar.xml", L"Titlebar", {L"minbtn", L"closebtn"}},
    };
    for (const File& file : files) {
        SkinDocument document(Extract(file.name));
        ASSERT_TRUE(document.loaded()) << file.name;
        EXPECT_STREQ(document.Root().GetName(), file.root);
        std::vector<std::wstring> names;
        std::vector<CMarkupNode> pending{document.Root()};
        while (!pending.empty()) {
            CMarkupNode node = pending.back();
            pending.pop_back();
            if (node.HasAttribute(L"name")) names.push_back(Attr(node, L"name"));
            for (const CMarkupNode& child : Children(node)) pending.push_back(child);
        }
        for (const std::wstring& control : file.controls)
            EXPECT_NE(std::find(names.begin(), names.end(), control), names.end()) << file.name;
    }
}

TEST(LauncherResources, IconGroupHasFourSizes) {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(103), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
    ASSERT_NE(group, nullptr);
    // GRPICONDIR: reserved, type, count, then 14-byte entries led by width.
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    ASSERT_EQ(count, 4);
    std::vector<int> widths;
    for (WORD i = 0; i < count; ++i) widths.push_back(group[6 + 14 * i] == 0 ? 256 : group[6 + 14 * i]);
    std::sort(widths.begin(), widths.end());
    EXPECT_EQ(widths, (std::vector<int>{16, 32, 48, 256}));
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(103), IMAGE_ICON,
                                                     size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon) ::DestroyIcon(icon);
    }
}

TEST(LauncherResources, ManifestAsksForAdministratorAndCommonControls6) {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const auto* text = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    ASSERT_NE(text, nullptr);
    const std::string manifest(text, ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

// Declared as written for Windows 7 to 11: without these the system's
// version calls and the compatibility assistant treat it as a program of
// an older Windows.
TEST(LauncherResources, ManifestDeclaresWindows7To11) {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
                               ::SizeofResource(nullptr, found));
    const std::size_t section = manifest.find("<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">");
    ASSERT_NE(section, std::string::npos);
    const std::size_t end = manifest.find("</compatibility>", section);
    ASSERT_NE(end, std::string::npos);
    const std::string declared = manifest.substr(section, end - section);
    for (const char* id : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(declared.find(std::string("<supportedOS Id=\"") + id + "\" />"), std::string::npos) << id;
    }
}
