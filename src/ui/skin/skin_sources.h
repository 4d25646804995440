#pragma once
// Where the engine finds skin files and images: the module whose resources
// are searched, the resource folder, and the skin archive (a file under the
// folder, opened for each read or kept open, or a block held in memory).
// The readers of markup files and image bytes take it; every window of the
// process shares one, the paint manager's resource settings forward to it.

#include <windows.h>

#include "ui/engine/base/ui_string.h"
#include "ui/skin/zip_archive.h"

namespace TarselUI {

class CSkinSources {
public:
    // The one every window of the process reads from (UI thread only).
    static CSkinSources& Shared();

    CSkinSources() = default;
    CSkinSources(const CSkinSources&) = delete;
    CSkinSources& operator=(const CSkinSources&) = delete;

    // The program's module: the resource module when none was set.
    void SetModule(HINSTANCE hModule) { m_hModule = hModule; }
    void SetResourceModule(HINSTANCE hModule) { m_hResourceModule = hModule; }
    HINSTANCE GetResourceModule() const { return m_hResourceModule ? m_hResourceModule : m_hModule; }

    // A non-empty folder always ends with a separator.
    void SetFolder(LPCWSTR pStrPath);
    const CUIString& GetFolder() const { return m_sFolder; }

    // An archive held in memory, read in place: the block must live as
    // long as the process. The first one that opens stays in use.
    void UseMemoryArchive(const void* pData, unsigned int nLength);
    // An archive file under the folder; with bKeepOpen it is opened now and
    // kept open, otherwise every read opens it.
    void UseArchiveFile(LPCWSTR pStrName, bool bKeepOpen);
    // "membuffer" for an archive in memory, the file's name, or empty when
    // skin files are loose files in the folder.
    const CUIString& GetArchiveName() const { return m_sArchiveName; }
    bool IsMemoryArchive() const;
    bool KeepsArchiveOpen() const { return m_bKeepArchiveOpen; }
    // The kept-open archive; null when none is kept or it did not open.
    ZipArchive* GetOpenArchive() const { return m_keptArchive.get(); }
    // The archive file opened for one read; null when it does not open.
    UniqueZipArchive OpenArchiveFile() const;
    // Closes the kept-open archive and forgets it (at shutdown).
    void CloseArchive();

private:
    HINSTANCE m_hModule = nullptr;
    HINSTANCE m_hResourceModule = nullptr;
    CUIString m_sFolder;
    CUIString m_sArchiveName;
    bool m_bKeepArchiveOpen = false;
    UniqueZipArchive m_keptArchive;
};

}  // namespace TarselUI
