#pragma once
// A hash map from exact string keys to untyped pointers, which it does not
// own. Each bucket is a doubly linked chain; new entries go to the front.

#include <windows.h>

#include "ui/engine/base/ui_string.h"

namespace TarselUI {

class CStdStringPtrMap {
public:
    static constexpr int kMinBuckets = 16;

    // Fewer than kMinBuckets buckets are raised to kMinBuckets.
    explicit CStdStringPtrMap(int buckets = 83);
    ~CStdStringPtrMap();
    CStdStringPtrMap(const CStdStringPtrMap&) = delete;
    CStdStringPtrMap& operator=(const CStdStringPtrMap&) = delete;

    // Drops every entry and starts over with `buckets` buckets.
    void Resize(int buckets = 83);
    void RemoveAll();

    // With `optimize`, a found entry moves to the front of its chain, so
    // names asked for again and again are found first.
    LPVOID Find(LPCWSTR key, bool optimize = true) const;
    // False, leaving the old value, when the key is present already.
    bool Insert(LPCWSTR key, LPVOID data);
    // Replaces the value of a present key and returns the old one; inserts
    // (and returns null) otherwise.
    LPVOID Set(LPCWSTR key, LPVOID data);
    bool Remove(LPCWSTR key);

    int GetSize() const { return m_nCount; }
    int GetBucketCount() const { return m_nBuckets; }
    // The key of the i-th entry, counting the buckets from the last one
    // down and each chain from its front; null out of range.
    LPCWSTR GetAt(int index) const;
    LPCWSTR operator[](int index) const { return GetAt(index); }

    // h = h * 33 + c over the characters from the last to the first.
    static UINT HashKey(LPCWSTR key);

private:
    struct TITEM {
        CUIString Key;
        LPVOID Data;
        TITEM* pPrev;
        TITEM* pNext;
    };

    TITEM* FindItem(LPCWSTR key, UINT* bucket) const;
    void Unlink(TITEM* item, UINT bucket) const;
    void PushFront(TITEM* item, UINT bucket) const;
    void FreeBuckets();

    // Find(optimize) reorders a chain without changing what the map holds.
    mutable TITEM** m_aT;
    int m_nBuckets;
    int m_nCount;
};

}  // namespace TarselUI
