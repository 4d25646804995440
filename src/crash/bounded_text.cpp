#include "crash/bounded_text.h"

namespace crash::thrower::exception_toolkit {

bounded_text::bounded_text(wchar_t* buffer, std::size_t capacity) noexcept
    : buffer_(buffer), capacity_(buffer ? capacity : 0) {
    if (capacity_ > 0) buffer_[0] = L'\0';
}

bounded_text& bounded_text::append(wchar_t c) noexcept {
    if (length_ + 1 < capacity_) {
        buffer_[length_++] = c;
        buffer_[length_] = L'\0';
    } else {
        truncated_ = true;
    }
    return *this;
}

bounded_text& bounded_text::append(const wchar_t* text) noexcept {
    if (!text) return *this;
    for (; *text; ++text) {
        if (length_ + 1 >= capacity_) {
            truncated_ = true;
            break;
        }
        buffer_[length_++] = *text;
    }
    if (capacity_ > 0) buffer_[length_] = L'\0';
    return *this;
}

bounded_text& bounded_text::append_decimal(std::uint32_t value) noexcept {
    wchar_t digits[11];
    int count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) append(digits[--count]);
    return *this;
}

bounded_text& bounded_text::append_signed(std::int32_t value) noexcept {
    if (value >= 0) return append_decimal(static_cast<std::uint32_t>(value));
    append(L'-');
    // Negating in unsigned arithmetic keeps INT32_MIN exact.
    return append_decimal(0u - static_cast<std::uint32_t>(value));
}

bounded_text& bounded_text::append_hex8(std::uint32_t value) noexcept {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    append(L"0x");
    for (int shift = 28; shift >= 0; shift -= 4) append(kDigits[(value >> shift) & 0xF]);
    return *this;
}

}  // namespace crash::thrower::exception_toolkit
