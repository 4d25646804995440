#include "ui/skin/skin_sources.h"

namespace TarselUI {

namespace {
constexpr wchar_t kMemoryArchiveName[] = L"membuffer";
}

CSkinSources& CSkinSources::Shared() {
    // Never destroyed: an archive kept open stays open until Term closes
    // it, and a window torn down late at exit may still read its skin.
    static CSkinSources* const sources = new CSkinSources;
    return *sources;
}

void CSkinSources::SetFolder(LPCWSTR pStrPath) {
    m_sFolder = pStrPath ? pStrPath : L"";
    if (m_sFolder.IsEmpty()) return;
    const wchar_t last = m_sFolder[m_sFolder.GetLength() - 1];
    if (last != L'\\' && last != L'/') m_sFolder += L'\\';
}

bool CSkinSources::IsMemoryArchive() const { return m_sArchiveName == kMemoryArchiveName; }

void CSkinSources::UseMemoryArchive(const void* pData, unsigned int nLength) {
    // Windows created later pass their own copy of the same resource; the
    // archive installed first stays in use. One that failed to open is no
    // archive at all, so a later block may take its place.
    if (IsMemoryArchive() && m_keptArchive) return;
    CloseArchive();
    m_sArchiveName = kMemoryArchiveName;
    m_bKeepArchiveOpen = true;
    m_keptArchive.reset(ZipOpen(pData, nLength, kZipSourceMemory));
}

void CSkinSources::UseArchiveFile(LPCWSTR pStrName, bool bKeepOpen) {
    if (!pStrName || *pStrName == L'\0') return;
    if (m_sArchiveName == pStrName && m_bKeepArchiveOpen == bKeepOpen) return;
    CloseArchive();
    m_sArchiveName = pStrName;
    m_bKeepArchiveOpen = bKeepOpen;
    if (bKeepOpen) m_keptArchive = OpenArchiveFile();
}

UniqueZipArchive CSkinSources::OpenArchiveFile() const {
    const CUIString file = m_sFolder + m_sArchiveName;
    return UniqueZipArchive(ZipOpen(file.GetData(), 0, kZipSourceFileName));
}

void CSkinSources::CloseArchive() {
    m_keptArchive.reset();
    m_bKeepArchiveOpen = false;
}

}  // namespace TarselUI
