#pragma once
// A growable array of untyped pointers. It never owns what the pointers
// point to: controls, listeners and timers stay owned by whoever made them.

#include <windows.h>

namespace TarselUI {

class CStdPtrArray {
public:
    explicit CStdPtrArray(int preallocSize = 0);
    CStdPtrArray(const CStdPtrArray& other);
    CStdPtrArray& operator=(const CStdPtrArray& other);
    ~CStdPtrArray();

    // Empty frees the storage; Resize(n) discards the contents and leaves n
    // null entries.
    void Empty();
    bool Resize(int size);
    bool IsEmpty() const { return m_nCount == 0; }
    int GetSize() const { return m_nCount; }
    int GetCapacity() const { return m_nAllocated; }
    LPVOID* GetData() const { return m_ppVoid; }

    // Add and InsertAt return false and leave the array as it was when
    // memory runs out. InsertAt takes indexes 0 to GetSize().
    bool Add(LPVOID item);
    bool InsertAt(int index, LPVOID item);
    bool SetAt(int index, LPVOID item);
    bool Remove(int index);
    int Find(LPVOID item) const;  // -1 when absent

    LPVOID GetAt(int index) const;  // null out of range
    LPVOID operator[](int index) const { return GetAt(index); }

private:
    // Grows so that `count` entries fit with one slot to spare.
    bool MakeRoomFor(int count);

    LPVOID* m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace TarselUI
