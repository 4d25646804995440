#include "ui/skin/zip_archive.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ui/skin/zip_archive_state.h"

namespace TarselUI {

using zip::Remember;

namespace {

bool IsLive(const ZipArchive* archive) { return archive->tag == zip::kLiveArchiveTag; }

// Runs an operation so that running out of memory is a result, not an
// exception leaving the engine.
template <typename Operation>
ZipResult Guarded(Operation operation) {
    try {
        return Remember(operation());
    } catch (const std::bad_alloc&) {
        return Remember(kZipOutOfMemory);
    }
}

FILETIME FromDosTime(std::uint16_t date, std::uint16_t time) {
    FILETIME local{}, utc{};
    if (!::DosDateTimeToFileTime(date, time, &local) || !::LocalFileTimeToFileTime(&local, &utc)) {
        return FILETIME{};
    }
    return utc;
}

FILETIME FromUnixTime(std::uint32_t seconds) {
    const std::uint64_t ticks = std::uint64_t{seconds} * 10000000ULL + 116444736000000000ULL;
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(ticks);
    result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return result;
}

// Opens the source of ZipOpen; null with `result` set when it cannot be.
std::unique_ptr<zip::ByteSource> OpenSource(const void* source, unsigned long length,
                                            unsigned long kind, ZipResult& result) {
    if (kind == kZipSourceMemory) {
        if (!source) {
            result = kZipBadArguments;
            return nullptr;
        }
        return std::make_unique<zip::ByteSource>(static_cast<const std::uint8_t*>(source), length);
    }
    Util::UniqueFile file;
    if (kind == kZipSourceHandle) {
        HANDLE duplicate = INVALID_HANDLE_VALUE;
        if (!::DuplicateHandle(::GetCurrentProcess(), const_cast<void*>(source), ::GetCurrentProcess(),
                               &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            result = kZipDuplicateHandleFailed;
            return nullptr;
        }
        file.reset(duplicate);
        if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
            result = kZipUnseekable;
            return nullptr;
        }
    } else if (kind == kZipSourceFileName) {
        if (!source) {
            result = kZipBadArguments;
            return nullptr;
        }
        file.reset(::CreateFileW(static_cast<const wchar_t*>(source), GENERIC_READ, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            result = kZipOpenFileFailed;
            return nullptr;
        }
    } else {
        result = kZipBadArguments;
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        result = kZipReadFailed;
        return nullptr;
    }
    return std::make_unique<zip::ByteSource>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
}

ZipResult OpenArchive(const void* source, unsigned long length, unsigned long kind,
                      std::unique_ptr<ZipArchive>& out) {
    ZipResult result = kZipSuccess;
    std::unique_ptr<zip::ByteSource> bytes = OpenSource(source, length, kind, result);
    if (!bytes) return result;

    const std::uint64_t size = bytes->size();
    const std::size_t tailLength =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, zip::kEndRecordSearchSpan));
    std::vector<std::uint8_t> tail(tailLength);
    switch (bytes->ReadAt(size - tailLength, tail.data(), tailLength)) {
        case zip::ByteSource::Read::Ok: break;
        case zip::ByteSource::Read::OutOfRange: return kZipCorrupt;
        case zip::ByteSource::Read::Failed: return kZipReadFailed;
    }
    std::uint64_t endPosition = 0;
    zip::EndRecord end{};
    if (!zip::FindEndRecord(tail.data(), tail.size(), size, endPosition, end)) return kZipCorrupt;

    auto archive = std::make_unique<ZipArchive>(std::move(*bytes));
    archive->directoryEnd = endPosition;
    archive->prefix = endPosition - (std::uint64_t{end.directoryOffset} + end.directorySize);
    archive->nextRecord = archive->prefix + end.directoryOffset;
    archive->entryCount = end.totalEntries;
    out = std::move(archive);
    return kZipSuccess;
}

void FillEntry(int index, const zip::DirectoryItem& item,
               const std::vector<std::uint8_t>& localExtra, ZipEntry& entry) {
    entry = ZipEntry{};
    entry.index = index;
    const std::size_t nameLength = std::min<std::size_t>(item.name.size(), sizeof entry.name - 1);
    std::memcpy(entry.name, item.name.data(), nameLength);
    const bool endsWithSlash = !item.name.empty() && item.name.back() == '/';
    entry.attributes = zip::EntryAttributes(item.central, endsWithSlash);
    const FILETIME dosTime = FromDosTime(item.central.dosDate, item.central.dosTime);
    entry.lastAccessTime = entry.creationTime = entry.lastWriteTime = dosTime;
    const zip::ExtendedTimes times = zip::FindExtendedTimes(localExtra.data(), localExtra.size());
    if (times.hasModify) entry.lastWriteTime = FromUnixTime(times.modify);
    if (times.hasAccess) entry.lastAccessTime = FromUnixTime(times.access);
    if (times.hasCreate) entry.creationTime = FromUnixTime(times.create);
    entry.compressedSize = item.central.compressedSize;
    entry.uncompressedSize = item.central.uncompressedSize;
}

ZipResult DescribeEntry(ZipArchive& archive, int index, ZipEntry& entry) {
    if (index == archive.cachedIndex) {
        entry = archive.cachedEntry;
        return kZipSuccess;
    }
    zip::LocalHeader local{};
    std::uint64_t dataStart = 0;
    std::vector<std::uint8_t> extra;
    const ZipResult located = archive.LocateData(index, local, dataStart, &extra);
    if (located != kZipSuccess) return located;
    FillEntry(index, archive.directory[index], extra, entry);
    archive.cachedIndex = index;
    archive.cachedEntry = entry;
    return kZipSuccess;
}

// The request as stored names are written: ANSI bytes, "/" separators.
bool RequestToStoredForm(const wchar_t* name, std::string& out) {
    const std::size_t length = std::wcslen(name);
    if (length >= 256) return false;
    char buffer[260] = {};
    int bytes = 0;
    if (length > 0) {
        bytes = ::WideCharToMultiByte(CP_ACP, 0, name, static_cast<int>(length), buffer, 259,
                                      nullptr, nullptr);
        if (bytes <= 0) return false;
    }
    out.assign(buffer, static_cast<std::size_t>(bytes));
    std::replace(out.begin(), out.end(), '\\', '/');
    return true;
}

}  // namespace

namespace zip {

std::string FoldAsciiCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace zip

ZipArchive::~ZipArchive() {
    if (inflaterReady) ::inflateEnd(&inflater);
}

ZipResult ZipArchive::ReachEntry(int index) {
    while (static_cast<int>(directory.size()) <= index) {
        if (directoryDamage != kZipSuccess) return directoryDamage;
        std::uint8_t fixed[zip::kCentralRecordSize];
        zip::DirectoryItem item{};
        // A record must lie inside the directory the end record announced.
        const bool fits = nextRecord <= directoryEnd &&
                          directoryEnd - nextRecord >= zip::kCentralRecordSize;
        ZipResult damage = kZipSuccess;
        if (!fits) {
            damage = kZipCorrupt;
        } else if (source.ReadAt(nextRecord, fixed, sizeof fixed) != zip::ByteSource::Read::Ok) {
            damage = kZipReadFailed;
        } else if (!zip::ParseCentralRecord(fixed, sizeof fixed, item.central)) {
            damage = kZipCorrupt;
        } else {
            const std::uint64_t variable = std::uint64_t{item.central.nameLength} +
                                           item.central.extraLength + item.central.commentLength;
            if (directoryEnd - nextRecord - zip::kCentralRecordSize < variable) {
                damage = kZipCorrupt;
            } else {
                item.name.resize(item.central.nameLength);
                if (item.central.nameLength > 0 &&
                    source.ReadAt(nextRecord + zip::kCentralRecordSize, item.name.data(),
                                  item.name.size()) != zip::ByteSource::Read::Ok) {
                    damage = kZipReadFailed;
                } else {
                    item.foldedName = zip::FoldAsciiCase(item.name);
                    nextRecord += zip::kCentralRecordSize + variable;
                }
            }
        }
        if (damage != kZipSuccess) {
            directoryDamage = damage;
            return damage;
        }
        directory.push_back(std::move(item));
    }
    return kZipSuccess;
}

ZipResult ZipArchive::LocateData(int index, zip::LocalHeader& local, std::uint64_t& dataStart,
                                 std::vector<std::uint8_t>* extra) {
    const ZipResult reached = ReachEntry(index);
    if (reached != kZipSuccess) return reached;
    const zip::CentralRecord& central = directory[index].central;
    const std::uint64_t headerAt = prefix + central.localHeaderOffset;
    std::uint8_t fixed[zip::kLocalHeaderSize];
    switch (source.ReadAt(headerAt, fixed, sizeof fixed)) {
        case zip::ByteSource::Read::Ok: break;
        case zip::ByteSource::Read::OutOfRange: return kZipCorrupt;
        case zip::ByteSource::Read::Failed: return kZipReadFailed;
    }
    if (!zip::ParseLocalHeader(fixed, sizeof fixed, local)) return kZipCorrupt;
    if (!zip::LocalMatchesCentral(local, central)) return kZipCorrupt;
    const std::uint64_t extraAt = headerAt + zip::kLocalHeaderSize + local.nameLength;
    dataStart = extraAt + local.extraLength;
    if (!source.Contains(dataStart, central.compressedSize)) return kZipCorrupt;
    if (extra) {
        extra->resize(local.extraLength);
        if (local.extraLength > 0 &&
            source.ReadAt(extraAt, extra->data(), extra->size()) != zip::ByteSource::Read::Ok) {
            return kZipReadFailed;
        }
    }
    return kZipSuccess;
}

void ZipArchive::CloseItem() {
    // A finished item's CRC-32 was already checked as its last byte came out.
    item = zip::OpenItem{};
}

ZipArchive* ZipOpen(const void* source, unsigned long length, unsigned long kind) {
    std::unique_ptr<ZipArchive> archive;
    Guarded([&] { return OpenArchive(source, length, kind, archive); });
    return archive.release();
}

ZipResult ZipGetItem(ZipArchive* archive, int index, ZipEntry* entry) {
    return Guarded([&]() -> ZipResult {
        if (!archive || !entry) return kZipBadArguments;
        if (!IsLive(archive)) return kZipNotOpenedForReading;
        if (index == -1) {
            *entry = ZipEntry{};
            entry->index = archive->entryCount;
            return kZipSuccess;
        }
        if (index < 0 || index >= archive->entryCount) return kZipBadArguments;
        return DescribeEntry(*archive, index, *entry);
    });
}

ZipResult ZipFindItem(ZipArchive* archive, const wchar_t* name, bool ignoreCase, int* index,
                      ZipEntry* entry) {
    auto notFound = [&](ZipResult result) {
        if (index) *index = -1;
        if (entry) {
            *entry = ZipEntry{};
            entry->index = -1;
        }
        return result;
    };
    return Guarded([&]() -> ZipResult {
        if (!archive || !name) return notFound(kZipBadArguments);
        if (!IsLive(archive)) return notFound(kZipNotOpenedForReading);
        archive->CloseItem();
        std::string wanted;
        if (!RequestToStoredForm(name, wanted)) return notFound(kZipNotFound);
        if (ignoreCase) wanted = zip::FoldAsciiCase(std::move(wanted));
        for (int i = 0; i < archive->entryCount; ++i) {
            const ZipResult reached = archive->ReachEntry(i);
            if (reached != kZipSuccess) return notFound(reached);
            const zip::DirectoryItem& item = archive->directory[i];
            if ((ignoreCase ? item.foldedName : item.name) != wanted) continue;
            ZipEntry found;
            const ZipResult described = DescribeEntry(*archive, i, found);
            if (described != kZipSuccess) return notFound(described);
            if (index) *index = i;
            if (entry) *entry = found;
            return kZipSuccess;
        }
        return notFound(kZipNotFound);
    });
}

ZipResult ZipClose(ZipArchive* archive) {
    return Guarded([&]() -> ZipResult {
        if (!archive) return kZipBadArguments;
        if (!IsLive(archive)) return kZipNotOpenedForReading;
        archive->tag = 0;
        delete archive;
        return kZipSuccess;
    });
}

}  // namespace TarselUI
