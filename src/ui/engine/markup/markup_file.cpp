// Loading a skin file by name from skin sources: from their folder, or from
// their archive when one is installed. Either way the bytes end in
// LoadFromMem.

#include <cstdlib>
#include <memory>

#include "ui/engine/markup/markup.h"
#include "ui/skin/skin_sources.h"
#include "ui/skin/zip_archive.h"
#include "util/unique_handle.h"

namespace TarselUI {

namespace {

struct FreeDeleter {
    void operator()(void* block) const { free(block); }
};
using ByteBuffer = std::unique_ptr<BYTE, FreeDeleter>;

// Why a file could not be read; null when it was.
using ReadError = LPCWSTR;

// Applies the size rules shared by loose files and archive entries.
ReadError CheckSize(unsigned long long size) {
    if (size == 0) return L"File is empty";
    if (size > CMarkup::kMaxFileSize) return L"File too large";
    return nullptr;
}

ReadError ReadLooseFile(const CUIString& path, ByteBuffer& bytes, DWORD& size) {
    Util::UniqueFile file(::CreateFileW(path.GetData(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return L"Error opening file";
    LARGE_INTEGER fileSize{};
    if (!::GetFileSizeEx(file.get(), &fileSize)) return L"Could not read file";
    if (ReadError error = CheckSize(static_cast<unsigned long long>(fileSize.QuadPart))) return error;
    size = static_cast<DWORD>(fileSize.QuadPart);
    bytes.reset(static_cast<BYTE*>(malloc(size)));
    if (!bytes) return L"Out of memory";
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.get(), size, &read, nullptr) || read != size) return L"Could not read file";
    return nullptr;
}

ReadError ReadArchiveEntry(const CSkinSources& sources, LPCWSTR name, ByteBuffer& bytes, DWORD& size) {
    ZipArchive* archive = nullptr;
    UniqueZipArchive openedHere;
    if (sources.KeepsArchiveOpen() && sources.GetOpenArchive() != nullptr) {
        archive = sources.GetOpenArchive();
    } else {
        openedHere = sources.OpenArchiveFile();
        if (!openedHere) return L"Error opening zip file";
        archive = openedHere.get();
    }
    int index = -1;
    ZipEntry entry{};
    if (ZipFindItem(archive, name, true, &index, &entry) != kZipSuccess) return L"Could not find ziped file";
    if (ReadError error = CheckSize(entry.uncompressedSize)) return error;
    size = entry.uncompressedSize;
    bytes.reset(static_cast<BYTE*>(malloc(size)));
    if (!bytes) return L"Out of memory";
    // A buffer of exactly the entry's size is filled by the first call,
    // which answers "more data": both that and success mean done.
    ZipResult result = ZipUnzipItem(archive, index, bytes.get(), size, kZipSourceMemory);
    if (result != kZipSuccess && result != kZipMoreData) return L"Could not unzip file";
    return nullptr;
}

}  // namespace

bool CMarkup::LoadFromFile(LPCWSTR fileName, int encoding) {
    return LoadFromFile(CSkinSources::Shared(), fileName, encoding);
}

bool CMarkup::LoadFromFile(const CSkinSources& sources, LPCWSTR fileName, int encoding) {
    Release();
    ClearError();
    if (fileName == nullptr) return Fail(L"Error opening file", nullptr);
    ByteBuffer bytes;
    DWORD size = 0;
    ReadError error = nullptr;
    if (sources.GetArchiveName().IsEmpty()) {
        error = ReadLooseFile(sources.GetFolder() + fileName, bytes, size);
    } else {
        error = ReadArchiveEntry(sources, fileName, bytes, size);
    }
    if (error != nullptr) return Fail(error, nullptr);
    return LoadFromMem(bytes.get(), size, encoding);
}

}  // namespace TarselUI
