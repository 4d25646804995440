#pragma once
// What an open archive remembers between calls. Shared by the files that
// implement the reader's operations; nothing outside src/ui/skin uses it.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/skin/zip_archive.h"
#include "ui/skin/zip_records.h"
#include "ui/skin/zip_source.h"

namespace TarselUI {

namespace zip {

constexpr std::uint32_t kLiveArchiveTag = 0x5450495A;
constexpr std::size_t kInputBlockSize = 16384;

struct DirectoryItem {
    CentralRecord central;
    std::string name;        // stored bytes
    std::string foldedName;  // the same with "a".."z" as "A".."Z"
};

// The entry being extracted and how far extraction has got.
struct OpenItem {
    int index = -1;
    bool deflated = false;
    bool streamEnded = false;
    std::uint64_t inputPosition = 0;  // next compressed byte in the source
    std::uint64_t inputLeft = 0;
    std::uint32_t outputLeft = 0;
    std::uint32_t crc = 0;
    std::uint32_t expectedCrc = 0;
};

std::string FoldAsciiCase(std::string text);

// Records the result of an operation as the last result and returns it.
ZipResult Remember(ZipResult result);

}  // namespace zip

struct ZipArchive {
    explicit ZipArchive(zip::ByteSource bytes) : source(std::move(bytes)) {}
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Parses directory records until entry `index` is known; a result code
    // when the directory is damaged before it.
    ZipResult ReachEntry(int index);
    // Where an entry's data begins, after checking its local header against
    // the directory; fills `local`.
    ZipResult LocateData(int index, zip::LocalHeader& local, std::uint64_t& dataStart,
                         std::vector<std::uint8_t>* extra);
    void CloseItem();

    std::uint32_t tag = zip::kLiveArchiveTag;
    zip::ByteSource source;
    std::uint64_t prefix = 0;  // bytes in front of the archive proper
    std::uint64_t directoryEnd = 0;
    int entryCount = 0;
    std::vector<zip::DirectoryItem> directory;  // the records parsed so far, in order
    std::uint64_t nextRecord = 0;
    ZipResult directoryDamage = kZipSuccess;  // why parsing stopped early, if it did

    zip::OpenItem item;
    z_stream inflater{};
    bool inflaterReady = false;
    std::vector<std::uint8_t> inputBuffer;

    int cachedIndex = -1;
    ZipEntry cachedEntry{};
};

}  // namespace TarselUI
