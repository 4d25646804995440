#pragma once
// A growable array of fixed-size records copied in by value (the element
// size is given at construction). Grows like CStdPtrArray.

#include <windows.h>

namespace TarselUI {

class CStdValArray {
public:
    explicit CStdValArray(int elementSize, int preallocSize = 0);
    CStdValArray(const CStdValArray& other);
    CStdValArray& operator=(const CStdValArray& other);
    ~CStdValArray();

    // Keeps the storage: only the count returns to 0.
    void Empty() { m_nCount = 0; }
    bool IsEmpty() const { return m_nCount == 0; }
    int GetSize() const { return m_nCount; }
    int GetCapacity() const { return m_nAllocated; }
    int GetElementSize() const { return m_iElementSize; }
    LPVOID GetData() const { return m_pVoid; }

    // Copies GetElementSize() bytes from `data`; false (array unchanged)
    // when memory runs out.
    bool Add(LPCVOID data);
    bool Remove(int index);
    LPVOID GetAt(int index) const;  // null out of range
    LPVOID operator[](int index) const { return GetAt(index); }

private:
    bool MakeRoomFor(int count);

    LPBYTE m_pVoid;
    int m_iElementSize;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace TarselUI
