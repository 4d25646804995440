#pragma once
// The engine's UTF-16 string: a value type whose short texts live inside the
// object, so the many names, attribute values and captions the engine keeps
// cost no heap allocation.

#include <windows.h>

#include <cstdarg>

namespace TarselUI {

class CUIString {
public:
    // Texts shorter than this stay in the inline buffer; longer ones move to
    // the heap.
    static constexpr int kInlineLength = 512;

    CUIString();
    CUIString(wchar_t ch);
    CUIString(LPCWSTR text, int length = -1);
    CUIString(const CUIString& other);
    ~CUIString();

    CUIString& operator=(const CUIString& other);
    CUIString& operator=(LPCWSTR text);
    CUIString& operator=(wchar_t ch);

    // Replaces the content with the first `length` characters of `text`
    // (all of it when negative or longer than the text).
    void Assign(LPCWSTR text, int length = -1);
    void Append(LPCWSTR text);

    CUIString& operator+=(const CUIString& other);
    CUIString& operator+=(LPCWSTR text);
    CUIString& operator+=(wchar_t ch);
    CUIString operator+(const CUIString& other) const;
    CUIString operator+(LPCWSTR text) const;

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty();
    LPCWSTR GetData() const { return m_pstr; }
    operator LPCWSTR() const { return m_pstr; }

    // Out-of-range indexes read as NUL and are ignored when writing.
    wchar_t GetAt(int index) const;
    void SetAt(int index, wchar_t ch);
    wchar_t operator[](int index) const { return GetAt(index); }

    // Exact (ordinal) and case-insensitive comparisons; <0, 0 or >0.
    int Compare(LPCWSTR text) const;
    int CompareNoCase(LPCWSTR text) const;
    bool operator==(LPCWSTR text) const { return Compare(text) == 0; }
    bool operator!=(LPCWSTR text) const { return Compare(text) != 0; }
    bool operator<(LPCWSTR text) const { return Compare(text) < 0; }
    bool operator<=(LPCWSTR text) const { return Compare(text) <= 0; }
    bool operator>(LPCWSTR text) const { return Compare(text) > 0; }
    bool operator>=(LPCWSTR text) const { return Compare(text) >= 0; }

    void MakeUpper();
    void MakeLower();

    CUIString Left(int length) const;
    CUIString Mid(int start, int length = -1) const;
    CUIString Right(int length) const;

    // Index of the first occurrence at or after `start`; -1 when absent or
    // when `start` lies outside the text.
    int Find(wchar_t ch, int start = 0) const;
    int Find(LPCWSTR text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    // Replaces every occurrence of `from`; returns how many were replaced.
    int Replace(LPCWSTR from, LPCWSTR to);

    // printf-style formatting (%s takes a wide string); any length.
    int Format(LPCWSTR format, ...);
    // The same into a 64-character buffer; a longer result is cut.
    int SmallFormat(LPCWSTR format, ...);

private:
    bool IsInline() const { return m_pstr == m_szBuffer; }
    // Makes room for `length` characters plus a terminator, keeping the
    // current content; false (and nothing changed) when memory runs out.
    bool Reserve(int length);
    int FormatV(LPCWSTR format, va_list args);

    LPWSTR m_pstr;
    int m_nLength;
    wchar_t m_szBuffer[kInlineLength + 1];
};

inline CUIString operator+(LPCWSTR left, const CUIString& right) {
    return CUIString(left) + right;
}

}  // namespace TarselUI
