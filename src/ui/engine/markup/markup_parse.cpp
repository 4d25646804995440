// The grammar of skin markup. The parse walks the text once, rewriting it in
// place. It keeps no stack of its own: the element table's parent links say
// where to continue after a closing tag, so nesting depth costs nothing and
// a hostile document cannot exhaust the thread's stack.

#include <cwchar>

#include "ui/engine/markup/markup.h"
#include "ui/engine/markup/markup_scan.h"

namespace TarselUI {

namespace {

using markup::IsBlank;
using markup::SkipBlanks;
using markup::SkipName;

constexpr wchar_t kExpectedStartTag[] = L"Expected start tag";
constexpr wchar_t kErrorParsingElementName[] = L"Error parsing element name";
constexpr wchar_t kExpectedStartTagClosing[] = L"Expected start-tag closing";
constexpr wchar_t kExpectedEndTagStart[] = L"Expected end-tag start";
constexpr wchar_t kUnmatchedClosingTag[] = L"Unmatched closing tag";
constexpr wchar_t kErrorParsingAttributes[] = L"Error while parsing attributes";
constexpr wchar_t kExpectedAttributeValue[] = L"Expected attribute value";
constexpr wchar_t kErrorParsingAttributeString[] = L"Error while parsing attribute string";
constexpr wchar_t kOutOfMemory[] = L"Out of memory";

// Skips a processing instruction (`close` = '?') or comment (`close` = '-')
// up to and past the first `close` '>' pair, or to the end of the text.
wchar_t* SkipDeclaration(wchar_t* text, wchar_t close) {
    for (; *text != L'\0'; ++text) {
        if (*text == close && text[1] == L'>') return text + 2;
    }
    return text;
}

// Matches one of the five named entities at `text` (just after '&').
// Returns the character it stands for and sets `length` to the characters
// after '&' it spans; 0 when none matches. Each comparison stops at the
// first difference, so it never passes the text's terminator.
wchar_t MatchEntity(const wchar_t* text, int& length) {
    switch (text[0]) {
        case L'a':
            if (text[1] == L'm' && text[2] == L'p' && text[3] == L';') {
                length = 4;
                return L'&';
            }
            if (text[1] == L'p' && text[2] == L'o' && text[3] == L's' && text[4] == L';') {
                length = 5;
                return L'\'';
            }
            return L'\0';
        case L'l':
        case L'g':
            if (text[1] == L't' && text[2] == L';') {
                length = 3;
                return text[0] == L'l' ? L'<' : L'>';
            }
            return L'\0';
        case L'q':
            if (text[1] == L'u' && text[2] == L'o' && text[3] == L't' && text[4] == L';') {
                length = 5;
                return L'"';
            }
            return L'\0';
        default:
            return L'\0';
    }
}

// For each ASCII character, whether the fast scan of content (bit 0) or of
// an attribute value (bit 1) must stop at it: its end character, an entity,
// or the end of the text.
constexpr unsigned char kStopContent = 1;
constexpr unsigned char kStopValue = 2;
struct StopTable {
    unsigned char bits[128] = {};
    constexpr StopTable() {
        bits[0] = kStopContent | kStopValue;
        bits['&'] = kStopContent | kStopValue;
        bits['<'] = kStopContent;
        bits['"'] = kStopValue;
    }
};
constexpr StopTable kStops;

// Decodes text content (end '<') or an attribute value (end '"') in place
// from `text` until `end` or NUL. Returns the position of that character and
// sets `written` to the end of the decoded text. Where decoding shortened the
// text, the decoded text is NUL-terminated and the gap up to the end filled
// with spaces; otherwise the caller terminates it over the end character.
wchar_t* DecodeText(wchar_t* text, wchar_t end, bool preserveWhitespace, wchar_t*& written) {
    const unsigned char stop = end == L'<' ? kStopContent : kStopValue;
    auto isStop = [stop](wchar_t ch) { return ch < 128 && (kStops.bits[ch] & stop) != 0; };
    wchar_t* read = text;
    if (preserveWhitespace) {
        // Nothing changes before the first entity: skim to it. This loop
        // sees nearly every character of a skin.
        while (!isStop(*read)) ++read;
    }
    wchar_t* write = read;
    for (;;) {
        wchar_t ch = *read;
        if (ch == L'&') {
            int length = 0;
            wchar_t decoded = MatchEntity(read + 1, length);
            *write++ = decoded != L'\0' ? decoded : ch;
            read += decoded != L'\0' ? length + 1 : 1;
            continue;
        }
        if (ch == L'\0' || ch == end) break;
        if (preserveWhitespace) {
            // Copy the run up to the next entity or end.
            while (!isStop(*read)) *write++ = *read++;
            continue;
        }
        *write++ = *read++;
        if (ch == L' ') {
            while (IsBlank(*read)) ++read;
        }
    }
    if (write != read) {
        *write = L'\0';
        for (wchar_t* gap = write + 1; gap < read; ++gap) *gap = L' ';
    }
    written = write;
    return read;
}

}  // namespace

bool CMarkup::Parse() {
    ReserveElement();  // record 0, so that index 0 can mean "none"
    if (m_nElements != 1) return Fail(kOutOfMemory, nullptr);
    m_pElements[0] = tagXMLELEMENT{};

    wchar_t* const base = m_pstrXML;
    wchar_t* text = base;
    ULONG parent = 0;
    ULONG previous = 0;
    for (;;) {
        text = SkipBlanks(text);
        if (*text == L'\0') {
            // Missing closing tags of the root and its children are tolerated.
            if (parent > 1) return Fail(kExpectedStartTag, text);
            break;
        }
        if (*text != L'<') return Fail(kExpectedStartTag, text);
        if (text[1] == L'/') {
            // A closing tag at the top level ends the document.
            if (parent == 0) break;
            if (!CloseElement(parent, text)) return false;
            previous = parent;
            parent = m_pElements[parent].iParent;
            continue;
        }
        *text++ = L'\0';
        text = SkipBlanks(text);
        if (*text == L'!' || *text == L'?') {
            text = SkipDeclaration(text, *text == L'!' ? L'-' : L'?');
            continue;
        }

        ULONG index = ReserveElement();
        if (index == 0) return Fail(kOutOfMemory, nullptr);
        m_pElements[index] = tagXMLELEMENT{static_cast<ULONG>(text - base), 0, 0, parent, 0};
        if (previous != 0) {
            m_pElements[previous].iNext = index;
        } else if (parent != 0) {
            m_pElements[parent].iChild = index;
        }
        previous = index;

        wchar_t* nameEnd = SkipName(text);
        text = nameEnd;
        if (*text == L'\0') return Fail(kErrorParsingElementName, text);
        if (!ParseAttributes(text)) return false;
        text = SkipBlanks(text);
        if (text[0] == L'/' && text[1] == L'>') {
            m_pElements[index].iData = static_cast<ULONG>(text - base);
            *text = L'\0';
            *nameEnd = L'\0';
            text += 2;
            continue;
        }
        if (*text != L'>') return Fail(kExpectedStartTagClosing, text);
        ++text;
        m_pElements[index].iData = static_cast<ULONG>(text - base);
        // The name may end right at the '>' just stepped over; nothing reads
        // that character again, so the name is terminated now.
        *nameEnd = L'\0';
        wchar_t* written = nullptr;
        text = DecodeText(text, L'<', m_bPreserveWhitespace, written);
        if (*text == L'\0') {
            if (parent > 1) return Fail(kExpectedEndTagStart, text);
            break;
        }
        // Children or the closing tag follow; both are handled one level down.
        parent = index;
        previous = 0;
    }

    // A text without elements (blank, or only a declaration) loads as an
    // empty document whose root is an empty node.
    return true;
}

bool CMarkup::ParseAttributes(LPWSTR& text) {
    // '/' too: "<Control/>" is an empty element.
    if (*text == L'>' || *text == L'/') return true;
    *text++ = L'\0';  // ends the element name
    text = SkipBlanks(text);
    while (*text != L'\0' && *text != L'>' && *text != L'/') {
        wchar_t* nameEnd = SkipName(text);
        text = SkipBlanks(nameEnd);
        if (*text != L'=') return Fail(kErrorParsingAttributes, text);
        *text++ = L' ';
        *nameEnd = L'\0';
        text = SkipBlanks(text);
        if (*text != L'"') {
            // The location starts after the offending character, unless
            // that is the end of the text.
            return Fail(kExpectedAttributeValue, *text != L'\0' ? text + 1 : text);
        }
        ++text;
        wchar_t* written = nullptr;
        text = DecodeText(text, L'"', m_bPreserveWhitespace, written);
        if (*text == L'\0') return Fail(kErrorParsingAttributeString, text);
        *text = written == text ? L'\0' : L' ';
        text = SkipBlanks(text + 1);
    }
    return true;
}

bool CMarkup::CloseElement(ULONG index, LPWSTR& text) {
    *text = L'\0';  // the content before it is already terminated
    text = SkipBlanks(text + 2);
    const wchar_t* name = m_pstrXML + m_pElements[index].iStart;
    wchar_t* closing = text;
    while (*name != L'\0') {
        if (*closing != *name) return Fail(kUnmatchedClosingTag, text);
        ++closing;
        ++name;
    }
    text = SkipBlanks(closing);
    if (*text != L'>') return Fail(kUnmatchedClosingTag, text);
    ++text;
    return true;
}

}  // namespace TarselUI
