#pragma once
// Adding one package and the rule that hands it out to an update document,
// as text: what is already there (member order, comments, indentation)
// stays as written, and the new members follow in the document's own
// indentation.

#include <string>
#include <vector>

namespace release {

struct NewRelease {
    std::string md5;     // upper case
    std::string sha256;  // lower case; "" writes no "SHA256"
    std::string url;
    std::string version;
    std::string pattern;
    std::string type;
    std::vector<std::string> descriptions;  // UTF-8
    std::vector<std::string> images;
};

struct AddedDocument {
    bool ok = false;
    std::string text;                  // the whole new document
    std::vector<std::string> changes;  // one line per change, for the user
    std::string error;                 // why nothing can be added
};

// `existing` is the current document; empty for a new one.
AddedDocument AddRelease(const std::string& existing, const NewRelease& release);

// A JSON string literal for UTF-8 text.
std::string JsonString(const std::string& text);

}  // namespace release
