#pragma once
// Read-only access to the skin's ZIP archive. Every skin file and image the
// user sees comes through here, and the archive may come from a damaged or
// tampered executable: every length and offset read from it is checked
// against the source before use, and damage is reported as a result code.
//
// Only stored and DEFLATE entries are read; extraction goes into memory.

#include <windows.h>

#include <memory>

namespace TarselUI {

// Result codes. Callers extracting a whole entry in one call accept both
// kZipSuccess and kZipMoreData.
using ZipResult = unsigned long;
constexpr ZipResult kZipSuccess = 0x00000000;
constexpr ZipResult kZipDuplicateHandleFailed = 0x00000100;
constexpr ZipResult kZipOpenFileFailed = 0x00000200;
constexpr ZipResult kZipOutOfMemory = 0x00000300;
constexpr ZipResult kZipWriteFailed = 0x00000400;
constexpr ZipResult kZipNotFound = 0x00000500;
constexpr ZipResult kZipMoreData = 0x00000600;
constexpr ZipResult kZipCorrupt = 0x00000700;
constexpr ZipResult kZipReadFailed = 0x00000800;
constexpr ZipResult kZipBadArguments = 0x00010000;
constexpr ZipResult kZipNotMemoryArchive = 0x00020000;
constexpr ZipResult kZipMemoryTooSmall = 0x00030000;
constexpr ZipResult kZipPreviousError = 0x00040000;
constexpr ZipResult kZipAlreadyEnded = 0x00050000;
constexpr ZipResult kZipSizeMismatch = 0x00060000;
constexpr ZipResult kZipPartiallyUnzipped = 0x00070000;
constexpr ZipResult kZipNotOpenedForReading = 0x00080000;
constexpr ZipResult kZipNotInitialised = 0x01000000;
constexpr ZipResult kZipUnseekable = 0x02000000;
constexpr ZipResult kZipCannotChangeMind = 0x04000000;
constexpr ZipResult kZipInflateFailed = 0x05000000;

// What ZipOpen's source is, and where ZipUnzipItem writes.
constexpr unsigned long kZipSourceHandle = 1;    // an open file HANDLE
constexpr unsigned long kZipSourceFileName = 2;  // a NUL-terminated wide file name
constexpr unsigned long kZipSourceMemory = 3;    // a memory block of the given length

// One archive entry as ZipGetItem and ZipFindItem describe it.
struct ZipEntry {
    int index;
    char name[260];  // stored bytes, "/" separated, NUL-terminated, cut to 259 bytes
    unsigned long attributes;  // FILE_ATTRIBUTE_* bits
    FILETIME lastAccessTime;
    FILETIME creationTime;
    FILETIME lastWriteTime;
    unsigned long compressedSize;
    unsigned long uncompressedSize;
};

struct ZipArchive;  // opaque; owned by whoever opened it

// Opens an archive; null on failure (the reason is the last result). A
// memory source is read in place and must outlive the archive.
ZipArchive* ZipOpen(const void* source, unsigned long length, unsigned long kind);

// Describes entry `index`; index -1 gives the number of entries in the
// index field and zero elsewhere.
ZipResult ZipGetItem(ZipArchive* archive, int index, ZipEntry* entry);

// Looks an entry up by name. Backslashes in `name` match "/"; with
// `ignoreCase` the ASCII letters match either case. On failure the index is
// -1 and the entry is zero with index -1.
ZipResult ZipFindItem(ZipArchive* archive, const wchar_t* name, bool ignoreCase, int* index,
                      ZipEntry* entry);

// Extracts entry `index` into the memory buffer `destination` (kind
// kZipSourceMemory; the other kinds are not supported). A call that produced
// bytes answers kZipMoreData and leaves the entry open for the next call,
// which continues where it stopped; a call that produces nothing answers
// kZipSuccess. An entry whose data disagrees with its recorded size or
// CRC-32 gives kZipCorrupt instead of handing out damaged bytes.
ZipResult ZipUnzipItem(ZipArchive* archive, int index, void* destination, unsigned long length,
                       unsigned long kind);

ZipResult ZipClose(ZipArchive* archive);

// The text of a result code (code 1: the last result). Copies at most
// size - 1 characters plus a NUL; returns the length of the full text.
unsigned ZipFormatMessage(ZipResult code, wchar_t* buffer, unsigned size);

// The result of the most recent archive operation in this process.
ZipResult ZipLastResult();

struct ZipArchiveCloser {
    void operator()(ZipArchive* archive) const { ZipClose(archive); }
};
using UniqueZipArchive = std::unique_ptr<ZipArchive, ZipArchiveCloser>;

}  // namespace TarselUI
