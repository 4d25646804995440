#include "util/whole_file.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "util/unique_handle.h"

namespace Util {
namespace {

// Reads go in pieces of at most this size, so no single ReadFile call is
// asked for more than a DWORD can count, whatever the bound.
constexpr DWORD kReadPiece = 1u << 20;

template <typename Bytes>
WholeFileRead ReadFrom(HANDLE file, std::uint64_t maxBytes, Bytes& bytes) {
    WholeFileRead result;
    bytes.clear();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        result.systemError = ::GetLastError();
        return result;
    }
    result.size = static_cast<std::uint64_t>(size.QuadPart);
    if (result.size > maxBytes) {
        result.outcome = WholeFileOutcome::kTooLarge;
        return result;
    }
    if (result.size > bytes.max_size()) {
        result.systemError = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    try {
        bytes.resize(static_cast<std::size_t>(result.size));
    } catch (const std::bad_alloc&) {
        result.systemError = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kReadPiece));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, want, &got, nullptr)) {
            result.systemError = ::GetLastError();
            bytes.clear();
            return result;
        }
        if (got == 0) {
            // Someone cut the file short after its size was taken.
            result.systemError = ERROR_HANDLE_EOF;
            bytes.clear();
            return result;
        }
        done += got;
    }
    result.outcome = WholeFileOutcome::kRead;
    return result;
}

template <typename Bytes>
WholeFileRead ReadInto(const std::wstring& path, std::uint64_t maxBytes, Bytes& bytes) {
    bytes.clear();
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        WholeFileRead result;
        result.systemError = ::GetLastError();
        const bool missing = result.systemError == ERROR_FILE_NOT_FOUND || result.systemError == ERROR_PATH_NOT_FOUND;
        result.outcome = missing ? WholeFileOutcome::kMissing : WholeFileOutcome::kUnreadable;
        return result;
    }
    return ReadFrom(file.get(), maxBytes, bytes);
}

}  // namespace

WholeFileRead ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes, std::string& bytes) {
    return ReadInto(path, maxBytes, bytes);
}

WholeFileRead ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes, std::vector<std::uint8_t>& bytes) {
    return ReadInto(path, maxBytes, bytes);
}

WholeFileRead ReadWholeOpenFile(void* file, std::uint64_t maxBytes, std::string& bytes) {
    return ReadFrom(static_cast<HANDLE>(file), maxBytes, bytes);
}

}  // namespace Util
