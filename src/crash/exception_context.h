#pragma once
// The crash record shared with the external reporter. The reporter reads it
// byte for byte from the named section, so the layout is fixed: every offset
// below is part of the contract and is checked at compile time.

#include <cstddef>
#include <cstdint>

namespace crash::thrower {

struct exception_context {
    static constexpr std::size_t kPathUnits = 260;
    static constexpr std::size_t kCommandLineUnits = 4096;
    static constexpr std::size_t kDescriptionUnits = 32768;
    static constexpr std::size_t kProductUnits = 8192;
    static constexpr std::size_t kVersionUnits = 1280;

    std::uint32_t tick_count;                      // when the filter began
    wchar_t exe_path[kPathUnits];                  // empty when unknown
    wchar_t command_line[kCommandLineUnits];       // at most 4095 characters
    std::uint32_t process_id;
    std::uint32_t thread_id;                       // the thread that raised
    std::uint32_t exception_pointers;              // address in the crashing process
    std::uint32_t exception_code;
    std::uint32_t exception_address;
    wchar_t description[kDescriptionUnits];        // at most 32767 characters
    wchar_t product[kProductUnits];
    wchar_t version[kVersionUnits];
};

static_assert(sizeof(wchar_t) == 2, "the record holds UTF-16 text");
static_assert(offsetof(exception_context, tick_count) == 0);
static_assert(offsetof(exception_context, exe_path) == 4);
static_assert(offsetof(exception_context, command_line) == 524);
static_assert(offsetof(exception_context, process_id) == 8716);
static_assert(offsetof(exception_context, thread_id) == 8720);
static_assert(offsetof(exception_context, exception_pointers) == 8724);
static_assert(offsetof(exception_context, exception_code) == 8728);
static_assert(offsetof(exception_context, exception_address) == 8732);
static_assert(offsetof(exception_context, description) == 8736);
static_assert(offsetof(exception_context, product) == 74272);
static_assert(offsetof(exception_context, version) == 90656);
static_assert(sizeof(exception_context) == 93216);

}  // namespace crash::thrower
