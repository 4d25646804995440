#pragma once
// The paint manager: one per skinned window, plus the settings every window
// of the process shares (module instance, resource folder, skin archive).
// This header holds the shared part; the per-window part is declared here
// as it is built.

#include <windows.h>

#include "ui/engine/base/ui_string.h"

namespace TarselUI {

struct ZipArchive;

class CPaintManagerUI {
public:
    // --- Engine-wide settings (UI thread only; no locking) ---------------

    // Also registers the window classes that need the module (the shadow).
    static void SetInstance(HINSTANCE hInstance);
    static HINSTANCE GetInstance();
    // The module's folder with a trailing backslash; empty before SetInstance.
    static CUIString GetInstancePath();
    static CUIString GetCurrentPath();
    static void SetCurrentPath(LPCWSTR pStrPath);

    // The module whose resources are searched; the instance when none was set.
    static void SetResourceDll(HINSTANCE hInstance);
    static HINSTANCE GetResourceDll();

    // Skin files are read from here (and an archive file is named relative
    // to it). A non-empty path always ends with a separator.
    static void SetResourcePath(LPCWSTR pStrPath);
    static const CUIString& GetResourcePath();

    // Installs an archive held in memory, read in place: the block must live
    // as long as the process. The first one that opens stays installed.
    static void SetResourceZip(const void* pData, unsigned int nLength);
    // The password is accepted for compatibility and not used.
    static void SetResourceZip(const void* pData, unsigned int nLength, LPCWSTR pstrPassword);
    // Names an archive file under the resource path; with bCachedResourceZip
    // it is opened once and kept open, otherwise every load opens it.
    static void SetResourceZip(LPCWSTR pStrZip, bool bCachedResourceZip = false);
    // "membuffer" for an archive installed from memory, empty for none.
    static const CUIString& GetResourceZip();
    static bool IsCachedResourceZip();
    static ZipArchive* GetResourceZipHandle();

    // Closes the kept-open archive at shutdown.
    static void Term();

private:
    static void CloseCachedZip();

    static HINSTANCE m_hInstance;
    static HINSTANCE m_hResourceInstance;
    static CUIString m_pStrResourcePath;
    static CUIString m_pStrResourceZip;
    static bool m_bCachedResourceZip;
    static ZipArchive* m_hResourceZip;
};

}  // namespace TarselUI
