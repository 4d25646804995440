// Which skin archive the engine reads: one held in memory, or a file under
// the resource folder, optionally kept open between loads.

#include "ui/engine/controls/paint_manager.h"
#include "ui/skin/zip_archive.h"

namespace TarselUI {

namespace {
constexpr wchar_t kMemoryArchiveMarker[] = L"membuffer";
}

void CPaintManagerUI::CloseCachedZip() {
    if (m_bCachedResourceZip && m_hResourceZip) ZipClose(m_hResourceZip);
    m_hResourceZip = nullptr;
    m_bCachedResourceZip = false;
}

void CPaintManagerUI::SetResourceZip(const void* pData, unsigned int nLength) {
    // Windows created later pass their own copy of the same resource; the
    // archive installed first stays in use. One that failed to open is no
    // archive at all, so a later block may take its place.
    if (m_pStrResourceZip == kMemoryArchiveMarker && m_hResourceZip) return;
    CloseCachedZip();
    m_pStrResourceZip = kMemoryArchiveMarker;
    m_bCachedResourceZip = true;
    m_hResourceZip = ZipOpen(pData, nLength, kZipSourceMemory);
}

void CPaintManagerUI::SetResourceZip(const void* pData, unsigned int nLength, LPCWSTR) {
    SetResourceZip(pData, nLength);
}

void CPaintManagerUI::SetResourceZip(LPCWSTR pStrZip, bool bCachedResourceZip) {
    if (!pStrZip || *pStrZip == L'\0') return;
    if (m_pStrResourceZip == pStrZip && m_bCachedResourceZip == bCachedResourceZip) return;
    CloseCachedZip();
    m_pStrResourceZip = pStrZip;
    m_bCachedResourceZip = bCachedResourceZip;
    if (bCachedResourceZip) {
        const CUIString file = m_pStrResourcePath + m_pStrResourceZip;
        m_hResourceZip = ZipOpen(file.GetData(), 0, kZipSourceFileName);
    }
}

const CUIString& CPaintManagerUI::GetResourceZip() { return m_pStrResourceZip; }

bool CPaintManagerUI::IsCachedResourceZip() { return m_bCachedResourceZip; }

ZipArchive* CPaintManagerUI::GetResourceZipHandle() { return m_hResourceZip; }

void CPaintManagerUI::Term() { CloseCachedZip(); }

}  // namespace TarselUI
