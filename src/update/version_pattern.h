#pragma once
// The text shapes behind the version rules, recognised by hand rather than
// with std::regex: its backtracking matcher recurses once per character and
// can exhaust the stack on a long hostile text, and it may throw. Each
// function gives exactly the answer of the regular expression named beside
// it (a full match, ECMAScript syntax); a randomised test holds them to it.

#include <array>
#include <string>
#include <string_view>

namespace version_text {

// atoi's reading of a field (leading white space, optional sign, leading
// digits, 0 without digits), saturating at INT_MAX / INT_MIN instead of
// overflowing.
int ReadNumber(std::string_view text);

// "(\d+)\.(\d+)\.(\d+)\.(\d+)": four decimal fields.
bool SplitFourNumbers(std::string_view text, std::array<std::string_view, 4>& groups);

// "(\S+)\.(\S+)\.(\S+)\.(\S+)" with greedy groups: the first group takes
// every extra leading field.
bool SplitFourPatternFields(std::string_view text, std::array<std::string_view, 4>& groups);

// "\[(\d+)\-(\d+)\]": an inclusive range.
bool SplitRange(std::string_view text, std::string_view& low, std::string_view& high);

}  // namespace version_text
