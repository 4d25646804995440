#include "ui/engine/markup/markup.h"
#include "ui/engine/markup/markup_scan.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace TarselUI {

namespace {

using markup::CopyCut;

// Text longer than this cannot be given a buffer of (units + 1) wide
// characters without overflowing a 32-bit size.
constexpr DWORD kMaxTextUnits = 0x3FFFFFFE;

LPWSTR AllocateText(DWORD units) {
    return static_cast<LPWSTR>(malloc((static_cast<size_t>(units) + 1) * sizeof(wchar_t)));
}

}  // namespace

CMarkup::CMarkup(LPCWSTR xml)
    : m_pstrXML(nullptr),
      m_pElements(nullptr),
      m_nElements(0),
      m_nReservedElements(0),
      m_bPreserveWhitespace(true) {
    ClearError();
    if (xml != nullptr) Load(xml);
}

CMarkup::~CMarkup() { Release(); }

void CMarkup::Release() {
    free(m_pstrXML);
    free(m_pElements);
    m_pstrXML = nullptr;
    m_pElements = nullptr;
    m_nElements = 0;
    m_nReservedElements = 0;
}

bool CMarkup::IsValid() const { return m_pElements != nullptr; }

void CMarkup::SetPreserveWhitespace(bool preserve) { m_bPreserveWhitespace = preserve; }

void CMarkup::ClearError() {
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
}

bool CMarkup::Fail(LPCWSTR message, LPCWSTR location) {
    CopyCut(m_szErrorMsg, kErrorMessageLength, message);
    CopyCut(m_szErrorXML, kErrorLocationLength, location != nullptr ? location : L"");
    return false;
}

void CMarkup::GetLastErrorMessage(LPWSTR buffer, SIZE_T length) const {
    CopyCut(buffer, length, m_szErrorMsg);
}

void CMarkup::GetLastErrorLocation(LPWSTR buffer, SIZE_T length) const {
    CopyCut(buffer, length, m_szErrorXML);
}

ULONG CMarkup::ReserveElement() {
    if (m_nElements == 0) m_nReservedElements = 0;
    if (m_nElements >= m_nReservedElements) {
        ULONG capacity = m_nReservedElements + m_nReservedElements / 2 + 500;
        if (capacity <= m_nReservedElements || capacity > SIZE_MAX / sizeof(tagXMLELEMENT)) return 0;
        auto* table = static_cast<tagXMLELEMENT*>(realloc(m_pElements, capacity * sizeof(tagXMLELEMENT)));
        if (table == nullptr) return 0;
        m_pElements = table;
        m_nReservedElements = capacity;
    }
    return m_nElements++;
}

bool CMarkup::ParseOwnedText(LPWSTR text) {
    m_pstrXML = text;
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CMarkup::Load(LPCWSTR xml) {
    Release();
    ClearError();
    if (xml == nullptr) return Fail(L"Expected start tag", nullptr);
    size_t units = wcslen(xml);
    if (units > kMaxTextUnits) return Fail(L"File too large", nullptr);
    LPWSTR text = AllocateText(static_cast<DWORD>(units));
    if (text == nullptr) return Fail(L"Out of memory", nullptr);
    wmemcpy(text, xml, units + 1);
    return ParseOwnedText(text);
}

bool CMarkup::LoadFromMem(const BYTE* bytes, DWORD size, int encoding) {
    Release();
    ClearError();
    if (bytes == nullptr) size = 0;
    LPWSTR text = nullptr;
    DWORD units = 0;
    if (encoding == MARKUP_ENCODING_UTF8 || encoding == MARKUP_ENCODING_ANSI) {
        UINT codePage = CP_ACP;
        if (encoding == MARKUP_ENCODING_UTF8) {
            codePage = CP_UTF8;
            if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
                bytes += 3;
                size -= 3;
            }
        }
        if (size > kMaxTextUnits) return Fail(L"File too large", nullptr);
        // Neither conversion makes more UTF-16 units than it reads bytes.
        text = AllocateText(size);
        if (text == nullptr) return Fail(L"Out of memory", nullptr);
        if (size > 0) {
            int converted = ::MultiByteToWideChar(codePage, 0, reinterpret_cast<LPCSTR>(bytes),
                                                  static_cast<int>(size), text, static_cast<int>(size));
            if (converted <= 0) {
                free(text);
                return Fail(L"Could not convert text", nullptr);
            }
            units = static_cast<DWORD>(converted);
        }
    } else {
        bool littleEndian = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
        bool bigEndian = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
        // Without a mark the byte order is a guess; refuse rather than
        // show the user garbage.
        if (!littleEndian && !bigEndian) return Fail(L"UTF-16 text without byte-order mark", nullptr);
        units = size / 2 - 1;
        if (units > kMaxTextUnits) return Fail(L"File too large", nullptr);
        text = AllocateText(units);
        if (text == nullptr) return Fail(L"Out of memory", nullptr);
        const BYTE* source = bytes + 2;
        // The caller's bytes stay as they were: swapping in place would make
        // a second load of the same buffer read the wrong byte order.
        for (DWORD i = 0; i < units; ++i) {
            BYTE first = source[2 * i];
            BYTE second = source[2 * i + 1];
            text[i] = littleEndian ? static_cast<wchar_t>(first | (second << 8))
                                   : static_cast<wchar_t>(second | (first << 8));
        }
    }
    text[units] = L'\0';
    return ParseOwnedText(text);
}

CMarkupNode CMarkup::GetRoot() {
    if (m_pElements == nullptr || m_nElements < 2) return CMarkupNode();
    return CMarkupNode(this, 1);
}

}  // namespace TarselUI
