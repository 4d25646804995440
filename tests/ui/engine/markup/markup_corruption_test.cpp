// Damaged and hostile skin text: the parser must never crash, never read
// outside its input or its own buffer, and must explain every failure.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "markup_test_util.h"
#include "ui/engine/markup/markup.h"

namespace TarselUI {

// Checks what the parse leaves behind against the text it worked on.
struct MarkupTestAccess {
    static ULONG Reserved(const CMarkup& markup) { return markup.m_nReservedElements; }
    static ULONG Count(const CMarkup& markup) { return markup.m_nElements; }

    // `bound`: the text buffer holds at most this many units before its
    // final terminator.
    static void ExpectSound(CMarkup& markup, size_t bound) {
        const wchar_t* text = markup.m_pstrXML;
        ASSERT_NE(nullptr, text);
        ASSERT_GE(markup.m_nElements, 1u);
        ASSERT_LE(markup.m_nElements, markup.m_nReservedElements);
        ASSERT_LE(wcsnlen(text, bound + 1), bound);
        auto inside = [&](const wchar_t* p) {
            if (p < text || p > text + bound) return false;
            // Its terminator lies inside the buffer too.
            return p + wcsnlen(p, text + bound - p + 1) <= text + bound;
        };
        const tagXMLELEMENT* elements = markup.m_pElements;
        for (ULONG i = 1; i < markup.m_nElements; ++i) {
            const tagXMLELEMENT& e = elements[i];
            ASSERT_LE(e.iStart, bound);
            ASSERT_LE(e.iData, bound);
            // Document order: links point forward, parents backward.
            ASSERT_LT(e.iParent, i);
            ASSERT_TRUE(e.iChild == 0 || (e.iChild > i && e.iChild < markup.m_nElements));
            ASSERT_TRUE(e.iNext == 0 || (e.iNext > i && e.iNext < markup.m_nElements));
        }
        // Every element is reachable from the root, and everything a node
        // hands out stays inside the buffer.
        std::vector<CMarkupNode> pending;
        if (markup.m_nElements > 1) pending.push_back(markup.GetRoot());
        ULONG visited = 0;
        while (!pending.empty()) {
            CMarkupNode node = pending.back();
            pending.pop_back();
            ASSERT_TRUE(node.IsValid());
            ++visited;
            ASSERT_TRUE(inside(node.GetName()));
            ASSERT_TRUE(inside(node.GetValue()));
            int count = node.GetAttributeCount();
            ASSERT_LE(count, CMarkupNode::kMaxAttributes);
            for (int a = 0; a < count; ++a) {
                ASSERT_TRUE(inside(node.GetAttributeName(a)));
                ASSERT_TRUE(inside(node.GetAttributeValue(a)));
            }
            if (node.GetSibling().IsValid()) pending.push_back(node.GetSibling());
            if (node.GetChild().IsValid()) pending.push_back(node.GetChild());
        }
        ASSERT_EQ(markup.m_nElements - 1, visited);
    }
};

}  // namespace TarselUI

using namespace TarselUI;
using namespace markuptest;

namespace {

const wchar_t kSkin[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>\r\n"
    L"<Window size=\"400,260\" caption=\"0,0,0,32\" roundcorner=\"4,4\">\r\n"
    L"  <Font id=\"0\" name=\"微软雅黑\" size=\"12\" bold=\"false\"/>\r\n"
    L"  <!-- the body -->\r\n"
    L"  <VerticalLayout bkcolor=\"#FFF5F5F5\" inset=\"1,1,1,1\">\r\n"
    L"    <HorizontalLayout height=\"32\">\r\n"
    L"      <Label text=\"新版本 &amp; 更新 &lt;1.2&gt;\" textcolor=\"#FF333333\"/>\r\n"
    L"      <Button name=\"closebtn\" width=\"32\" normalimage=\"file='close.png' source='0,0,32,32'\"/>\r\n"
    L"    </HorizontalLayout>\r\n"
    L"    <Text name=\"desc\" multiline=\"true\">Line one &quot;quoted&quot; text</Text>\r\n"
    L"    <Control />\r\n"
    L"    <HorizontalLayout height=\"40\" childpadding=\"8\">\r\n"
    L"      <Button name=\"ok\" text=\"确定\" pos=\"0,0,80,30\"></Button>\r\n"
    L"      <Button name=\"cancel\" text=\"取消\"/>\r\n"
    L"    </HorizontalLayout>\r\n"
    L"  </VerticalLayout>\r\n"
    L"</Window>\r\n";

const wchar_t kSpecial[] = L"<>/\"=&!?- \t\r\n';:_a\x4E2D\xD800\xFFFD";
const wchar_t* const kFragments[] = {L"<!--", L"-->", L"&amp;", L"&", L"</", L"/>", L"\"", L"<?", L"?>",
                                     L"<a>", L"</a>", L"=\"", L"<Window>", L"</Window>"};

// One random change: a changed character, a cut, a duplicated piece, an
// inserted fragment or a truncation.
void Mutate(std::wstring& text, std::mt19937& rng) {
    if (text.empty()) {
        text = L"<";
        return;
    }
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    size_t at = pick(text.size());
    switch (pick(6)) {
        case 0:
            text[at] = kSpecial[pick(wcslen(kSpecial))];
            break;
        case 1:
            text[at] = static_cast<wchar_t>(text[at] ^ (1u << pick(16)));
            if (text[at] == L'\0') text[at] = L'\x01';
            break;
        case 2:
            text.erase(at, 1 + pick(16));
            break;
        case 3:
            text.insert(at, text.substr(pick(text.size()), 1 + pick(64)));
            break;
        case 4:
            text.insert(at, kFragments[pick(sizeof(kFragments) / sizeof(kFragments[0]))]);
            break;
        default:
            text.resize(at);
            break;
    }
}

void ExpectSoundResult(CMarkup& markup, bool loaded, size_t bound, const std::wstring& input) {
    if (loaded) {
        MarkupTestAccess::ExpectSound(markup, bound);
    } else {
        EXPECT_FALSE(ErrorMessage(markup).empty()) << input.substr(0, 200);
        EXPECT_FALSE(markup.IsValid());
        EXPECT_FALSE(markup.GetRoot().IsValid());
    }
}

// Bytes placed so that the first byte after them is a no-access page: any
// read past the end faults at once.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::string& bytes) {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        size_t page = info.dwPageSize;
        size_t dataPages = (bytes.size() + page - 1) / page + 1;
        size_ = (dataPages + 1) * page;
        base_ = static_cast<BYTE*>(::VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
        data_ = base_ + dataPages * page - bytes.size();
        memcpy(data_, bytes.data(), bytes.size());
        length_ = static_cast<DWORD>(bytes.size());
    }
    ~GuardedBytes() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const BYTE* data() const { return data_; }
    DWORD size() const { return length_; }

private:
    BYTE* base_ = nullptr;
    BYTE* data_ = nullptr;
    size_t size_ = 0;
    DWORD length_ = 0;
};

std::string ToUtf8(const std::wstring& text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

}  // namespace

TEST(MarkupCorruption, TheSampleSkinItselfParses) {
    CMarkup markup;
    ASSERT_TRUE(markup.Load(kSkin)) << ErrorMessage(markup);
    MarkupTestAccess::ExpectSound(markup, wcslen(kSkin));
    EXPECT_EQ(L"新版本 & 更新 <1.2>",
              Str(markup.GetRoot().GetChild(L"VerticalLayout").GetChild().GetChild().GetAttributeValue(L"text")));
}

TEST(MarkupCorruption, RandomTextDamageNeverBreaksTheParser) {
    int loadedCount = 0;
    int failedCount = 0;
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 rng(seed);
        for (int iteration = 0; iteration < 1500; ++iteration) {
            std::wstring text = kSkin;
            int changes = 1 + static_cast<int>(rng() % 6);
            for (int i = 0; i < changes; ++i) Mutate(text, rng);
            CMarkup markup;
            bool loaded = markup.Load(text.c_str());
            ++(loaded ? loadedCount : failedCount);
            ExpectSoundResult(markup, loaded, wcslen(text.c_str()), text);
            if (HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed << " iteration " << iteration;
                return;
            }
        }
    }
    // The damage must reach both outcomes, or the test proves little.
    EXPECT_GT(loadedCount, 500);
    EXPECT_GT(failedCount, 500);
}

TEST(MarkupCorruption, RandomByteDamageInEveryEncodingStaysInsideTheInput) {
    const std::string utf8 = ToUtf8(kSkin);
    // Most damage has no known outcome and is checked for soundness only.
    // Some has one: the text left whole parses (UTF-8); emptied, it parses
    // to nothing in every encoding (the end of the text ends the parse);
    // cut inside the root's first attribute value, it is refused (UTF-8).
    enum class Damage { kFlips, kWhole, kEmptied, kCutInValue };
    const size_t value = utf8.find("<Window size=\"");
    ASSERT_NE(std::string::npos, value);
    const size_t valueStart = value + std::strlen("<Window size=\"");
    int loadedCount = 0, refusedCount = 0, knownCount = 0;
    for (unsigned seed : {11u, 12u}) {
        std::mt19937 rng(seed);
        for (int iteration = 0; iteration < 600; ++iteration) {
            std::string bytes = utf8;
            const unsigned pick = rng() % 16;
            const Damage damage = pick == 0   ? Damage::kWhole
                                  : pick == 1 ? Damage::kEmptied
                                  : pick == 2 ? Damage::kCutInValue
                                              : Damage::kFlips;
            int encoding = static_cast<int>(rng() % 3);
            if (damage == Damage::kFlips) {
                int flips = 1 + static_cast<int>(rng() % 8);
                for (int i = 0; i < flips; ++i) {
                    size_t at = rng() % bytes.size();
                    bytes[at] = static_cast<char>(rng() % 3 == 0 ? "<>\"&/\0\xFF\xE4"[rng() % 8] : rng());
                }
                if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
            } else if (damage == Damage::kWhole) {
                encoding = MARKUP_ENCODING_UTF8;
            } else if (damage == Damage::kEmptied) {
                bytes.clear();
            } else {
                encoding = MARKUP_ENCODING_UTF8;
                bytes.resize(valueStart + rng() % 7);  // "400,260" is seven characters
            }
            if (encoding == MARKUP_ENCODING_UTF16) bytes.insert(0, rng() % 2 ? "\xFF\xFE" : "\xFE\xFF");
            GuardedBytes guarded(bytes);
            CMarkup markup;
            bool loaded = markup.LoadFromMem(guarded.data(), guarded.size(), encoding);
            size_t units = encoding == MARKUP_ENCODING_UTF16 ? bytes.size() / 2 - 1 : bytes.size();
            ExpectSoundResult(markup, loaded, units, L"(bytes)");
            if (damage == Damage::kFlips) {
                ++(loaded ? loadedCount : refusedCount);
            } else {
                ++knownCount;
                EXPECT_EQ(damage != Damage::kCutInValue, loaded)
                    << "seed " << seed << " iteration " << iteration << " encoding " << encoding << " "
                    << ErrorMessage(markup);
                EXPECT_EQ(damage == Damage::kWhole, markup.GetRoot().IsValid())
                    << "seed " << seed << " iteration " << iteration << " encoding " << encoding;
            }
            if (HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed << " iteration " << iteration;
                return;
            }
        }
    }
    // The damage must reach both outcomes, and the known cases must occur,
    // or the test proves little.
    EXPECT_GT(loadedCount, 50);
    EXPECT_GT(refusedCount, 50);
    EXPECT_GT(knownCount, 100);
}

TEST(MarkupCorruption, EveryTruncationFailsCleanlyOrParses) {
    const std::string utf8 = ToUtf8(kSkin);
    for (size_t cut = 0; cut <= utf8.size(); ++cut) {
        GuardedBytes guarded(utf8.substr(0, cut));
        CMarkup markup;
        bool loaded = markup.LoadFromMem(guarded.data(), guarded.size());
        ExpectSoundResult(markup, loaded, cut, L"(truncated)");
        if (HasFatalFailure()) {
            ADD_FAILURE() << "cut at " << cut;
            return;
        }
    }
}

TEST(MarkupCorruption, HostileSizes) {
    struct Case {
        const char* label;
        std::wstring xml;
        bool loads;
    } cases[] = {
        {"one long name", L"<" + std::wstring(1 << 20, L'n') + L"/>", true},
        {"one long value", L"<a v=\"" + std::wstring(1 << 20, L'&') + L"\"/>", true},
        {"unclosed long value", L"<a v=\"" + std::wstring(1 << 20, L'v'), false},
        {"unclosed long comment", L"<a><!--" + std::wstring(1 << 20, L'-'), true},
        {"many siblings", L"<r>" + [] {
             std::wstring s;
             for (int i = 0; i < 300000; ++i) s += L"<c/>";
             return s;
         }() + L"</r>", true},
        {"many attributes", L"<a" + [] {
             std::wstring s;
             for (int i = 0; i < 100000; ++i) s += L" k=\"v\"";
             return s;
         }() + L"/>", true},
        {"many entities", L"<a>" + [] {
             std::wstring s;
             for (int i = 0; i < 200000; ++i) s += L"&lt;";
             return s;
         }() + L"</a>", true},
        {"deep and unclosed", std::wstring(300000, L'<'), false},
    };
    for (auto& c : cases) {
        CMarkup markup;
        bool loaded = markup.Load(c.xml.c_str());
        EXPECT_EQ(c.loads, loaded) << c.label << " " << ErrorMessage(markup);
        ExpectSoundResult(markup, loaded, c.xml.size(), L"");
    }

    // A size that no buffer of 32-bit text could hold is refused before
    // anything is read.
    BYTE small[4] = {'<', 'a', '/', '>'};
    CMarkup markup;
    EXPECT_FALSE(markup.LoadFromMem(small, 0xFFFFFFF0u, MARKUP_ENCODING_UTF8));
    EXPECT_EQ(L"File too large", ErrorMessage(markup));
}

TEST(MarkupCorruption, ElementTableGrowsByHalfPlus500) {
    struct Case {
        int elements;
        ULONG reserved;
    } cases[] = {{1, 500}, {499, 500}, {500, 1250}, {1249, 1250}, {1250, 2375}};
    for (const auto& c : cases) {
        std::wstring xml = L"<r>";
        for (int i = 1; i < c.elements; ++i) xml += L"<c/>";
        xml += L"</r>";
        CMarkup markup;
        ASSERT_TRUE(markup.Load(xml.c_str()));
        EXPECT_EQ(static_cast<ULONG>(c.elements + 1), MarkupTestAccess::Count(markup));
        EXPECT_EQ(c.reserved, MarkupTestAccess::Reserved(markup)) << c.elements;
    }
}
