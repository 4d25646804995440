#include "ui/skin/zip_source.h"

#include <cstring>

namespace TarselUI::zip {

ByteSource::Read ByteSource::ReadAt(std::uint64_t offset, void* out, std::size_t length) {
    if (!Contains(offset, length)) return Read::OutOfRange;
    if (data_) {
        std::memcpy(out, data_ + offset, length);
        return Read::Ok;
    }
    auto* cursor = static_cast<std::uint8_t*>(out);
    while (length > 0) {
        // The offset travels in the OVERLAPPED record, so no shared file
        // pointer has to be moved first.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = length > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length);
        DWORD got = 0;
        if (!::ReadFile(file_.get(), cursor, chunk, &got, &at) || got == 0) return Read::Failed;
        cursor += got;
        offset += got;
        length -= got;
    }
    return Read::Ok;
}

}  // namespace TarselUI::zip
