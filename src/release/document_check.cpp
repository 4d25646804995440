#include "release/document_check.h"

#include <json/reader.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "digest/sha256.h"
#include "release/document_file.h"
#include "release/later_rules.h"
#include "release/version_space.h"
#include "update/json_text.h"
#include "update/version_pattern.h"

namespace release {
namespace {

// The launcher's parser takes no deeper nesting than this.
constexpr int kLauncherNesting = 64;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Line numbers of byte offsets from one pass over the document: counting
// from its start for every rule made a document of many rules quadratic.
class LineIndex {
public:
    explicit LineIndex(const std::string& text) : size_(text.size()) {
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') newlines_.push_back(i);
        }
    }
    // As LineAt: one more than the line ends before `offset`.
    int At(size_t offset) const {
        offset = std::min(offset, size_);
        return 1 + static_cast<int>(std::lower_bound(newlines_.begin(), newlines_.end(), offset) - newlines_.begin());
    }

private:
    size_t size_;
    std::vector<size_t> newlines_;
};

// The line of a member's value, or `fallback` when there is no such member.
int MemberLine(const LineIndex& lines, const Json::Value& object, const char* name, int fallback) {
    if (!object.isObject()) return fallback;
    const Json::Value* member = object.find(name, name + std::char_traits<char>::length(name));
    if (!member) return fallback;
    return lines.At(static_cast<size_t>(member->getOffsetStart()));
}

// The line where the nesting first goes deeper than the launcher's limit,
// brackets inside strings not counted.
int LineOfDeepNesting(const std::string& document) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < document.size(); ++i) {
        char c = document[i];
        if (inString) {
            if (c == '\\') {
                ++i;  // the escaped character cannot end the string
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kLauncherNesting) return LineAt(document, i);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return 1;
}

// Why the launcher refused a document it could read, as one problem.
Problem WhyNotJson(const std::string& document) {
    Json::CharReaderBuilder builder;
    builder["stackLimit"] = kLauncherNesting;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (reader->parse(document.data(), document.data() + document.size(), &root, &errors)) {
            return {true, 1, "the launcher cannot read the document"};
        }
    } catch (const std::exception&) {
        return {true, LineOfDeepNesting(document),
                "nested deeper than the launcher's limit of " + std::to_string(kLauncherNesting) + " levels"};
    }
    // jsoncpp writes "* Line N, Column M\n  message\n..."
    int line = 1, column = 0;
    std::sscanf(errors.c_str(), "* Line %d, Column %d", &line, &column);
    std::string message = errors;
    size_t start = message.find('\n');
    message = start == std::string::npos ? message : message.substr(start + 1);
    message = message.substr(0, message.find('\n'));
    message.erase(0, message.find_first_not_of(' '));
    if (document.empty()) message = "the document is empty";
    return {true, std::max(line, 1), "not valid JSON: " + (message.empty() ? std::string("syntax error") : message)};
}

// What the selection makes of one record, for the questions about all
// versions; nothing when the record can never be chosen for another reason
// already reported.
struct RuleShape {
    bool usable = false;
    RuleRegion region;
};

RuleShape ShapeOf(const UpdateInfo& rule) {
    RuleShape shape;
    std::array<std::string_view, 4> fields;
    if (!version_text::SplitFourPatternFields(UpdateInfoField(rule, "version"), fields)) return shape;
    for (size_t k = 0; k < 4; ++k) {
        FieldReading reading = ReadPatternField(std::string(fields[k]));
        if (!reading.problem.empty()) return shape;
        shape.region.box[k] = reading.range;
    }
    const std::string& newVersion = UpdateInfoField(rule, "newversion");
    std::vector<int> numbers = UpdateMatcher::SplitVersion(newVersion);
    if (numbers.size() != 4) return shape;
    for (size_t k = 0; k < 4; ++k) shape.region.package[k] = numbers[k];
    shape.region.packageEqualApplies = VersionText(shape.region.package) == newVersion;
    shape.usable = true;
    return shape;
}

class Checker {
public:
    Checker(const std::string& document, CheckedDocument& out) : document_(document), lines_(document), out_(out) {}

    void Run() {
        Json::CharReaderBuilder builder;
        builder["stackLimit"] = kLauncherNesting;
        builder["collectComments"] = false;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        try {
            if (!reader->parse(document_.data(), document_.data() + document_.size(), &root_, &errors)) return;
        } catch (const std::exception&) {
            return;
        }
        if (!root_.isObject()) {
            Add(true, 1, "the document is not a JSON object: the launcher finds no rules in it");
            return;
        }
        const Json::Value& configs = json_text::MemberIfArray(root_, "Configs");
        const Json::Value& targets = json_text::MemberIfObject(root_, "Targets");
        if (root_.isMember("Targets") && !targets.isObject()) {
            Add(true, MemberLine(lines_, root_, "Targets", 1), "\"Targets\" is not an object: no package is found");
        }
        if (!root_.isMember("Configs") || !configs.isArray()) {
            Add(false, MemberLine(lines_, root_, "Configs", 1), "no \"Configs\" array: nobody is offered an update");
            return;
        }
        if (configs.empty()) {
            Add(false, MemberLine(lines_, root_, "Configs", 1), "\"Configs\" is empty: nobody is offered an update");
        }
        size_t record = 0;
        for (Json::ArrayIndex i = 0; i < configs.size(); ++i) {
            const Json::Value& rule = configs[i];
            int number = static_cast<int>(i) + 1;
            int line = lines_.At(static_cast<size_t>(rule.getOffsetStart()));
            if (!rule.isObject()) {
                Add(false, line, "rule " + std::to_string(number) + " is not an object: the launcher skips it");
                continue;
            }
            if (record >= out_.rules.size()) break;  // cannot happen: the launcher keeps every object
            out_.ruleNumbers.push_back(number);
            out_.ruleLines.push_back(line);
            CheckRule(out_.rules[record], rule, targets, number, line);
            ++record;
        }
        CheckAcrossRules();
    }

private:
    void Add(bool error, int line, std::string text) { out_.problems.push_back({error, line, std::move(text)}); }

    void CheckRule(const UpdateInfo& info, const Json::Value& rule, const Json::Value& targets, int number, int line) {
        const std::string name = "rule " + std::to_string(number) + ": ";
        const std::string& md5 = UpdateInfoField(info, "md5");
        const int md5Line = MemberLine(lines_, rule, "TargetMD5", line);
        if (md5.empty()) {
            Add(true, md5Line, name + "no TargetMD5: no package can verify");
        } else if (!IsLauncherDigest(md5)) {
            std::string upper = md5;
            std::transform(upper.begin(), upper.end(), upper.begin(),
                           [](char c) { return c >= 'a' && c <= 'f' ? c - 32 : c; });
            if (IsLauncherDigest(upper)) {
                Add(true, md5Line,
                    name + "TargetMD5 " + Quoted(md5) +
                        " is in lower case: the launcher compares upper-case digests, so the package never verifies");
            } else {
                Add(true, md5Line,
                    name + "TargetMD5 " + Quoted(md5) + " is not 32 hexadecimal digits: the package never verifies");
            }
        }

        const std::string& type = UpdateInfoField(info, "type");
        if (!IsUpdateMode(type)) {
            Add(true, MemberLine(lines_, rule, "Type", line),
                name + "Type " + Quoted(type) +
                    " is not StartUp, Prompt or Force: those users just get the client, and the package is downloaded "
                    "again at every start");
        }

        const std::string& pattern = UpdateInfoField(info, "version");
        const int patternLine = MemberLine(lines_, rule, "VersionUpdate", line);
        std::array<std::string_view, 4> fields;
        if (!version_text::SplitFourPatternFields(pattern, fields)) {
            Add(true, patternLine,
                name + "VersionUpdate " + Quoted(pattern) +
                    " cannot be read: it needs four fields separated by \".\" and no spaces");
        } else {
            for (size_t k = 0; k < 4; ++k) {
                FieldReading reading = ReadPatternField(std::string(fields[k]));
                if (!reading.problem.empty()) {
                    Add(true, patternLine,
                        name + "VersionUpdate " + Quoted(pattern) + " matches no version: " + reading.problem);
                    break;
                }
            }
        }

        // The package, found the way the launcher finds it.
        const Json::Value* package = targets.isObject() ? targets.find(md5.data(), md5.data() + md5.size()) : nullptr;
        if (!package || !package->isObject()) {
            Add(true, md5Line, name + "no package " + Quoted(md5) + " under \"Targets\": the rule never applies");
            return;
        }
        const int packageLine = lines_.At(static_cast<size_t>(package->getOffsetStart()));
        const std::string& url = UpdateInfoField(info, "url");
        if (url.empty()) {
            Add(true, MemberLine(lines_, *package, "ExeUrl", packageLine),
                name + "package " + Quoted(md5) + " has no ExeUrl: the rule never applies");
        } else if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0 && url.rfind("HTTP://", 0) != 0 &&
                   url.rfind("HTTPS://", 0) != 0) {
            Add(true, MemberLine(lines_, *package, "ExeUrl", packageLine),
                name + "ExeUrl " + Quoted(url) + " is not an http or https URL: the download fails");
        }
        if (auto sha256 = info.find("sha256"); sha256 != info.end() && !IsSha256Text(sha256->second)) {
            Add(true, MemberLine(lines_, *package, "SHA256", packageLine),
                name + "SHA256 " + Quoted(sha256->second) + " of package " + Quoted(md5) +
                    " is not 64 hexadecimal digits: the package never verifies");
        }
        if (const Json::Value* background = package->find("Background", "Background" + 10);
            background && !background->isBool()) {
            Add(false, MemberLine(lines_, *package, "Background", packageLine),
                name + "Background of package " + Quoted(md5) +
                    " is not true or false: launchers download it at full speed");
        }
        const std::string& newVersion = UpdateInfoField(info, "newversion");
        if (UpdateMatcher::SplitVersion(newVersion).size() != 4) {
            Add(true, MemberLine(lines_, *package, "Version", packageLine),
                name + "Version " + Quoted(newVersion) + " of package " + Quoted(md5) +
                    " is not four numbers: the rule never applies");
        }
    }

    void CheckAcrossRules() {
        std::vector<RuleShape> shapes;
        for (const UpdateInfo& info : out_.rules) shapes.push_back(ShapeOf(info));
        std::vector<const RuleRegion*> regions;
        for (const RuleShape& shape : shapes) regions.push_back(shape.usable ? &shape.region : nullptr);
        const LaterRuleIndex laterRules(regions);
        for (size_t i = 0; i < shapes.size(); ++i) {
            if (!shapes[i].usable) continue;
            const RuleRegion& region = shapes[i].region;
            const std::string name = "rule " + std::to_string(out_.ruleNumbers[i]) + ": ";
            const int line = out_.ruleLines[i];
            const std::string& newVersion = UpdateInfoField(out_.rules[i], "newversion");
            const std::string& pattern = UpdateInfoField(out_.rules[i], "version");
            if (AppliesToNone(region)) {
                Add(true, line,
                    name + "package version " + newVersion + " is older than every version the pattern " + pattern +
                        " matches: the rule applies to nobody");
                continue;
            }
            if (std::optional<Version> first = FirstMatchedNotOlderThanPackage(region)) {
                Add(false, line,
                    name + "the pattern " + pattern + " matches " + VersionText(*first) +
                        " and later versions, which package version " + newVersion + " is not newer than: " +
                        (region.packageEqualApplies && *first == region.package
                             ? "users on " + newVersion + " are offered it again, newer ones nothing"
                             : "those users get nothing from this rule"));
            }
            // Only later rules whose boxes meet this one's can take its
            // versions; the index finds them without trying every pair.
            std::vector<RuleRegion> later;
            const std::vector<size_t> laterIndex = laterRules.MeetingLater(i);
            for (size_t j : laterIndex) later.push_back(shapes[j].region);
            HiddenResult hidden = CheckHidden(region, later);
            if (hidden.verdict == HiddenVerdict::kHidden) {
                std::string by;
                for (size_t h : hidden.hiders) {
                    by += (by.empty() ? "" : ", ") + std::to_string(out_.ruleNumbers[laterIndex[h]]);
                }
                Add(false, line,
                    name + "hidden by later rule" + (hidden.hiders.size() > 1 ? "s " : " ") + by +
                        " for every version it applies to: the launcher picks the last rule that applies");
            } else if (hidden.verdict == HiddenVerdict::kTooComplex) {
                Add(false, line, name + "too many overlapping later rules to tell whether they hide it; not checked");
            }
        }
    }

    const std::string& document_;
    LineIndex lines_;
    CheckedDocument& out_;
    Json::Value root_;
};

}  // namespace

std::string ProblemLine(const Problem& problem) {
    return std::string(problem.error ? "error" : "warning") + ": line " + std::to_string(problem.line) + ": " +
           problem.text;
}

bool CheckedDocument::HasErrors() const {
    return std::any_of(problems.begin(), problems.end(), [](const Problem& p) { return p.error; });
}

int LineAt(const std::string& text, size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

bool IsLauncherDigest(const std::string& md5) {
    return md5.size() == 32 &&
           std::all_of(md5.begin(), md5.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

bool IsUpdateMode(const std::string& type) { return type == "StartUp" || type == "Prompt" || type == "Force"; }

CheckedDocument CheckDocumentFile(const std::wstring& path) {
    CheckedDocument checked;
    FileRead read = ReadWholeFile(path, kLauncherDocumentLimit);
    if (read.outcome == ReadOutcome::kMissing || read.outcome == ReadOutcome::kFailed) {
        checked.unreadable = read.error;
        return checked;
    }
    if (read.outcome == ReadOutcome::kTooLarge) {
        checked.problems.push_back({true, 1, "larger than the launcher's limit of 16 MiB (" + read.error + ")"});
        return checked;
    }
    // The bytes read once are what is parsed and what lines are counted in:
    // a file that changes meanwhile cannot put the two out of step.
    std::string copyError;
    checked.launcherReadsIt = ParseBytesAsLauncher(read.bytes, checked.rules, copyError);
    if (!copyError.empty()) {
        checked.unreadable = copyError;
        return checked;
    }
    if (!checked.launcherReadsIt) {
        checked.problems.push_back(WhyNotJson(read.bytes));
        return checked;
    }
    Checker(read.bytes, checked).Run();
    std::stable_sort(checked.problems.begin(), checked.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return checked;
}

}  // namespace release
