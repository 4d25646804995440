#pragma once
// Whether a server honours If-Range: asked for one byte of a file on
// condition that it is still the version a validator names, it must send
// that byte (206) when the validator is the file's and the whole file (200)
// when it is not. A download continued later relies on both.

#include <string>

#include "net/transfer_setup.h"

namespace net {

// The status of the answer to a request for the file's first byte with
// "If-Range: `ifRange`"; the body is not fetched. 0 when no answer came.
int IfRangeAnswer(const TransferSettings& settings, const std::string& ifRange);

// A validator no server gives: the answer to it must be the whole file.
std::string ForeignIfRangeValue(const std::string& ifRange);

}  // namespace net
