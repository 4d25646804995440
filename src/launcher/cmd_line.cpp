#include "launcher/cmd_line.h"

void SplitString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& tokens) {
    tokens.clear();
    size_t start = 0;
    const size_t length = text.size();
    for (size_t p = 0; p < length; ++p) {
        if (text[p] == separator && p == 0) {
            start = 1;
        } else if (text[p] == separator) {
            tokens.push_back(text.substr(start, p - start));
            start = p + 1;
        } else if (p == length - 1) {
            tokens.push_back(text.substr(start));
        }
    }
}

std::wstring GetSplitField(const std::wstring& text, wchar_t separator, size_t n) {
    std::vector<std::wstring> fields;
    SplitString(text, separator, fields);
    if (n == 0 || n > fields.size()) return std::wstring();
    return fields[n - 1];
}

void CCmdLine::SetCmdLine(const std::wstring& text) {
    std::wstring copy = text;  // the argument may be our own text
    text_ = std::move(copy);
    SplitString(text_, L' ', tokens_);
}

std::wstring CCmdLine::GetValue(const std::wstring& key) const {
    if (text_.empty()) return std::wstring();
    if (text_.find(key) == std::wstring::npos) return std::wstring();
    for (const std::wstring& token : tokens_) {
        if (token.find(key) != std::wstring::npos) return GetSplitField(token, L'=', 2);
    }
    return std::wstring();
}
