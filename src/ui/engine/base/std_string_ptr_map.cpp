#include "ui/engine/base/std_string_ptr_map.h"

#include <cwchar>
#include <new>

namespace TarselUI {

CStdStringPtrMap::CStdStringPtrMap(int buckets) : m_aT(nullptr), m_nBuckets(0), m_nCount(0) {
    Resize(buckets);
}

CStdStringPtrMap::~CStdStringPtrMap() { FreeBuckets(); }

UINT CStdStringPtrMap::HashKey(LPCWSTR key) {
    if (key == nullptr) return 0;
    size_t length = wcslen(key);
    UINT hash = 0;
    while (length > 0) hash = hash * 33 + static_cast<UINT>(key[--length]);
    return hash;
}

void CStdStringPtrMap::FreeBuckets() {
    if (m_aT != nullptr) {
        for (int i = 0; i < m_nBuckets; ++i) {
            TITEM* item = m_aT[i];
            while (item != nullptr) {
                TITEM* next = item->pNext;
                delete item;  // the map owns its entries
                item = next;
            }
        }
        delete[] m_aT;
    }
    m_aT = nullptr;
    m_nBuckets = 0;
    m_nCount = 0;
}

void CStdStringPtrMap::Resize(int buckets) {
    FreeBuckets();
    if (buckets < kMinBuckets) buckets = kMinBuckets;
    m_aT = new (std::nothrow) TITEM*[buckets]();
    if (m_aT != nullptr) m_nBuckets = buckets;
}

void CStdStringPtrMap::RemoveAll() { Resize(m_nBuckets > 0 ? m_nBuckets : kMinBuckets); }

CStdStringPtrMap::TITEM* CStdStringPtrMap::FindItem(LPCWSTR key, UINT* bucket) const {
    if (m_nBuckets == 0) return nullptr;
    *bucket = HashKey(key) % static_cast<UINT>(m_nBuckets);
    if (key == nullptr) key = L"";
    for (TITEM* item = m_aT[*bucket]; item != nullptr; item = item->pNext) {
        if (item->Key == key) return item;
    }
    return nullptr;
}

void CStdStringPtrMap::Unlink(TITEM* item, UINT bucket) const {
    if (item->pPrev != nullptr) {
        item->pPrev->pNext = item->pNext;
    } else {
        m_aT[bucket] = item->pNext;
    }
    if (item->pNext != nullptr) item->pNext->pPrev = item->pPrev;
    item->pPrev = item->pNext = nullptr;
}

void CStdStringPtrMap::PushFront(TITEM* item, UINT bucket) const {
    item->pPrev = nullptr;
    item->pNext = m_aT[bucket];
    if (item->pNext != nullptr) item->pNext->pPrev = item;
    m_aT[bucket] = item;
}

LPVOID CStdStringPtrMap::Find(LPCWSTR key, bool optimize) const {
    UINT bucket = 0;
    TITEM* item = FindItem(key, &bucket);
    if (item == nullptr) return nullptr;
    if (optimize && m_aT[bucket] != item) {
        Unlink(item, bucket);
        PushFront(item, bucket);
    }
    return item->Data;
}

bool CStdStringPtrMap::Insert(LPCWSTR key, LPVOID data) {
    UINT bucket = 0;
    if (m_nBuckets == 0 || FindItem(key, &bucket) != nullptr) return false;
    TITEM* item = new (std::nothrow) TITEM{CUIString(key), data, nullptr, nullptr};
    if (item == nullptr) return false;
    PushFront(item, bucket);
    ++m_nCount;
    return true;
}

LPVOID CStdStringPtrMap::Set(LPCWSTR key, LPVOID data) {
    UINT bucket = 0;
    TITEM* item = FindItem(key, &bucket);
    if (item == nullptr) {
        Insert(key, data);
        return nullptr;
    }
    LPVOID old = item->Data;
    item->Data = data;
    return old;
}

bool CStdStringPtrMap::Remove(LPCWSTR key) {
    UINT bucket = 0;
    TITEM* item = FindItem(key, &bucket);
    if (item == nullptr) return false;
    Unlink(item, bucket);
    delete item;
    --m_nCount;
    return true;
}

LPCWSTR CStdStringPtrMap::GetAt(int index) const {
    if (index < 0 || index >= m_nCount) return nullptr;
    int position = 0;
    for (int bucket = m_nBuckets - 1; bucket >= 0; --bucket) {
        for (TITEM* item = m_aT[bucket]; item != nullptr; item = item->pNext) {
            if (position++ == index) return item->Key.GetData();
        }
    }
    return nullptr;
}

}  // namespace TarselUI
