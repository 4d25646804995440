// The image cache: images by name, first load wins.

#include <new>
#include <cwchar>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/render_engine.h"

namespace TarselUI {

namespace {

bool HasType(LPCWSTR type) { return type && *type; }

// With a resource type the name is a numeric resource identifier.
TImageInfo* LoadFromSource(LPCWSTR bitmap, LPCWSTR type, DWORD mask) {
    if (HasType(type)) {
        if (*bitmap < L'0' || *bitmap > L'9') return nullptr;
        const UINT id = static_cast<UINT>(std::wcstoul(bitmap, nullptr, 10));
        return CRenderEngine::LoadImageW(STRINGorID(id), type, mask);
    }
    return CRenderEngine::LoadImageW(STRINGorID(bitmap), nullptr, mask);
}

}  // namespace

const TImageInfo* CPaintManagerUI::GetImage(LPCWSTR bitmap) const {
    if (!bitmap || !*bitmap) return nullptr;
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (auto* image = static_cast<const TImageInfo*>(pm->m_mImageHash.Find(bitmap))) return image;
    }
    return nullptr;
}

const TImageInfo* CPaintManagerUI::GetImageEx(LPCWSTR bitmap, LPCWSTR type, DWORD mask) {
    if (!bitmap || !*bitmap) return nullptr;
    if (auto* image = static_cast<const TImageInfo*>(m_mImageHash.Find(bitmap))) return image;
    AddImage(bitmap, type, mask);
    return static_cast<const TImageInfo*>(m_mImageHash.Find(bitmap));
}

const TImageInfo* CPaintManagerUI::AddImage(LPCWSTR bitmap, LPCWSTR type, DWORD mask) {
    if (!bitmap || !*bitmap) return nullptr;
    TImageInfo* image = LoadFromSource(bitmap, type, mask);
    if (!image) return nullptr;
    image->sResType = HasType(type) ? type : L"";
    image->dwMask = mask;
    if (!m_mImageHash.Insert(bitmap, image)) {
        // The image cached first under this name stays.
        CRenderEngine::FreeImage(image);
        return static_cast<const TImageInfo*>(m_mImageHash.Find(bitmap));
    }
    return image;
}

const TImageInfo* CPaintManagerUI::AddImage(LPCWSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight, bool bAlpha) {
    if (!bitmap || !*bitmap || !hBitmap || iWidth <= 0 || iHeight <= 0) return nullptr;
    auto* image = new (std::nothrow) TImageInfo{};
    if (!image) return nullptr;
    image->hBitmap = hBitmap;
    image->nWidth = iWidth;
    image->nHeight = iHeight;
    image->bAlphaChannel = bAlpha;
    image->dwMask = 0;
    if (!m_mImageHash.Insert(bitmap, image)) {
        // The bitmap stays the caller's: only a new entry takes it over.
        delete image;
        return static_cast<const TImageInfo*>(m_mImageHash.Find(bitmap));
    }
    return image;
}

bool CPaintManagerUI::RemoveImage(LPCWSTR bitmap) {
    if (!bitmap || !*bitmap) return false;
    auto* image = static_cast<TImageInfo*>(m_mImageHash.Find(bitmap, false));
    if (!image) return false;
    CRenderEngine::FreeImage(image);
    return m_mImageHash.Remove(bitmap);
}

void CPaintManagerUI::RemoveAllImages() {
    for (int i = 0; i < m_mImageHash.GetSize(); ++i) {
        if (LPCWSTR key = m_mImageHash.GetAt(i)) {
            CRenderEngine::FreeImage(static_cast<TImageInfo*>(m_mImageHash.Find(key, false)));
        }
    }
    m_mImageHash.RemoveAll();
}

void CPaintManagerUI::ReloadAllImages() {
    bool reloaded = false;
    for (int i = 0; i < m_mImageHash.GetSize(); ++i) {
        LPCWSTR key = m_mImageHash.GetAt(i);
        auto* image = key ? static_cast<TImageInfo*>(m_mImageHash.Find(key, false)) : nullptr;
        if (!image) continue;
        TImageInfo* fresh = LoadFromSource(key, image->sResType, image->dwMask);
        if (!fresh) continue;
        if (image->hBitmap) ::DeleteObject(image->hBitmap);
        image->hBitmap = fresh->hBitmap;
        image->nWidth = fresh->nWidth;
        image->nHeight = fresh->nHeight;
        image->bAlphaChannel = fresh->bAlphaChannel;
        fresh->hBitmap = nullptr;
        CRenderEngine::FreeImage(fresh);
        reloaded = true;
    }
    if (reloaded && m_pRoot) m_pRoot->Invalidate();
}

void CPaintManagerUI::ReloadSkin() {
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
        static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i))->ReloadAllImages();
    }
}

}  // namespace TarselUI
