#pragma once
// The bytes an archive is read from: a memory block read in place, or an
// open file. Reads name an absolute offset and never go past the end.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "util/unique_handle.h"

namespace TarselUI::zip {

class ByteSource {
public:
    enum class Read { Ok, OutOfRange, Failed };

    ByteSource(const std::uint8_t* data, std::uint64_t size) noexcept : data_(data), size_(size) {}
    ByteSource(Util::UniqueFile file, std::uint64_t size) noexcept
        : file_(std::move(file)), size_(size) {}

    std::uint64_t size() const noexcept { return size_; }

    // True when [offset, offset + length) lies inside the source.
    bool Contains(std::uint64_t offset, std::uint64_t length) const noexcept {
        return offset <= size_ && length <= size_ - offset;
    }

    // Copies exactly `length` bytes from `offset`.
    Read ReadAt(std::uint64_t offset, void* out, std::size_t length);

    // The bytes in place, for memory sources (no copy); null for files or a
    // range outside the source.
    const std::uint8_t* View(std::uint64_t offset, std::size_t length) const noexcept {
        if (!data_ || !Contains(offset, length)) return nullptr;
        return data_ + offset;
    }

    bool InMemory() const noexcept { return data_ != nullptr; }

private:
    const std::uint8_t* data_ = nullptr;
    Util::UniqueFile file_;
    std::uint64_t size_ = 0;
};

}  // namespace TarselUI::zip
