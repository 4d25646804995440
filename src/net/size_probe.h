#pragma once
// The header-only request that measures a file and tells whether the server
// honours byte ranges before any data is fetched.

#include <cstdint>
#include <optional>
#include <string>

#include "net/transfer_setup.h"

namespace net {

struct ProbeResult {
    // The length the server reported for the ranged answer (the download's
    // total size); empty when the file could not be measured: a failed
    // request, no Content-Length, or a file 32-bit positions cannot address.
    std::optional<int64_t> length;
    int64_t wholeFileSize = -1;  // the file's full size; -1 unknown
    bool rangesSupported = false;
    int32_t responseCode = 0;
    std::string headerText;  // every header line received, concatenated
    std::string errorText;   // why the file could not be measured
};

ProbeResult ProbeFileSize(const TransferSettings& settings);

}  // namespace net
