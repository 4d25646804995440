#pragma once
// The launcher's command line: space-separated key=value tokens with no
// quoting and no escaping. Only `target` and `action` are read.

#include <string>
#include <vector>

// Empties `tokens`, then appends the pieces of `text` split at `separator`.
// A separator in first position is skipped, two in a row give an empty
// piece, and one in last position adds no piece.
void SplitString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& tokens);

// The n-th piece (counting from 1) of `text` split by SplitString; empty when
// there are fewer pieces.
std::wstring GetSplitField(const std::wstring& text, wchar_t separator, size_t n);

class CCmdLine {
public:
    // Stores a copy of the text and splits it at spaces into the token list.
    void SetCmdLine(const std::wstring& text);

    // The value of the first token that contains `key` anywhere: the text
    // between its first '=' and the next '=' or the end. Empty when absent.
    std::wstring GetValue(const std::wstring& key) const;

    const std::wstring& GetText() const { return text_; }
    const std::vector<std::wstring>& GetTokens() const { return tokens_; }

private:
    std::wstring text_;
    std::vector<std::wstring> tokens_;
};
