// The build time compiled into this program, the floor for update documents
// when the recorded one has been lost (see ReadRecordedFloor).
#include "update/signed_document.h"

#ifndef TARSEL_UPDATE_TIMESTAMP_FLOOR
#define TARSEL_UPDATE_TIMESTAMP_FLOOR 0
#endif

std::uint64_t BuiltInTimestampFloor() { return static_cast<std::uint64_t>(TARSEL_UPDATE_TIMESTAMP_FLOOR); }
