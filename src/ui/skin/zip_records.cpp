#include "ui/skin/zip_records.h"

namespace TarselUI::zip {

namespace {

std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool HasSignature(const std::uint8_t* p, std::uint8_t third, std::uint8_t fourth) {
    return p[0] == 'P' && p[1] == 'K' && p[2] == third && p[3] == fourth;
}

constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr unsigned kHostUnix = 3;

}  // namespace

bool ParseEndRecord(const std::uint8_t* p, std::size_t length, EndRecord& out) {
    if (length < kEndRecordSize || !HasSignature(p, 5, 6)) return false;
    out.diskNumber = Read16(p + 4);
    out.directoryDisk = Read16(p + 6);
    out.entriesOnDisk = Read16(p + 8);
    out.totalEntries = Read16(p + 10);
    out.directorySize = Read32(p + 12);
    out.directoryOffset = Read32(p + 16);
    out.commentLength = Read16(p + 20);
    return true;
}

bool ParseCentralRecord(const std::uint8_t* p, std::size_t length, CentralRecord& out) {
    if (length < kCentralRecordSize || !HasSignature(p, 1, 2)) return false;
    out.versionMadeBy = Read16(p + 4);
    out.flags = Read16(p + 8);
    out.method = Read16(p + 10);
    out.dosTime = Read16(p + 12);
    out.dosDate = Read16(p + 14);
    out.crc32 = Read32(p + 16);
    out.compressedSize = Read32(p + 20);
    out.uncompressedSize = Read32(p + 24);
    out.nameLength = Read16(p + 28);
    out.extraLength = Read16(p + 30);
    out.commentLength = Read16(p + 32);
    out.externalAttributes = Read32(p + 38);
    out.localHeaderOffset = Read32(p + 42);
    return true;
}

bool ParseLocalHeader(const std::uint8_t* p, std::size_t length, LocalHeader& out) {
    if (length < kLocalHeaderSize || !HasSignature(p, 3, 4)) return false;
    out.flags = Read16(p + 6);
    out.method = Read16(p + 8);
    out.crc32 = Read32(p + 14);
    out.compressedSize = Read32(p + 18);
    out.uncompressedSize = Read32(p + 22);
    out.nameLength = Read16(p + 26);
    out.extraLength = Read16(p + 28);
    return true;
}

bool FindEndRecord(const std::uint8_t* tail, std::size_t tailLength, std::uint64_t sourceLength,
                   std::uint64_t& position, EndRecord& record) {
    if (tailLength < kEndRecordSize || tailLength > sourceLength) return false;
    const std::uint64_t tailStart = sourceLength - tailLength;
    for (std::size_t at = tailLength - kEndRecordSize + 1; at-- > 0;) {
        EndRecord candidate;
        if (!ParseEndRecord(tail + at, tailLength - at, candidate)) continue;
        const std::uint64_t candidatePosition = tailStart + at;
        const std::uint64_t directoryEnd =
            std::uint64_t{candidate.directoryOffset} + candidate.directorySize;
        if (candidate.diskNumber != 0 || candidate.directoryDisk != 0) continue;
        if (candidate.entriesOnDisk != candidate.totalEntries) continue;
        if (candidatePosition < directoryEnd) continue;
        position = candidatePosition;
        record = candidate;
        return true;
    }
    return false;
}

bool LocalMatchesCentral(const LocalHeader& local, const CentralRecord& central) {
    if (local.method != central.method || local.nameLength != central.nameLength) return false;
    if ((local.flags & kFlagDataDescriptor) || (central.flags & kFlagDataDescriptor)) return true;
    return local.crc32 == central.crc32 && local.compressedSize == central.compressedSize &&
           local.uncompressedSize == central.uncompressedSize;
}

ExtendedTimes FindExtendedTimes(const std::uint8_t* extra, std::size_t length) {
    ExtendedTimes times;
    std::size_t at = 0;
    while (length - at >= 4) {
        const std::uint16_t id = Read16(extra + at);
        const std::uint16_t size = Read16(extra + at + 2);
        at += 4;
        if (size > length - at) break;  // a field running off the end is ignored
        if (id == 0x5455 && size >= 1) {
            const std::uint8_t flags = extra[at];
            std::size_t field = at + 1;
            const std::size_t fieldEnd = at + size;
            auto take = [&](bool wanted, bool& has, std::uint32_t& value) {
                if (!wanted || fieldEnd - field < 4) return;
                value = Read32(extra + field);
                has = true;
                field += 4;
            };
            take(flags & 1, times.hasModify, times.modify);
            take(flags & 2, times.hasAccess, times.access);
            take(flags & 4, times.hasCreate, times.create);
            return times;
        }
        at += size;
    }
    return times;
}

std::uint32_t EntryAttributes(const CentralRecord& central, bool nameEndsWithSlash) {
    const std::uint32_t external = central.externalAttributes;
    std::uint32_t attributes =
        external & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    const std::uint32_t unixMode = external >> 16;
    if ((central.versionMadeBy >> 8) == kHostUnix && unixMode != 0) {
        const bool isDirectory = (unixMode & 0170000) == 0040000;
        if (isDirectory) attributes |= kAttrDirectory;
        else attributes |= kAttrArchive;
        if (!(unixMode & 0200)) attributes |= kAttrReadOnly;
    }
    if (nameEndsWithSlash) attributes |= kAttrDirectory;
    return attributes;
}

}  // namespace TarselUI::zip
