#pragma once
// Security of the crash section: anyone may open it (null DACL) and it
// carries a low mandatory label, so a reporter running at low integrity can
// still read the record of an elevated process.

#include <windows.h>

#include "util/unique_handle.h"

namespace crash::thrower::exception_toolkit {

constexpr const wchar_t* kChannelSacl = L"S:(ML;;;;;LW)";

class channel_security {
public:
    // Builds the descriptor. When the SDDL text cannot be converted or holds
    // no SACL, the descriptor keeps only the null DACL.
    channel_security() noexcept;
    channel_security(const channel_security&) = delete;
    channel_security& operator=(const channel_security&) = delete;

    SECURITY_ATTRIBUTES* attributes() noexcept { return &attributes_; }
    bool has_low_label() const noexcept { return hasLabel_; }

private:
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    Util::UniqueLocalMem converted_;  // owns the SACL the descriptor points into
    bool hasLabel_ = false;
};

}  // namespace crash::thrower::exception_toolkit
