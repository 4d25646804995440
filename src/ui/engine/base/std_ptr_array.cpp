#include "ui/engine/base/std_ptr_array.h"

#include <cstdlib>
#include <cstring>

#include "ui/engine/base/array_growth.h"

namespace TarselUI {

CStdPtrArray::CStdPtrArray(int preallocSize) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
    if (preallocSize > 0 && static_cast<size_t>(preallocSize) < SIZE_MAX / sizeof(LPVOID)) {
        m_ppVoid = static_cast<LPVOID*>(malloc(preallocSize * sizeof(LPVOID)));
        if (m_ppVoid != nullptr) m_nAllocated = preallocSize;
    }
}

CStdPtrArray::CStdPtrArray(const CStdPtrArray& other) : CStdPtrArray() { *this = other; }

CStdPtrArray& CStdPtrArray::operator=(const CStdPtrArray& other) {
    if (this == &other) return *this;
    Empty();
    if (other.m_nCount == 0) return *this;
    auto* storage = static_cast<LPVOID*>(malloc(other.m_nAllocated * sizeof(LPVOID)));
    if (storage == nullptr) return *this;
    memcpy(storage, other.m_ppVoid, other.m_nCount * sizeof(LPVOID));
    m_ppVoid = storage;
    m_nCount = other.m_nCount;
    m_nAllocated = other.m_nAllocated;
    return *this;
}

CStdPtrArray::~CStdPtrArray() { free(m_ppVoid); }

void CStdPtrArray::Empty() {
    free(m_ppVoid);
    m_ppVoid = nullptr;
    m_nCount = m_nAllocated = 0;
}

bool CStdPtrArray::Resize(int size) {
    Empty();
    if (size <= 0) return size == 0;
    if (static_cast<size_t>(size) >= SIZE_MAX / sizeof(LPVOID)) return false;
    m_ppVoid = static_cast<LPVOID*>(calloc(size, sizeof(LPVOID)));
    if (m_ppVoid == nullptr) return false;
    m_nCount = m_nAllocated = size;
    return true;
}

bool CStdPtrArray::MakeRoomFor(int count) {
    if (count < m_nAllocated) return true;
    int capacity = m_nAllocated;
    while (capacity <= count) {
        capacity = NextArrayCapacity(capacity);
        if (capacity == 0) return false;
    }
    if (static_cast<size_t>(capacity) >= SIZE_MAX / sizeof(LPVOID)) return false;
    auto* storage = static_cast<LPVOID*>(realloc(m_ppVoid, capacity * sizeof(LPVOID)));
    if (storage == nullptr) return false;
    m_ppVoid = storage;
    m_nAllocated = capacity;
    return true;
}

bool CStdPtrArray::Add(LPVOID item) {
    if (!MakeRoomFor(m_nCount + 1)) return false;
    m_ppVoid[m_nCount++] = item;
    return true;
}

bool CStdPtrArray::InsertAt(int index, LPVOID item) {
    if (index == m_nCount) return Add(item);
    if (index < 0 || index > m_nCount) return false;
    if (!MakeRoomFor(m_nCount + 1)) return false;
    memmove(&m_ppVoid[index + 1], &m_ppVoid[index], (m_nCount - index) * sizeof(LPVOID));
    m_ppVoid[index] = item;
    ++m_nCount;
    return true;
}

bool CStdPtrArray::SetAt(int index, LPVOID item) {
    if (index < 0 || index >= m_nCount) return false;
    m_ppVoid[index] = item;
    return true;
}

bool CStdPtrArray::Remove(int index) {
    if (index < 0 || index >= m_nCount) return false;
    --m_nCount;
    if (index < m_nCount) {
        memmove(&m_ppVoid[index], &m_ppVoid[index + 1], (m_nCount - index) * sizeof(LPVOID));
    }
    return true;
}

int CStdPtrArray::Find(LPVOID item) const {
    for (int i = 0; i < m_nCount; ++i) {
        if (m_ppVoid[i] == item) return i;
    }
    return -1;
}

LPVOID CStdPtrArray::GetAt(int index) const {
    if (index < 0 || index >= m_nCount) return nullptr;
    return m_ppVoid[index];
}

}  // namespace TarselUI
