#pragma once
// Reading a file whole, bounded by a size the caller chooses: the update
// document, the release tool's documents and signatures, and skin images
// all come through here, so a refusal means the same everywhere.

#include <cstdint>
#include <string>
#include <vector>

namespace Util {

enum class WholeFileOutcome {
    kRead,        // every byte is in the buffer (none for an empty file)
    kMissing,     // the file, or a folder on its way, does not exist
    kTooLarge,    // larger than the caller's bound; nothing was read
    kUnreadable,  // it exists but cannot be opened or read whole: a folder,
                  // a file someone else holds without sharing reading, a
                  // read error, a file that ends before its size
};

struct WholeFileRead {
    WholeFileOutcome outcome = WholeFileOutcome::kUnreadable;
    // Why it was missing or unreadable, as the system says it; a file that
    // ended before the size it had when opened gives ERROR_HANDLE_EOF, a
    // buffer that could not be had ERROR_NOT_ENOUGH_MEMORY.
    unsigned long systemError = 0;
    // The file's size, once it was learnt (with kTooLarge: how large).
    std::uint64_t size = 0;

    bool read() const { return outcome == WholeFileOutcome::kRead; }
};

// Reads `path` whole into `bytes` (replacing what it held) when the file
// holds at most `maxBytes` bytes. The file is opened sharing reading only,
// so a file someone is still writing is refused. On any failure `bytes` is
// left empty.
WholeFileRead ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes, std::string& bytes);
WholeFileRead ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes, std::vector<std::uint8_t>& bytes);

// The same from a file the caller opened with read access and keeps open,
// so that what was read cannot be swapped before the caller is done with it
// (a HANDLE; `void*` keeps windows.h out of this header). Reads from the
// handle's current position; never kMissing.
WholeFileRead ReadWholeOpenFile(void* file, std::uint64_t maxBytes, std::string& bytes);

}  // namespace Util
