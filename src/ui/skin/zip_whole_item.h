#pragma once
// Reading one archive entry whole into memory, for callers that hold a
// skin file or picture in one buffer.

#include <cstdint>
#include <vector>

#include "ui/skin/zip_archive.h"

namespace TarselUI {

// The largest entry read whole: a buffer must be addressable by a signed
// 32-bit size, the most a 32-bit process can hold in one piece.
constexpr unsigned long kZipMaxWholeItemSize = 0x7FFFFFFF;

// Finds `name` (letter case ignored) and reads it whole into `bytes`. The
// size the archive declares is checked before anything is allocated: an
// entry larger than `maxSize` is refused with kZipOutOfMemory, as is one
// whose buffer cannot be allocated. An empty entry gives kZipSuccess and no
// bytes; a missing one kZipNotFound; damaged data the reader's own code.
// The result is also the archive's last result.
ZipResult ZipReadWholeItem(ZipArchive* archive, const wchar_t* name, unsigned long maxSize,
                           std::vector<std::uint8_t>& bytes);

}  // namespace TarselUI
