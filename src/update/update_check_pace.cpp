#include "update/update_check_pace.h"

UpdateCheckLimits LimitsForCheck(const UpdateCheckPace& pace, uint64_t start) {
    net::TransferLimits common;
    common.floorBytesPerSecond = pace.floorBytesPerSecond;
    common.floorWindowSeconds = pace.floorWindowSeconds;

    UpdateCheckLimits limits;
    limits.package = common;
    limits.package.deadline = start + pace.wholeCheckMs;
    limits.document = common;
    limits.document.deadline = start + (pace.documentPhaseMs < pace.wholeCheckMs ? pace.documentPhaseMs : pace.wholeCheckMs);
    limits.document.maxBytes = kMaxDocumentBytes;
    limits.signature = limits.document;
    limits.signature.maxBytes = kMaxSignatureBytes;
    return limits;
}
