#include "ui/engine/render/image_bytes.h"

#include <cstring>
#include <new>

#include "ui/skin/skin_sources.h"
#include "ui/skin/zip_archive.h"
#include "ui/skin/zip_whole_item.h"
#include "util/whole_file.h"

namespace TarselUI {

namespace {

bool ReadResource(const CSkinSources& sources, STRINGorID bitmap, LPCWSTR type, std::vector<std::uint8_t>& bytes) {
    HINSTANCE module = sources.GetResourceModule();
    HRSRC found = ::FindResourceW(module, bitmap.m_lpstr, type);
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return false;
    bytes.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    return true;
}

bool ReadFromArchive(const CSkinSources& sources, LPCWSTR name, std::vector<std::uint8_t>& bytes) {
    ZipArchive* archive = nullptr;
    UniqueZipArchive openedForThisLoad;
    if (sources.KeepsArchiveOpen()) {
        archive = sources.GetOpenArchive();
    } else {
        openedForThisLoad = sources.OpenArchiveFile();
        archive = openedForThisLoad.get();
    }
    if (!archive) return false;
    return ZipReadWholeItem(archive, name, kZipMaxWholeItemSize, bytes) == kZipSuccess && !bytes.empty();
}

// Image files beyond 2 GiB cannot be decoded anyway.
constexpr std::uint64_t kMaxImageFileBytes = 0x7FFFFFFF;

// An empty file holds no image.
bool ReadImageFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    return Util::ReadWholeFile(path, kMaxImageFileBytes, bytes).read() && !bytes.empty();
}

}  // namespace

bool ReadImageBytes(const CSkinSources& sources, STRINGorID bitmap, LPCWSTR type, std::vector<std::uint8_t>& bytes) {
    // A damaged archive may announce an entry of gigabytes; running out of
    // memory for it only means this source does not have the image.
    try {
        bytes.clear();
        if (type) {
            if (ReadResource(sources, bitmap, type, bytes)) return true;
        } else if (!bitmap.IsId()) {
            if (sources.GetArchiveName().IsEmpty()) {
                const CUIString path = sources.GetFolder() + bitmap.m_lpstr;
                if (ReadImageFile(path.GetData(), bytes)) return true;
            } else if (ReadFromArchive(sources, bitmap.m_lpstr, bytes)) {
                return true;
            }
        }
        if (bitmap.IsId()) return false;
        bytes.clear();
        return ReadImageFile(bitmap.m_lpstr, bytes);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return false;
    }
}

bool ReadImageBytes(STRINGorID bitmap, LPCWSTR type, std::vector<std::uint8_t>& bytes) {
    return ReadImageBytes(CSkinSources::Shared(), bitmap, type, bytes);
}

}  // namespace TarselUI
