// Loading skin files by name. The resource settings are process-wide and an
// archive, once named, cannot be taken away again, so the suites below run
// in this order: loose files, archive files, the archive held in memory.

#include <gtest/gtest.h>

#include <string>

#include "markup_test_util.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/markup/markup.h"

using namespace TarselUI;
using namespace markuptest;

namespace {

constexpr size_t kMaxFile = CMarkup::kMaxFileSize;

// Markup of exactly `size` bytes.
std::string MarkupOfSize(size_t size) {
    std::string text = "<a></a>";
    text.insert(3, size - text.size(), ' ');
    return text;
}

std::wstring FixtureDir() {
    return testsupport::BuildDir() + L"tests\\ui\\engine\\markup\\markup_fixtures\\";
}

struct LoadCase {
    const wchar_t* name;
    const wchar_t* error;  // null: loads
};

void ExpectLoads(const LoadCase* begin, const LoadCase* end) {
    for (const LoadCase* c = begin; c != end; ++c) {
        CMarkup markup;
        bool loaded = markup.LoadFromFile(c->name);
        if (c->error == nullptr) {
            EXPECT_TRUE(loaded) << c->name << " " << ErrorMessage(markup);
            EXPECT_TRUE(markup.GetRoot().IsValid()) << c->name;
        } else {
            EXPECT_FALSE(loaded) << c->name;
            EXPECT_EQ(std::wstring(c->error), ErrorMessage(markup)) << c->name;
            EXPECT_EQ(L"", ErrorLocation(markup)) << c->name;
            EXPECT_FALSE(markup.IsValid()) << c->name;
        }
    }
}

}  // namespace

TEST(MarkupLooseFile, ReadsFromTheResourceFolderWithinTheSizeLimit) {
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"skin.xml", "\xEF\xBB\xBF<Window><Button/></Window>"));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"MsgBox\\hint.xml", "<Window/>"));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"empty.xml", ""));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"max.xml", MarkupOfSize(kMaxFile)));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"over.xml", MarkupOfSize(kMaxFile + 1)));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"broken.xml", "<Window><Label text=1/></Window>"));
    // The folder is given without its separator; the settings add it.
    std::wstring folder = dir.path().substr(0, dir.path().size() - 1);
    CPaintManagerUI::SetResourcePath(folder.c_str());

    const LoadCase cases[] = {
        {L"skin.xml", nullptr},
        {L"MsgBox\\hint.xml", nullptr},
        {L"max.xml", nullptr},
        {L"missing.xml", L"Error opening file"},
        {L"empty.xml", L"File is empty"},
        {L"over.xml", L"File too large"},
    };
    ExpectLoads(std::begin(cases), std::end(cases));

    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"skin.xml"));
    EXPECT_EQ(L"Button", Str(markup.GetRoot().GetChild().GetName()));
    ASSERT_FALSE(markup.LoadFromFile(L"broken.xml"));
    EXPECT_EQ(L"Expected attribute value", ErrorMessage(markup));
    EXPECT_EQ(L"/></Window>", ErrorLocation(markup));
    CPaintManagerUI::SetResourcePath(L"");
}

TEST(MarkupLooseFile, Utf16FileWithMark) {
    testsupport::TempDir dir;
    std::string bytes = "\xFF\xFE";
    for (char ch : std::string("<a t=\"1\"/>")) bytes += std::string{ch, '\0'};
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"wide.xml", bytes));
    CPaintManagerUI::SetResourcePath(dir.path().c_str());
    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"wide.xml", MARKUP_ENCODING_UTF16)) << ErrorMessage(markup);
    EXPECT_EQ(L"1", Str(markup.GetRoot().GetAttributeValue(L"t")));
    CPaintManagerUI::SetResourcePath(L"");
}

TEST(MarkupArchiveFile, EntriesAreFoundIgnoringCaseAndSeparator) {
    CPaintManagerUI::SetResourcePath(FixtureDir().c_str());
    for (bool keepOpen : {false, true}) {
        CPaintManagerUI::SetResourceZip(L"markup.zip", keepOpen);
        EXPECT_EQ(keepOpen, CPaintManagerUI::GetResourceZipHandle() != nullptr);
        const LoadCase cases[] = {
            {L"MsgBox\\UpdateHintBox.xml", nullptr},
            {L"msgbox/updatehintbox.XML", nullptr},
            {L"MainFrame.xml", nullptr},
            {L"Stored.xml", nullptr},
            {L"MainFrame.xml", nullptr},  // again, after other entries
            {L"Missing.xml", L"Could not find ziped file"},
            {L"MessageBox\\UpdateHintBox.xml", L"Could not find ziped file"},
            {L"empty.xml", L"File is empty"},
            {L"over.xml", L"File too large"},
        };
        ExpectLoads(std::begin(cases), std::end(cases));

        CMarkup markup;
        ASSERT_TRUE(markup.LoadFromFile(L"MsgBox\\UpdateHintBox.xml"));
        EXPECT_EQ(L"更新", Str(markup.GetRoot().GetChild().GetAttributeValue(L"text")));
        ASSERT_TRUE(markup.LoadFromFile(L"MainFrame.xml"));
        int children = 0;
        for (CMarkupNode c = markup.GetRoot().GetChild(); c.IsValid(); c = c.GetSibling()) ++children;
        EXPECT_EQ(200, children);
        EXPECT_FALSE(markup.LoadFromFile(L"broken.xml"));
        EXPECT_EQ(L"Expected attribute value", ErrorMessage(markup));
    }
}

TEST(MarkupArchiveFile, DamagedOrMissingArchivesFailClearly) {
    CPaintManagerUI::SetResourcePath(FixtureDir().c_str());
    struct Case {
        const wchar_t* archive;
        const wchar_t* entry;
        const wchar_t* error;
    } cases[] = {
        {L"no_such.zip", L"Main.xml", L"Error opening zip file"},
        {L"not_a_zip.zip", L"Main.xml", L"Error opening zip file"},
        {L"bad_crc.zip", L"Main.xml", L"Could not unzip file"},
    };
    for (const auto& c : cases) {
        CPaintManagerUI::SetResourceZip(c.archive, false);
        const LoadCase load[] = {{c.entry, c.error}};
        ExpectLoads(std::begin(load), std::end(load));
    }
}

TEST(MarkupArchiveMemory, LoadsFromTheInstalledBlock) {
    // The block is read in place for the rest of the process.
    static std::string block = testsupport::ReadFileBytes(FixtureDir() + L"markup.zip");
    ASSERT_FALSE(block.empty());
    CPaintManagerUI::SetResourcePath(L"");
    CPaintManagerUI::SetResourceZip(block.data(), static_cast<unsigned>(block.size()));
    ASSERT_EQ(L"membuffer", std::wstring(CPaintManagerUI::GetResourceZip().GetData()));
    const LoadCase cases[] = {
        {L"MsgBox\\UpdateHintBox.xml", nullptr},
        {L"MainFrame.xml", nullptr},
        {L"Missing.xml", L"Could not find ziped file"},
        {L"over.xml", L"File too large"},
    };
    ExpectLoads(std::begin(cases), std::end(cases));
}
