#include "release/installed_answer.h"

#include "update/rule_selection.h"

namespace release {

std::string WhatTheUserSees(const UpdateInfo& rule) {
    const std::string& type = UpdateInfoField(rule, "type");
    const std::string package =
        "package " + UpdateInfoField(rule, "newversion") + " (" + UpdateInfoField(rule, "md5") + ")";
    if (!IsLauncherDigest(UpdateInfoField(rule, "md5"))) {
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
