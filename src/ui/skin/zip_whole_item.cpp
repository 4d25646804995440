#include "ui/skin/zip_whole_item.h"

#include <algorithm>
#include <new>

#include "ui/skin/zip_archive_state.h"

namespace TarselUI {

ZipResult ZipReadWholeItem(ZipArchive* archive, const wchar_t* name, unsigned long maxSize,
                           std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    int index = -1;
    ZipEntry entry{};
    const ZipResult found = ZipFindItem(archive, name, true, &index, &entry);
    if (found != kZipSuccess) return found;
    // A damaged or hostile archive may declare gigabytes for a picture of a
    // few hundred bytes; a size no buffer here can hold is refused before
    // the allocation is tried (std::vector would throw length_error).
    if (entry.uncompressedSize > std::min(maxSize, kZipMaxWholeItemSize)) return zip::Remember(kZipOutOfMemory);
    if (entry.uncompressedSize == 0) return zip::Remember(kZipSuccess);
    try {
        bytes.resize(entry.uncompressedSize);
    } catch (const std::bad_alloc&) {
        return zip::Remember(kZipOutOfMemory);
    }
    // A buffer of exactly the entry's size is filled by the first call,
    // which answers "more data": both that and success mean done.
    const ZipResult result = ZipUnzipItem(archive, index, bytes.data(), entry.uncompressedSize, kZipSourceMemory);
    if (result != kZipSuccess && result != kZipMoreData) {
        bytes.clear();
        return result;
    }
    return zip::Remember(kZipSuccess);
}

}  // namespace TarselUI
