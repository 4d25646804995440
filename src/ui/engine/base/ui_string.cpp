#include "ui/engine/base/ui_string.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace TarselUI {

namespace {

int TextLength(LPCWSTR text, int limit) {
    if (text == nullptr) return 0;
    if (limit < 0) return static_cast<int>(wcslen(text));
    int length = 0;
    while (length < limit && text[length] != L'\0') ++length;
    return length;
}

}  // namespace

CUIString::CUIString() : m_pstr(m_szBuffer), m_nLength(0) { m_szBuffer[0] = L'\0'; }

CUIString::CUIString(wchar_t ch) : CUIString() {
    if (ch != L'\0') Assign(&ch, 1);
}

CUIString::CUIString(LPCWSTR text, int length) : CUIString() { Assign(text, length); }

CUIString::CUIString(const CUIString& other) : CUIString() {
    Assign(other.m_pstr, other.m_nLength);
}

CUIString::~CUIString() {
    if (!IsInline()) free(m_pstr);
}

CUIString& CUIString::operator=(const CUIString& other) {
    if (this != &other) Assign(other.m_pstr, other.m_nLength);
    return *this;
}

CUIString& CUIString::operator=(LPCWSTR text) {
    Assign(text);
    return *this;
}

CUIString& CUIString::operator=(wchar_t ch) {
    Empty();
    if (ch != L'\0') Assign(&ch, 1);
    return *this;
}

bool CUIString::Reserve(int length) {
    if (length < kInlineLength) {
        if (!IsInline()) {
            int keep = m_nLength < length ? m_nLength : length;
            wmemcpy(m_szBuffer, m_pstr, keep);
            m_szBuffer[keep] = L'\0';
            free(m_pstr);
            m_pstr = m_szBuffer;
            if (m_nLength > keep) m_nLength = keep;
        }
        return true;
    }
    size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    if (IsInline()) {
        auto* heap = static_cast<LPWSTR>(malloc(bytes));
        if (heap == nullptr) return false;
        wmemcpy(heap, m_szBuffer, m_nLength + 1);
        m_pstr = heap;
    } else {
        auto* heap = static_cast<LPWSTR>(realloc(m_pstr, bytes));
        if (heap == nullptr) return false;
        m_pstr = heap;
    }
    return true;
}

void CUIString::Assign(LPCWSTR text, int length) {
    // A piece of this very string must be copied out before the storage
    // moves under it.
    if (text != nullptr && text >= m_pstr && text <= m_pstr + m_nLength && text != m_pstr) {
        CUIString copy(text, length);
        Assign(copy.m_pstr, copy.m_nLength);
        return;
    }
    int count = TextLength(text, length);
    if (text == m_pstr) {  // a prefix of itself: only the end moves
        if (count < m_nLength) {
            m_nLength = count;
            m_pstr[count] = L'\0';
            Reserve(count);
        }
        return;
    }
    if (!Reserve(count)) return;
    if (count > 0) wmemcpy(m_pstr, text, count);
    m_pstr[count] = L'\0';
    m_nLength = count;
}

void CUIString::Append(LPCWSTR text) {
    if (text == nullptr || *text == L'\0') return;
    if (text >= m_pstr && text <= m_pstr + m_nLength) {
        CUIString copy(text);
        Append(copy.m_pstr);
        return;
    }
    size_t count = wcslen(text);
    if (count > static_cast<size_t>(INT_MAX - 1 - m_nLength)) return;
    int newLength = m_nLength + static_cast<int>(count);
    if (!Reserve(newLength)) return;
    wmemcpy(m_pstr + m_nLength, text, count);
    m_nLength = newLength;
    m_pstr[m_nLength] = L'\0';
}

CUIString& CUIString::operator+=(const CUIString& other) {
    Append(other.m_pstr);
    return *this;
}

CUIString& CUIString::operator+=(LPCWSTR text) {
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(wchar_t ch) {
    wchar_t text[2] = {ch, L'\0'};
    Append(text);
    return *this;
}

CUIString CUIString::operator+(const CUIString& other) const {
    CUIString result(*this);
    result.Append(other.m_pstr);
    return result;
}

CUIString CUIString::operator+(LPCWSTR text) const {
    CUIString result(*this);
    result.Append(text);
    return result;
}

void CUIString::Empty() {
    if (!IsInline()) free(m_pstr);
    m_pstr = m_szBuffer;
    m_szBuffer[0] = L'\0';
    m_nLength = 0;
}

wchar_t CUIString::GetAt(int index) const {
    if (index < 0 || index >= m_nLength) return L'\0';
    return m_pstr[index];
}

void CUIString::SetAt(int index, wchar_t ch) {
    // Writing NUL would leave the stored length wrong, so it cuts the text.
    if (index < 0 || index >= m_nLength) return;
    if (ch == L'\0') {
        Assign(m_pstr, index);
        return;
    }
    m_pstr[index] = ch;
}

int CUIString::Compare(LPCWSTR text) const {
    return wcscmp(m_pstr, text != nullptr ? text : L"");
}

int CUIString::CompareNoCase(LPCWSTR text) const {
    if (text == nullptr) text = L"";
    int result = ::CompareStringOrdinal(m_pstr, m_nLength, text, -1, TRUE);
    return result == 0 ? Compare(text) : result - CSTR_EQUAL;
}

void CUIString::MakeUpper() {
    if (m_nLength > 0) ::CharUpperBuffW(m_pstr, static_cast<DWORD>(m_nLength));
}

void CUIString::MakeLower() {
    if (m_nLength > 0) ::CharLowerBuffW(m_pstr, static_cast<DWORD>(m_nLength));
}

CUIString CUIString::Left(int length) const {
    if (length < 0) length = 0;
    if (length > m_nLength) length = m_nLength;
    return CUIString(m_pstr, length);
}

CUIString CUIString::Mid(int start, int length) const {
    if (start < 0) start = 0;
    if (start > m_nLength) start = m_nLength;
    int rest = m_nLength - start;
    if (length < 0 || length > rest) length = rest;
    return CUIString(m_pstr + start, length);
}

CUIString CUIString::Right(int length) const {
    if (length < 0) length = 0;
    if (length > m_nLength) length = m_nLength;
    return CUIString(m_pstr + m_nLength - length, length);
}

int CUIString::Find(wchar_t ch, int start) const {
    if (start < 0 || start >= m_nLength) return -1;
    const wchar_t* found = wmemchr(m_pstr + start, ch, m_nLength - start);
    return found == nullptr ? -1 : static_cast<int>(found - m_pstr);
}

int CUIString::Find(LPCWSTR text, int start) const {
    if (text == nullptr || start < 0 || start > m_nLength) return -1;
    const wchar_t* found = wcsstr(m_pstr + start, text);
    return found == nullptr ? -1 : static_cast<int>(found - m_pstr);
}

int CUIString::ReverseFind(wchar_t ch) const {
    if (ch == L'\0') return -1;
    const wchar_t* found = wcsrchr(m_pstr, ch);
    return found == nullptr ? -1 : static_cast<int>(found - m_pstr);
}

int CUIString::Replace(LPCWSTR from, LPCWSTR to) {
    if (from == nullptr || *from == L'\0') return 0;
    if (to == nullptr) to = L"";
    const int fromLength = static_cast<int>(wcslen(from));
    CUIString result;
    int count = 0;
    int copied = 0;
    for (int at = Find(from, 0); at >= 0; at = Find(from, at + fromLength)) {
        result += Mid(copied, at - copied);
        result += to;
        copied = at + fromLength;
        ++count;
    }
    if (count > 0) {
        result += m_pstr + copied;
        *this = result;
    }
    return count;
}

int CUIString::FormatV(LPCWSTR format, va_list args) {
    if (format == nullptr) {
        Empty();
        return 0;
    }
    va_list measure;
    va_copy(measure, args);
    int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0) {
        Empty();
        return 0;
    }
    Empty();
    if (!Reserve(length)) return 0;
    _vsnwprintf(m_pstr, static_cast<size_t>(length) + 1, format, args);
    m_pstr[length] = L'\0';
    m_nLength = length;
    return length;
}

int CUIString::Format(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int length = FormatV(format, args);
    va_end(args);
    return length;
}

int CUIString::SmallFormat(LPCWSTR format, ...) {
    constexpr int kSmallBuffer = 64;
    wchar_t buffer[kSmallBuffer] = {};
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        // On overflow the runtime fills the buffer without a terminator.
        _vsnwprintf(buffer, kSmallBuffer - 1, format, args);
        va_end(args);
    }
    buffer[kSmallBuffer - 1] = L'\0';
    Assign(buffer);
    return m_nLength;
}

}  // namespace TarselUI
