#pragma once
// What the launcher does for a user on one installed version: which rule it
// picks and what the user then sees.

#include <string>

#include "release/document_check.h"

namespace release {

// One line: "installed V: rule N (line L) applies: ..." or "installed V: no
// rule applies: ...". `installed` must be four plain numbers.
std::string DescribeInstalled(const CheckedDocument& document, const std::string& installed);

// What a user sees for a record chosen by the selection.
std::string WhatTheUserSees(const UpdateInfo& rule);

}  // namespace release
