#pragma once
// The rich-text subset: <b> <i> <u> bold, italic and underline, <c #colour>
// text colour, <f index> font by index, <n> line break, <a target> link,
// each closed by </x>; curly brackets work like angle brackets. Other tag
// letters are recognised and skipped. A '<' that does not start a well
// formed tag is plain text.

#include <windows.h>

#include <vector>

#include "ui/engine/base/ui_string.h"

namespace TarselUI {

struct THtmlRun {
    CUIString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    DWORD color = 0;  // 0: the caller's colour
    int font = -1;    // -1: the caller's font
    int link = -1;    // index into THtmlText::links
    bool lineBreak = false;  // a <n>: the run has no text
};

struct THtmlText {
    std::vector<THtmlRun> runs;
    std::vector<CUIString> links;  // link targets (the link's text when none is given)
};

THtmlText ParseHtmlText(LPCWSTR text, int defaultFont);

}  // namespace TarselUI
