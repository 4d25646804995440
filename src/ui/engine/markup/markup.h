#pragma once
// The engine's small XML reader for skin markup. A document is held as one
// UTF-16 buffer that parsing rewrites in place (names and values are
// NUL-terminated where they stand) plus one table of element records that
// refer into it by offset; nothing else is allocated per element or
// attribute. CMarkupNode is a cheap cursor onto one element.

#include <windows.h>

namespace TarselUI {

class CMarkup;
class CSkinSources;

// Encodings LoadFromMem and LoadFromFile understand.
enum MarkupEncoding {
    MARKUP_ENCODING_UTF8 = 0,
    MARKUP_ENCODING_UTF16 = 1,  // needs a byte-order mark
    MARKUP_ENCODING_ANSI = 2,
};

struct tagXMLELEMENT {
    ULONG iStart;   // offset of the name
    ULONG iChild;   // first child, 0 for none
    ULONG iNext;    // next sibling, 0 for none
    ULONG iParent;  // 0 for a top-level element
    ULONG iData;    // offset of the text content
};

class CMarkupNode {
public:
    // At most this many attributes of an element can be read.
    static constexpr int kMaxAttributes = 64;

    CMarkupNode();  // an empty node

    bool IsValid() const;
    LPCWSTR GetName() const;
    LPCWSTR GetValue() const;

    CMarkupNode GetParent() const;
    CMarkupNode GetSibling() const;
    CMarkupNode GetChild() const;
    // The first child named exactly `name` (case-sensitive).
    CMarkupNode GetChild(LPCWSTR name) const;
    bool HasChildren() const;
    bool HasSiblings() const;

    // Attribute positions are found on first use and kept in the node.
    bool HasAttributes() const;
    bool HasAttribute(LPCWSTR name) const;
    int GetAttributeCount() const;
    // "" when the index is out of range or no attribute has that name; the
    // first of several attributes with the same name wins.
    LPCWSTR GetAttributeName(int index) const;
    LPCWSTR GetAttributeValue(int index) const;
    LPCWSTR GetAttributeValue(LPCWSTR name) const;
    // Copy the value into `buffer`, cut to length - 1 characters and always
    // NUL-terminated; false when there is no such attribute.
    bool GetAttributeValue(int index, LPWSTR buffer, SIZE_T length) const;
    bool GetAttributeValue(LPCWSTR name, LPWSTR buffer, SIZE_T length) const;

private:
    friend class CMarkup;
    CMarkupNode(CMarkup* owner, int pos);

    struct XMLATTRIBUTE {
        ULONG iName;
        ULONG iValue;
    };

    const tagXMLELEMENT* Element() const;
    CMarkupNode NodeAt(ULONG index) const;
    void MapAttributes() const;

    int m_iPos;
    mutable int m_nAttributes;
    mutable XMLATTRIBUTE m_aAttributes[kMaxAttributes];
    CMarkup* m_pOwner;
};

class CMarkup {
public:
    explicit CMarkup(LPCWSTR xml = nullptr);
    ~CMarkup();
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;

    // Every load starts by releasing the previous document; a failed load
    // leaves the markup empty with its error message and location set.
    bool Load(LPCWSTR xml);
    // The bytes are only read. UTF-16 needs its byte-order mark.
    bool LoadFromMem(const BYTE* bytes, DWORD size, int encoding = MARKUP_ENCODING_UTF8);
    // `fileName` is relative to the skin sources' folder, or an entry of
    // their archive when one is set; without sources, the shared ones (the
    // paint manager's resource settings).
    bool LoadFromFile(LPCWSTR fileName, int encoding = MARKUP_ENCODING_UTF8);
    bool LoadFromFile(const CSkinSources& sources, LPCWSTR fileName, int encoding = MARKUP_ENCODING_UTF8);
    void Release();
    bool IsValid() const;

    // Whether runs of whitespace after a space are kept; applies to the
    // next load.
    void SetPreserveWhitespace(bool preserve = true);

    // Copy at most length - 1 characters, always NUL-terminated.
    void GetLastErrorMessage(LPWSTR buffer, SIZE_T length) const;
    void GetLastErrorLocation(LPWSTR buffer, SIZE_T length) const;

    CMarkupNode GetRoot();

    // Largest file or archive entry LoadFromFile accepts.
    static constexpr DWORD kMaxFileSize = 4 * 1024 * 1024;

private:
    friend class CMarkupNode;
    friend struct MarkupTestAccess;  // lets tests check the parse's invariants

    static constexpr int kErrorMessageLength = 100;
    static constexpr int kErrorLocationLength = 50;

    bool Parse();
    bool ParseAttributes(LPWSTR& text);
    bool CloseElement(ULONG index, LPWSTR& text);
    // Adds a record and returns its index; 0 when memory runs out.
    ULONG ReserveElement();
    // Stores the error and returns false. `location` may be null.
    bool Fail(LPCWSTR message, LPCWSTR location);
    void ClearError();
    // Takes ownership of a malloc'ed, NUL-terminated buffer and parses it.
    bool ParseOwnedText(LPWSTR text);

    LPWSTR m_pstrXML;
    tagXMLELEMENT* m_pElements;
    ULONG m_nElements;
    ULONG m_nReservedElements;
    wchar_t m_szErrorMsg[kErrorMessageLength];
    wchar_t m_szErrorXML[kErrorLocationLength];
    bool m_bPreserveWhitespace;
};

}  // namespace TarselUI
