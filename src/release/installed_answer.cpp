#include "release/installed_answer.h"

#include "update/rule_selection.h"

namespace release {
namespace {

const std::string& Field(const UpdateInfo& info, const char* key) {
    static const std::string empty;
    auto it = info.find(key);
    return it == info.end() ? empty : it->second;
}

}  // namespace

std::string WhatTheUserSees(const UpdateInfo& rule) {
    const std::string& type = Field(rule, "type");
    const std::string package = "package " + Field(rule, "newversion") + " (" + Field(rule, "md5") + ")";
    if (!IsLauncherDigest(Field(rule, "md5"))) {
        return package + " is downloaded but never verifies: the user sees nothing and gets the client";
    }
    if (type == "StartUp") {
        return package +
               ", mode StartUp: downloaded now; at the next start the user is asked, "
               "Yes runs the installer silently, No starts the client";
    }
    if (type == "Prompt") {
        return package +
               ", mode Prompt: downloaded now; at the next start the user is asked, "
               "Yes runs the installer, No starts the client";
    }
    if (type == "Force") {
        return package +
               ", mode Force: downloaded now; at the next start the user is asked, "
               "OK runs the installer, Cancel starts nothing";
    }
    return package + ", mode \"" + type + "\" is none of the three: the user sees nothing and gets the client";
}

std::string DescribeInstalled(const CheckedDocument& document, const std::string& installed) {
    std::string head = "installed " + installed + ": ";
    std::optional<size_t> chosen = LastApplyingRule(document.rules, installed);
    if (!chosen) return head + "no rule applies: the user sees nothing and gets the client";
    size_t i = *chosen;
    int number = i < document.ruleNumbers.size() ? document.ruleNumbers[i] : static_cast<int>(i) + 1;
    int line = i < document.ruleLines.size() ? document.ruleLines[i] : 1;
    return head + "rule " + std::to_string(number) + " (line " + std::to_string(line) +
           ") applies: " + WhatTheUserSees(document.rules[i]);
}

}  // namespace release
