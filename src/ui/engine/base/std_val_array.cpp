#include "ui/engine/base/std_val_array.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ui/engine/base/array_growth.h"

namespace TarselUI {

namespace {

bool StorageFits(int count, int elementSize) {
    return count >= 0 && elementSize > 0 &&
           static_cast<uint64_t>(count) * static_cast<uint64_t>(elementSize) < SIZE_MAX;
}

}  // namespace

CStdValArray::CStdValArray(int elementSize, int preallocSize)
    : m_pVoid(nullptr), m_iElementSize(elementSize), m_nCount(0), m_nAllocated(0) {
    if (preallocSize > 0 && StorageFits(preallocSize, elementSize)) {
        m_pVoid = static_cast<LPBYTE>(malloc(static_cast<size_t>(preallocSize) * elementSize));
        if (m_pVoid != nullptr) m_nAllocated = preallocSize;
    }
}

CStdValArray::CStdValArray(const CStdValArray& other) : CStdValArray(other.m_iElementSize) {
    *this = other;
}

CStdValArray& CStdValArray::operator=(const CStdValArray& other) {
    if (this == &other) return *this;
    free(m_pVoid);
    m_pVoid = nullptr;
    m_nCount = m_nAllocated = 0;
    m_iElementSize = other.m_iElementSize;
    if (other.m_nAllocated == 0) return *this;
    auto* storage = static_cast<LPBYTE>(malloc(static_cast<size_t>(other.m_nAllocated) * m_iElementSize));
    if (storage == nullptr) return *this;
    memcpy(storage, other.m_pVoid, static_cast<size_t>(other.m_nCount) * m_iElementSize);
    m_pVoid = storage;
    m_nCount = other.m_nCount;
    m_nAllocated = other.m_nAllocated;
    return *this;
}

CStdValArray::~CStdValArray() { free(m_pVoid); }

bool CStdValArray::MakeRoomFor(int count) {
    if (count < m_nAllocated) return true;
    int capacity = m_nAllocated;
    while (capacity <= count) {
        capacity = NextArrayCapacity(capacity);
        if (capacity == 0) return false;
    }
    if (!StorageFits(capacity, m_iElementSize)) return false;
    auto* storage = static_cast<LPBYTE>(realloc(m_pVoid, static_cast<size_t>(capacity) * m_iElementSize));
    if (storage == nullptr) return false;
    m_pVoid = storage;
    m_nAllocated = capacity;
    return true;
}

bool CStdValArray::Add(LPCVOID data) {
    if (data == nullptr || m_iElementSize <= 0) return false;
    if (!MakeRoomFor(m_nCount + 1)) return false;
    memcpy(m_pVoid + static_cast<size_t>(m_nCount) * m_iElementSize, data, m_iElementSize);
    ++m_nCount;
    return true;
}

bool CStdValArray::Remove(int index) {
    if (index < 0 || index >= m_nCount) return false;
    --m_nCount;
    if (index < m_nCount) {
        LPBYTE at = m_pVoid + static_cast<size_t>(index) * m_iElementSize;
        memmove(at, at + m_iElementSize, static_cast<size_t>(m_nCount - index) * m_iElementSize);
    }
    return true;
}

LPVOID CStdValArray::GetAt(int index) const {
    if (index < 0 || index >= m_nCount) return nullptr;
    return m_pVoid + static_cast<size_t>(index) * m_iElementSize;
}

}  // namespace TarselUI
