#pragma once
// The size of a file, 64 bits wide, with a missing file told apart from an
// empty one.

#include <cstdint>
#include <string>

namespace Util {

// -1 when there is no file of that name (or it is a folder).
int64_t FileSizeOrMissing(const std::wstring& path);

}  // namespace Util
