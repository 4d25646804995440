// Extraction of one entry into memory, possibly over several calls.

#include <algorithm>
#include <new>

#include "ui/skin/zip_archive.h"
#include "ui/skin/zip_archive_state.h"

namespace TarselUI {

namespace {

ZipResult OpenItem(ZipArchive& archive, int index) {
    zip::LocalHeader local{};
    std::uint64_t dataStart = 0;
    const ZipResult located = archive.LocateData(index, local, dataStart, nullptr);
    if (located != kZipSuccess) return located;
    const zip::CentralRecord& central = archive.directory[index].central;
    if (central.flags & zip::kFlagEncrypted) return kZipCorrupt;
    if (central.method != zip::kMethodStored && central.method != zip::kMethodDeflate) {
        return kZipCorrupt;
    }
    const bool deflated = central.method == zip::kMethodDeflate;
    if (!deflated && central.compressedSize != central.uncompressedSize) return kZipCorrupt;

    if (deflated) {
        // Raw DEFLATE: entries carry no zlib header.
        const int status = archive.inflaterReady ? ::inflateReset(&archive.inflater)
                                                 : ::inflateInit2(&archive.inflater, -MAX_WBITS);
        if (status == Z_MEM_ERROR) return kZipOutOfMemory;
        if (status != Z_OK) return kZipInflateFailed;
        archive.inflaterReady = true;
        archive.inflater.next_in = nullptr;
        archive.inflater.avail_in = 0;
        if (!archive.source.InMemory()) archive.inputBuffer.resize(zip::kInputBlockSize);
    }
    zip::OpenItem& item = archive.item;
    item.index = index;
    item.deflated = deflated;
    item.streamEnded = false;
    item.inputPosition = dataStart;
    item.inputLeft = central.compressedSize;
    item.outputLeft = central.uncompressedSize;
    item.crc = ::crc32(0, nullptr, 0);
    item.expectedCrc = central.crc32;
    return kZipSuccess;
}

// Hands zlib the next block of compressed input: in place for memory
// sources, through the input buffer for files.
ZipResult FeedInput(ZipArchive& archive) {
    zip::OpenItem& item = archive.item;
    const std::size_t block =
        static_cast<std::size_t>(std::min<std::uint64_t>(item.inputLeft, zip::kInputBlockSize));
    const std::uint8_t* bytes = archive.source.View(item.inputPosition, block);
    if (!bytes) {
        if (archive.source.ReadAt(item.inputPosition, archive.inputBuffer.data(), block) !=
            zip::ByteSource::Read::Ok) {
            return kZipInflateFailed;
        }
        bytes = archive.inputBuffer.data();
    }
    archive.inflater.next_in = const_cast<Bytef*>(bytes);
    archive.inflater.avail_in = static_cast<uInt>(block);
    item.inputPosition += block;
    item.inputLeft -= block;
    return kZipSuccess;
}

ZipResult CopyStored(ZipArchive& archive, std::uint8_t* out, std::uint32_t wanted) {
    zip::OpenItem& item = archive.item;
    while (wanted > 0) {
        const std::uint32_t block = std::min<std::uint32_t>(wanted, zip::kInputBlockSize);
        if (archive.source.ReadAt(item.inputPosition, out, block) != zip::ByteSource::Read::Ok) {
            return kZipInflateFailed;
        }
        item.inputPosition += block;
        item.inputLeft -= block;
        out += block;
        wanted -= block;
    }
    return kZipSuccess;
}

ZipResult Inflate(ZipArchive& archive, std::uint8_t* out, std::uint32_t wanted, std::uint32_t& produced) {
    zip::OpenItem& item = archive.item;
    z_stream& stream = archive.inflater;
    stream.next_out = out;
    stream.avail_out = wanted;
    while (stream.avail_out > 0) {
        if (stream.avail_in == 0 && item.inputLeft > 0 && FeedInput(archive) != kZipSuccess) {
            produced = wanted - stream.avail_out;
            return kZipInflateFailed;
        }
        const int status = ::inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            item.streamEnded = true;
            break;
        }
        // Z_BUF_ERROR here means no progress is possible: the compressed
        // data stops before the stream does.
        if (status != Z_OK) {
            produced = wanted - stream.avail_out;
            return kZipInflateFailed;
        }
    }
    produced = wanted - stream.avail_out;
    return kZipSuccess;
}

ZipResult ReadIntoMemory(ZipArchive& archive, std::uint8_t* out, unsigned long length) {
    zip::OpenItem& item = archive.item;
    const std::uint32_t wanted = std::min<std::uint32_t>(length, item.outputLeft);
    std::uint32_t produced = 0;
    ZipResult status = kZipSuccess;
    if (item.deflated) {
        status = Inflate(archive, out, wanted, produced);
    } else {
        status = CopyStored(archive, out, wanted);
        produced = status == kZipSuccess ? wanted : 0;
    }
    if (status != kZipSuccess) {
        archive.CloseItem();
        return status;
    }
    // zlib's crc32 restarts at its initial value when given no buffer.
    if (produced > 0) item.crc = ::crc32(item.crc, out, produced);
    item.outputLeft -= produced;

    // The recorded size and CRC-32 are the only guard against a damaged
    // entry: bytes that fail them are reported, never handed out as good.
    const bool allProduced = item.outputLeft == 0;
    const bool endedEarly = item.deflated ? item.streamEnded : item.inputLeft == 0;
    if ((allProduced && item.crc != item.expectedCrc) || (!allProduced && endedEarly)) {
        archive.CloseItem();
        return kZipCorrupt;
    }
    if (produced > 0) return kZipMoreData;
    archive.CloseItem();
    return kZipSuccess;
}

}  // namespace

ZipResult ZipUnzipItem(ZipArchive* archive, int index, void* destination, unsigned long length,
                       unsigned long kind) {
    try {
        if (!archive) return zip::Remember(kZipBadArguments);
        if (archive->tag != zip::kLiveArchiveTag) return zip::Remember(kZipNotOpenedForReading);
        if (kind != kZipSourceMemory || (!destination && length > 0)) {
            return zip::Remember(kZipBadArguments);
        }
        if (index < 0 || index >= archive->entryCount) {
            archive->CloseItem();
            return zip::Remember(kZipBadArguments);
        }
        if (index != archive->item.index) {
            archive->CloseItem();
            const ZipResult opened = OpenItem(*archive, index);
            if (opened != kZipSuccess) {
                archive->CloseItem();
                return zip::Remember(opened);
            }
        }
        return zip::Remember(ReadIntoMemory(*archive, static_cast<std::uint8_t*>(destination), length));
    } catch (const std::bad_alloc&) {
        archive->CloseItem();
        return zip::Remember(kZipOutOfMemory);
    }
}

}  // namespace TarselUI
