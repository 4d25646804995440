#pragma once
// Text composition into a fixed buffer. The crash path must not touch the
// heap (it may be the thing that is broken), so every text the filter builds
// goes through this writer: it keeps the buffer NUL-terminated and drops
// whatever does not fit instead of failing.

#include <cstddef>
#include <cstdint>

namespace crash::thrower::exception_toolkit {

class bounded_text {
public:
    // `capacity` counts the terminating NUL, so at most capacity - 1
    // characters are kept. A zero capacity keeps nothing and writes nothing.
    bounded_text(wchar_t* buffer, std::size_t capacity) noexcept;

    bounded_text& append(const wchar_t* text) noexcept;  // null appends nothing
    bounded_text& append(wchar_t c) noexcept;
    bounded_text& append_decimal(std::uint32_t value) noexcept;  // "%lu"
    bounded_text& append_signed(std::int32_t value) noexcept;    // "%d"
    bounded_text& append_hex8(std::uint32_t value) noexcept;     // "0x%08X"

    std::size_t length() const noexcept { return length_; }
    bool truncated() const noexcept { return truncated_; }
    const wchar_t* c_str() const noexcept { return buffer_; }

private:
    wchar_t* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool truncated_ = false;
};

}  // namespace crash::thrower::exception_toolkit
