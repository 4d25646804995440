#include <cwchar>

#include "ui/engine/markup/markup.h"
#include "ui/engine/markup/markup_scan.h"

namespace TarselUI {

CMarkupNode::CMarkupNode() : m_iPos(0), m_nAttributes(0), m_pOwner(nullptr) {}

CMarkupNode::CMarkupNode(CMarkup* owner, int pos) : m_iPos(pos), m_nAttributes(0), m_pOwner(owner) {}

const tagXMLELEMENT* CMarkupNode::Element() const {
    // An index the owner does not hold (it was released or reloaded with a
    // smaller document) reads as an empty node rather than stray memory.
    if (m_pOwner == nullptr || m_pOwner->m_pElements == nullptr || m_iPos <= 0 ||
        static_cast<ULONG>(m_iPos) >= m_pOwner->m_nElements) {
        return nullptr;
    }
    return &m_pOwner->m_pElements[m_iPos];
}

CMarkupNode CMarkupNode::NodeAt(ULONG index) const {
    if (index == 0) return CMarkupNode();
    return CMarkupNode(m_pOwner, static_cast<int>(index));
}

bool CMarkupNode::IsValid() const { return Element() != nullptr; }

LPCWSTR CMarkupNode::GetName() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr ? m_pOwner->m_pstrXML + element->iStart : nullptr;
}

LPCWSTR CMarkupNode::GetValue() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr ? m_pOwner->m_pstrXML + element->iData : nullptr;
}

CMarkupNode CMarkupNode::GetParent() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr ? NodeAt(element->iParent) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetSibling() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr ? NodeAt(element->iNext) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetChild() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr ? NodeAt(element->iChild) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetChild(LPCWSTR name) const {
    const tagXMLELEMENT* element = Element();
    if (element == nullptr || name == nullptr) return CMarkupNode();
    const tagXMLELEMENT* elements = m_pOwner->m_pElements;
    for (ULONG child = element->iChild; child != 0; child = elements[child].iNext) {
        if (wcscmp(m_pOwner->m_pstrXML + elements[child].iStart, name) == 0) return NodeAt(child);
    }
    return CMarkupNode();
}

bool CMarkupNode::HasChildren() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr && element->iChild != 0;
}

bool CMarkupNode::HasSiblings() const {
    const tagXMLELEMENT* element = Element();
    return element != nullptr && element->iNext != 0;
}

void CMarkupNode::MapAttributes() const {
    const tagXMLELEMENT* element = Element();
    m_nAttributes = 0;
    if (element == nullptr) return;
    const wchar_t* text = m_pOwner->m_pstrXML;
    const ULONG data = element->iData;
    // The parse left "name\0" then, per attribute, blanks, "name\0", blanks,
    // '"', "value\0"; the walk stops at the first thing that is not that.
    ULONG pos = element->iStart;
    pos += static_cast<ULONG>(wcslen(text + pos)) + 1;
    while (pos < data) {
        pos = static_cast<ULONG>(markup::SkipBlanks(text + pos) - text);
        // '>' closes the tag; a name never starts with it.
        if (text[pos] == L'>') break;
        ULONG name = pos;
        pos += static_cast<ULONG>(wcslen(text + pos)) + 1;
        if (pos >= data) break;
        pos = static_cast<ULONG>(markup::SkipBlanks(text + pos) - text);
        if (text[pos] != L'"') break;
        ++pos;
        m_aAttributes[m_nAttributes].iName = name;
        m_aAttributes[m_nAttributes].iValue = pos;
        if (++m_nAttributes == kMaxAttributes) break;
        pos += static_cast<ULONG>(wcslen(text + pos)) + 1;
    }
}

int CMarkupNode::GetAttributeCount() const {
    if (m_nAttributes == 0) MapAttributes();
    return m_nAttributes;
}

bool CMarkupNode::HasAttributes() const { return GetAttributeCount() > 0; }

LPCWSTR CMarkupNode::GetAttributeName(int index) const {
    if (!IsValid()) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_pOwner->m_pstrXML + m_aAttributes[index].iName;
}

LPCWSTR CMarkupNode::GetAttributeValue(int index) const {
    if (!IsValid()) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

LPCWSTR CMarkupNode::GetAttributeValue(LPCWSTR name) const {
    if (!IsValid()) return nullptr;
    if (name != nullptr) {
        int count = GetAttributeCount();
        for (int i = 0; i < count; ++i) {
            if (wcscmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) == 0) {
                return m_pOwner->m_pstrXML + m_aAttributes[i].iValue;
            }
        }
    }
    return L"";
}

bool CMarkupNode::HasAttribute(LPCWSTR name) const {
    if (!IsValid() || name == nullptr) return false;
    int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (wcscmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) == 0) return true;
    }
    return false;
}

bool CMarkupNode::GetAttributeValue(int index, LPWSTR buffer, SIZE_T length) const {
    if (!IsValid() || index < 0 || index >= GetAttributeCount() || buffer == nullptr || length == 0) {
        return false;
    }
    markup::CopyCut(buffer, length, m_pOwner->m_pstrXML + m_aAttributes[index].iValue);
    return true;
}

bool CMarkupNode::GetAttributeValue(LPCWSTR name, LPWSTR buffer, SIZE_T length) const {
    if (!HasAttribute(name) || buffer == nullptr || length == 0) return false;
    markup::CopyCut(buffer, length, GetAttributeValue(name));
    return true;
}

}  // namespace TarselUI
