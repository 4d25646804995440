#include "release/add_package.h"

#include <json/reader.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "digest/sha256.h"
#include "update/json_text.h"

namespace release {
namespace {

constexpr int kLauncherNesting = 64;

std::string RuleText(const NewRelease& r) {
    return "{ \"TargetMD5\": " + JsonString(r.md5) + ", \"Type\": " + JsonString(r.type) +
           ", \"VersionUpdate\": " + JsonString(r.pattern) + " }";
}

std::string StringArray(const std::vector<std::string>& items, const std::string& indent, const std::string& unit) {
    if (items.empty()) return "[]";
    std::string text = "[\n";
    for (size_t i = 0; i < items.size(); ++i) {
        text += indent + unit + JsonString(items[i]) + (i + 1 < items.size() ? ",\n" : "\n");
    }
    return text + indent + "]";
}

// The package object, opening at the current column; `indent` is the
// indentation of the line it opens on.
std::string PackageText(const NewRelease& r, const std::string& indent, const std::string& unit) {
    const std::string inner = indent + unit;
    std::string text = "{\n";
    text += inner + "\"ExeUrl\": " + JsonString(r.url) + ",\n";
    text += inner + "\"Version\": " + JsonString(r.version) + ",\n";
    if (!r.sha256.empty()) text += inner + "\"SHA256\": " + JsonString(r.sha256) + ",\n";
    text += inner + "\"Descriptions\": " + StringArray(r.descriptions, inner, unit) + ",\n";
    text += inner + "\"ImageUrls\": " + StringArray(r.images, inner, unit) + "\n";
    return text + indent + "}";
}

std::string IndentOfLine(const std::string& text, size_t offset) {
    size_t start = text.rfind('\n', offset == 0 ? 0 : offset - 1);
    start = (start == std::string::npos || offset == 0) ? 0 : start + 1;
    size_t end = start;
    while (end < text.size() && (text[end] == ' ' || text[end] == '\t')) ++end;
    return text.substr(start, end - start);
}

// The member or element that ends last in the document.
const Json::Value* LastChild(const Json::Value& container) {
    const Json::Value* last = nullptr;
    for (const Json::Value& child : container) {
        if (!last || child.getOffsetLimit() > last->getOffsetLimit()) last = &child;
    }
    return last;
}

// Where a "//" comment, or a "/* */" one closed on the same line, that
// follows `offset` on its line ends; `offset` when none follows.
size_t EndOfLineComment(const std::string& text, size_t offset) {
    size_t at = offset;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (text.compare(at, 2, "//") == 0) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        if (end > at && text[end - 1] == '\r') --end;
        return end;
    }
    if (text.compare(at, 2, "/*") == 0) {
        size_t close = text.find("*/", at + 2);
        size_t line = text.find('\n', at);
        if (close != std::string::npos && (line == std::string::npos || close < line)) return close + 2;
    }
    return offset;
}

class Insertions {
public:
    void Add(size_t offset, std::string text) { byOffset_[offset] += text; }
    std::string ApplyTo(const std::string& document) const {
        std::string result = document;
        for (auto it = byOffset_.rbegin(); it != byOffset_.rend(); ++it) result.insert(it->first, it->second);
        return result;
    }

private:
    std::map<size_t, std::string> byOffset_;  // texts at one offset keep their order
};

// Appends `entryText` (one array element or object member, already written
// for the indentation `childIndent`) to `container`.
void AppendChild(const std::string& document, const Json::Value& container, const std::string& entryText,
                 const std::string& unit, Insertions& insertions) {
    if (const Json::Value* last = LastChild(container)) {
        // The comma right after the value; the new entry on a line of its
        // own after a comment that ends the line ("}, // old clients").
        size_t end = static_cast<size_t>(last->getOffsetLimit());
        insertions.Add(end, ",");
        insertions.Add(EndOfLineComment(document, end),
                       "\n" + IndentOfLine(document, static_cast<size_t>(last->getOffsetStart())) + entryText);
        return;
    }
    size_t open = static_cast<size_t>(container.getOffsetStart());
    std::string indent = IndentOfLine(document, open);
    insertions.Add(open + 1, "\n" + indent + unit + entryText + "\n" + indent);
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

AddedDocument AddRelease(const std::string& existing, const NewRelease& r) {
    AddedDocument added;
    const std::string packageLine = "package " + r.md5 + " (version " + r.version + ", " + r.url + ")";
    const std::string ruleLine = "installed versions " + r.pattern + " get package " + r.md5 + ", mode " + r.type;
    if (existing.find_first_not_of(" \t\r\n") == std::string::npos) {
        const std::string unit = "  ";
        added.text = "{\n" + unit + "\"Configs\": [\n" + unit + unit + RuleText(r) + "\n" + unit + "],\n" + unit +
                     "\"Targets\": {\n" + unit + unit + JsonString(r.md5) + ": " + PackageText(r, unit + unit, unit) +
                     "\n" + unit + "}\n}\n";
        added.changes = {"added " + packageLine + " under \"Targets\"", "added rule 1: " + ruleLine};
        added.ok = true;
        return added;
    }

    Json::CharReaderBuilder builder;
    builder["stackLimit"] = kLauncherNesting;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    bool parsed = false;
    try {
        parsed = reader->parse(existing.data(), existing.data() + existing.size(), &root, &errors);
    } catch (const std::exception&) {
    }
    if (!parsed || !root.isObject()) {
        added.error = "the document is not a JSON object the launcher can read; run check and mend it first";
        return added;
    }
    if (root.empty()) return AddRelease(std::string(), r);  // "{}": nothing to keep
    const Json::Value* firstMember = nullptr;
    for (const Json::Value& member : root) {
        if (!firstMember || member.getOffsetStart() < firstMember->getOffsetStart()) firstMember = &member;
    }
    std::string unit = firstMember ? IndentOfLine(existing, static_cast<size_t>(firstMember->getOffsetStart())) : "";
    if (unit.empty()) unit = "  ";

    const Json::Value* configs = root.find("Configs", "Configs" + 7);
    const Json::Value* targets = root.find("Targets", "Targets" + 7);
    if (configs && !configs->isArray()) {
        added.error = "\"Configs\" is not an array; mend it first";
        return added;
    }
    if (targets && !targets->isObject()) {
        added.error = "\"Targets\" is not an object; mend it first";
        return added;
    }

    Insertions insertions;
    const std::string rootIndent = IndentOfLine(existing, static_cast<size_t>(root.getOffsetStart()));
    const std::string memberIndent =
        firstMember ? IndentOfLine(existing, static_cast<size_t>(firstMember->getOffsetStart())) : rootIndent + unit;
    if (configs) {
        AppendChild(existing, *configs, RuleText(r), unit, insertions);
        added.changes.push_back("added rule " + std::to_string(configs->size() + 1) + ": " + ruleLine);
    } else {
        AppendChild(existing, root, "\"Configs\": [\n" + memberIndent + unit + RuleText(r) + "\n" + memberIndent + "]",
                    unit, insertions);
        added.changes.push_back("added \"Configs\" with rule 1: " + ruleLine);
    }

    const Json::Value* known = targets ? targets->find(r.md5.data(), r.md5.data() + r.md5.size()) : nullptr;
    if (known) {
        std::string url = json_text::MemberAsText(*known, "ExeUrl", existing);
        std::string version = json_text::MemberAsText(*known, "Version", existing);
        if (!known->isObject() || url != r.url || version != r.version) {
            added.error = "package " + r.md5 + " is already listed with ExeUrl \"" + url + "\" and Version \"" +
                          version + "\"; change or remove that entry by hand first";
            return added;
        }
        // A listed SHA-256 that is not this installer's would make every
        // launcher reject the download it is about to be handed.
        const bool listsSha256 = known->isMember("SHA256");
        const std::string sha256 = json_text::MemberAsText(*known, "SHA256", existing);
        if (listsSha256 && !r.sha256.empty() && !Sha256TextMatches(r.sha256, sha256)) {
            added.error = "package " + r.md5 + " is already listed with SHA256 \"" + sha256 + "\", but the installer's is " +
                          r.sha256 + "; change or remove that entry by hand first";
            return added;
        }
        added.changes.insert(added.changes.begin(),
                             "kept " + packageLine + ", already under \"Targets\"" +
                                 (listsSha256 ? std::string() : " (without SHA256: only its MD5 is checked)"));
    } else if (targets) {
        const Json::Value* last = LastChild(*targets);
        std::string indent = last ? IndentOfLine(existing, static_cast<size_t>(last->getOffsetStart()))
                                  : IndentOfLine(existing, static_cast<size_t>(targets->getOffsetStart())) + unit;
        AppendChild(existing, *targets, JsonString(r.md5) + ": " + PackageText(r, indent, unit), unit, insertions);
        added.changes.insert(added.changes.begin(), "added " + packageLine + " under \"Targets\"");
    } else {
        const std::string inner = memberIndent + unit;
        AppendChild(existing, root,
                    "\"Targets\": {\n" + inner + JsonString(r.md5) + ": " + PackageText(r, inner, unit) + "\n" +
                        memberIndent + "}",
                    unit, insertions);
        added.changes.insert(added.changes.begin(), "added \"Targets\" with " + packageLine);
    }
    added.text = insertions.ApplyTo(existing);
    added.ok = true;
    return added;
}

}  // namespace release
