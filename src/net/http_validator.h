#pragma once
// What identifies one version of a file on an HTTP server: its entity tag
// and its modification time, as the server's response headers give them. A
// download continued later asks for the rest only "If-Range" the file is
// still that version; otherwise the server sends the whole new file.

#include <string>

namespace net {

struct Validator {
    std::string etag;          // strong entity tag with its quotes; "" none
    std::string lastModified;  // the HTTP date as sent; "" none

    bool empty() const { return etag.empty() && lastModified.empty(); }
    bool operator==(const Validator& other) const {
        return etag == other.etag && lastModified == other.lastModified;
    }
};

// Longest header value kept: real tags and dates are far shorter, and the
// value is sent back to the server and stored in the download record.
inline constexpr size_t kMaxValidatorLength = 200;

// The validator of the last response in `headers` (every header line of a
// request, a redirect's first). A weak tag (W/"...") cannot ask for a part
// of a file and is left out; so is any value that is too long or holds a
// character outside printable ASCII, which could break the request line it
// would be sent in.
Validator FindValidator(const std::string& headers);

// True when the validator is not empty and each of its values is one that
// FindValidator keeps: a damaged record must not put anything else into a
// request.
bool IsSendableValidator(const Validator& validator);

// The value of the If-Range header for `validator`: the entity tag when
// there is one, otherwise the date; "" for an empty validator.
std::string IfRangeValue(const Validator& validator);

}  // namespace net
