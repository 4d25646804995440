#include "update/update_config.h"

#include <json/reader.h>

#include <memory>

#include "update/json_text.h"
#include "update/launcher_data.h"
#include "update/update_check_pace.h"
#include "util/ini_file.h"
#include "util/util.h"
#include "util/whole_file.h"

namespace {

// The parser recurses once per nesting level; the document needs four.
constexpr int kMaxNesting = 64;

bool ParseJson(const std::string& document, Json::Value& root) {
    Json::CharReaderBuilder builder;  // comments are allowed by default
    builder["stackLimit"] = kMaxNesting;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try {
        return reader->parse(document.data(), document.data() + document.size(), &root, &errors);
    } catch (const std::exception&) {
        // Too deep a nesting is reported by throwing.
        return false;
    }
}

std::string JoinWithSemicolons(const Json::Value& array, std::string_view document, bool fromUtf8) {
    std::string joined;
    for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
        std::string text = json_text::ValueAsText(array[i], document);
        joined += fromUtf8 ? Util::Utf8ToAnsi(text) : text;
        joined += ';';
    }
    return joined;
}

void AddRules(const Json::Value& root, std::string_view document, UpdateInfoList& list) {
    const Json::Value& configs = json_text::MemberIfArray(root, "Configs");
    const Json::Value& targets = json_text::MemberIfObject(root, "Targets");
    for (Json::ArrayIndex i = 0; i < configs.size(); ++i) {
        const Json::Value& rule = configs[i];
        if (!rule.isObject()) continue;
        UpdateInfo info;
        info["md5"] = json_text::MemberAsText(rule, "TargetMD5", document);
        info["type"] = json_text::MemberAsText(rule, "Type", document);
        info["version"] = json_text::MemberAsText(rule, "VersionUpdate", document);
        // Looked up by name rather than by walking every package: a document
        // with thousands of rules and packages would otherwise take a
        // rule-times-package number of steps. The parser keeps the last of
        // duplicate names, so the lookup finds what a walk would.
        const std::string& md5 = info["md5"];
        if (const Json::Value* found = targets.find(md5.data(), md5.data() + md5.size());
            found && found->isObject()) {
            const Json::Value& package = *found;
            info["imgs"] = JoinWithSemicolons(json_text::MemberIfArray(package, "ImageUrls"), document, false);
            info["desc"] = JoinWithSemicolons(json_text::MemberIfArray(package, "Descriptions"), document, true);
            info["url"] = json_text::MemberAsText(package, "ExeUrl", document);
            info["newversion"] = json_text::MemberAsText(package, "Version", document);
            // Only when given: without it MD5 alone decides, as before.
            if (package.isMember("SHA256")) info["sha256"] = json_text::MemberAsText(package, "SHA256", document);
            // The server's choice of a polite download; anything but true
            // leaves the download as it always was.
            if (const Json::Value* background = package.find("Background", "Background" + 10);
                background && background->isBool() && background->asBool()) {
                // Moved in whole: g++ 12 warns falsely (-Wrestrict) about
                // assigning the literal once this is inlined into the parse.
                info["background"] = std::string("1");
            }
        }
        list.push_back(std::move(info));
    }
}

}  // namespace

bool ParseUpdateConfig(UpdateInfoList& list, const std::string& path) {
    if (!Util::PathExistsA(path)) return false;
    list.clear();
    const std::wstring widePath = Util::AnsiToWide(path);
    bool parsed = false;
    try {
        std::string document;
        Json::Value root;
        // The download's bound: whatever the check may fetch, it reads.
        if (Util::ReadWholeFile(widePath, kMaxDocumentBytes, document).read() && ParseJson(document, root)) {
            AddRules(root, document, list);
            parsed = true;
        }
    } catch (const std::exception&) {
        // Out of memory while building the list: an unusable document.
        list.clear();
        parsed = false;
    }
    // The document is a temporary download: it must not outlive the parse,
    // whether or not it could be used.
    Util::RemoveFile(widePath);
    return parsed;
}

bool SelectUpdate(UpdateMatcher& matcher, CIniFile& launcherData, const std::wstring& launcherDir) {
    using namespace LauncherDataKeys;
    std::string current = Util::WideToAnsi(launcherData.GetString(kSection, kVer));
    if (current.empty()) {
        current = UpdateMatcher::GetNewestVersionIn(launcherDir);
        // Writing an empty value would only create the data file for nothing.
        if (!current.empty()) launcherData.WriteString(kSection, kVer, Util::AnsiToWide(current));
    }
    UpdateInfoList* entries = matcher.GetEntries();
    if (!entries) return false;
    bool found = false;
    for (UpdateInfo& entry : *entries) {
        const std::string& newVersion = entry["newversion"];
        if (UpdateMatcher::MatchVersion(current, entry["version"]) &&
            UpdateMatcher::MaxVersion(current, newVersion) == newVersion) {
            matcher.SetSelected(entry);
            found = true;
        }
    }
    return found;
}

bool SelectUpdate(UpdateMatcher& matcher) {
    return SelectUpdate(matcher, *CLauncherData::GetInstance(), Util::GetModuleDir());
}
