// Which skin archive the engine reads: one held in memory, or a file under
// the resource folder, optionally kept open between loads. The shared skin
// sources keep it; these settings are the engine's public face for them.

#include "ui/engine/controls/paint_manager.h"
#include "ui/skin/skin_sources.h"

namespace TarselUI {

void CPaintManagerUI::SetResourceZip(const void* pData, unsigned int nLength) {
    CSkinSources::Shared().UseMemoryArchive(pData, nLength);
}

void CPaintManagerUI::SetResourceZip(const void* pData, unsigned int nLength, LPCWSTR) {
    SetResourceZip(pData, nLength);
}

void CPaintManagerUI::SetResourceZip(LPCWSTR pStrZip, bool bCachedResourceZip) {
    CSkinSources::Shared().UseArchiveFile(pStrZip, bCachedResourceZip);
}

const CUIString& CPaintManagerUI::GetResourceZip() { return CSkinSources::Shared().GetArchiveName(); }

bool CPaintManagerUI::IsCachedResourceZip() { return CSkinSources::Shared().KeepsArchiveOpen(); }

ZipArchive* CPaintManagerUI::GetResourceZipHandle() { return CSkinSources::Shared().GetOpenArchive(); }

void CPaintManagerUI::Term() { CSkinSources::Shared().CloseArchive(); }

}  // namespace TarselUI
