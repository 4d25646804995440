#include "ui/engine/render/html_text.h"

#include <cwchar>

#include "ui/engine/render/value_syntax.h"

namespace TarselUI {

namespace {

constexpr wchar_t kTagLetters[] = L"abcfinprsuxy";

struct TStyle {
    bool bold = false, italic = false, underline = false;
    DWORD color = 0;
    int font = -1;
    int link = -1;
};

// A tag at `p`: its letter, whether it closes, its argument and its length.
struct TTag {
    wchar_t letter = 0;
    bool closing = false;
    CUIString argument;
    int length = 0;
};

bool ReadTag(LPCWSTR p, TTag& tag) {
    const wchar_t open = *p;
    const wchar_t close = open == L'<' ? L'>' : L'}';
    LPCWSTR q = p + 1;
    if (*q == L'/') {
        tag.closing = true;
        ++q;
    }
    if (*q == L'\0' || !std::wcschr(kTagLetters, *q)) return false;
    tag.letter = *q++;
    if (*q != close && *q != L' ') return false;
    LPCWSTR argStart = q;
    while (*q != L'\0' && *q != close) ++q;
    if (*q != close) return false;
    while (argStart < q && *argStart == L' ') ++argStart;
    tag.argument = CUIString(argStart, static_cast<int>(q - argStart));
    tag.length = static_cast<int>(q + 1 - p);
    return true;
}

}  // namespace

THtmlText ParseHtmlText(LPCWSTR text, int defaultFont) {
    THtmlText out;
    if (!text) return out;
    std::vector<TStyle> stack(1);
    stack.back().font = defaultFont;
    CUIString pending;
    int linkRunStart = -1;

    auto flush = [&] {
        if (pending.IsEmpty()) return;
        const TStyle& style = stack.back();
        THtmlRun run;
        run.text = pending;
        run.bold = style.bold;
        run.italic = style.italic;
        run.underline = style.underline;
        run.color = style.color;
        run.font = style.font;
        run.link = style.link;
        out.runs.push_back(run);
        pending.Empty();
    };

    for (LPCWSTR p = text; *p != L'\0';) {
        TTag tag;
        if ((*p == L'<' || *p == L'{') && ReadTag(p, tag)) {
            flush();
            p += tag.length;
            if (tag.closing) {
                if (stack.size() > 1) {
                    if (tag.letter == L'a' && stack.back().link >= 0) {
                        // A link without a target links to its own text.
                        CUIString& target = out.links[static_cast<size_t>(stack.back().link)];
                        if (target.IsEmpty()) {
                            for (size_t i = static_cast<size_t>(linkRunStart); i < out.runs.size(); ++i) {
                                target += out.runs[i].text;
                            }
                        }
                    }
                    stack.pop_back();
                }
                continue;
            }
            TStyle style = stack.back();
            switch (tag.letter) {
                case L'n': {
                    THtmlRun lineBreak;
                    lineBreak.lineBreak = true;
                    out.runs.push_back(lineBreak);
                    continue;
                }
                case L'b': style.bold = true; break;
                case L'i': style.italic = true; break;
                case L'u': style.underline = true; break;
                case L'c': {
                    DWORD color = ParseHexColor(tag.argument);
                    if (color <= 0x00FFFFFF) color |= 0xFF000000;
                    style.color = color;
                    break;
                }
                case L'f': style.font = static_cast<int>(std::wcstol(tag.argument, nullptr, 10)); break;
                case L'a':
                    style.link = static_cast<int>(out.links.size());
                    out.links.push_back(tag.argument);
                    linkRunStart = static_cast<int>(out.runs.size());
                    break;
                default:
                    continue;  // recognised, not rendered: no scope to open
            }
            // Deep nesting from hostile text stays bounded.
            if (stack.size() < 64) stack.push_back(style);
            continue;
        }
        pending += *p++;
    }
    flush();
    return out;
}

}  // namespace TarselUI
