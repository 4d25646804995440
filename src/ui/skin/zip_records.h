#pragma once
// The fixed-size records of the ZIP format, decoded from raw bytes. Pure
// functions: each takes a buffer and its length and refuses anything that
// does not fit, so callers never read past what they fetched.

#include <cstddef>
#include <cstdint>

namespace TarselUI::zip {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralRecordSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
// The end record sits at most this far before the end: itself plus the
// longest comment it can announce.
constexpr std::size_t kEndRecordSearchSpan = kEndRecordSize + 0xFFFF;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflate = 8;

struct EndRecord {
    std::uint16_t diskNumber;
    std::uint16_t directoryDisk;
    std::uint16_t entriesOnDisk;
    std::uint16_t totalEntries;
    std::uint32_t directorySize;
    std::uint32_t directoryOffset;
    std::uint16_t commentLength;
};

struct CentralRecord {
    std::uint16_t versionMadeBy;
    std::uint16_t flags;
    std::uint16_t method;
    std::uint16_t dosTime;
    std::uint16_t dosDate;
    std::uint32_t crc32;
    std::uint32_t compressedSize;
    std::uint32_t uncompressedSize;
    std::uint16_t nameLength;
    std::uint16_t extraLength;
    std::uint16_t commentLength;
    std::uint32_t externalAttributes;
    std::uint32_t localHeaderOffset;
};

struct LocalHeader {
    std::uint16_t flags;
    std::uint16_t method;
    std::uint32_t crc32;
    std::uint32_t compressedSize;
    std::uint32_t uncompressedSize;
    std::uint16_t nameLength;
    std::uint16_t extraLength;
};

// Each parser checks the signature; false when it is wrong or the buffer
// is shorter than the record.
bool ParseEndRecord(const std::uint8_t* bytes, std::size_t length, EndRecord& out);
bool ParseCentralRecord(const std::uint8_t* bytes, std::size_t length, CentralRecord& out);
bool ParseLocalHeader(const std::uint8_t* bytes, std::size_t length, LocalHeader& out);

// Where the archive's end record is, given the last bytes of the source
// (`tail`, `tailLength` bytes ending at `sourceLength`). Candidates are
// tried from the end backwards and the first self-consistent one wins (both
// disk numbers 0, equal entry counts, the directory ending at or before the
// record), so a comment that happens to contain the signature does not hide
// the real record. Returns false when there is none.
bool FindEndRecord(const std::uint8_t* tail, std::size_t tailLength, std::uint64_t sourceLength,
                   std::uint64_t& position, EndRecord& record);

// The local header must describe the same entry as the directory: same
// method, same name length and, unless sizes follow the data, the same
// CRC-32 and sizes.
bool LocalMatchesCentral(const LocalHeader& local, const CentralRecord& central);

// Unix times (seconds since 1970, UTC) of an extended-timestamp ("UT")
// extra field; a flag is false when the field lacks that time.
struct ExtendedTimes {
    bool hasModify = false, hasAccess = false, hasCreate = false;
    std::uint32_t modify = 0, access = 0, create = 0;
};
ExtendedTimes FindExtendedTimes(const std::uint8_t* extra, std::size_t length);

// FILE_ATTRIBUTE_* bits from a central record (host system, external
// attributes, and a trailing "/" in the name).
std::uint32_t EntryAttributes(const CentralRecord& central, bool nameEndsWithSlash);

}  // namespace TarselUI::zip
