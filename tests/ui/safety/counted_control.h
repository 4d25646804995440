#pragma once
// Controls that count their own construction and destruction, and a
// builder callback that makes them for the tags "Counted" (a plain control)
// and "CountedBox" (a vertical layout), so tests can prove that every
// control a skin created is deleted exactly once.

#include <cwchar>

#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/layout/vertical_layout.h"

namespace safetytest {

struct LifeCount {
    int created = 0;
    int destroyed = 0;
    int Alive() const { return created - destroyed; }
};

template <class Base>
class Counted : public Base {
public:
    explicit Counted(LifeCount& count) : count_(count) { ++count_.created; }
    ~Counted() override { ++count_.destroyed; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

private:
    LifeCount& count_;
};

class CountingCallback : public TarselUI::IDialogBuilderCallback {
public:
    explicit CountingCallback(LifeCount& count) : count_(count) {}
    TarselUI::CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR) override {
        if (std::wcscmp(pstrClass, L"Counted") == 0) return new Counted<TarselUI::CControlUI>(count_);
        if (std::wcscmp(pstrClass, L"CountedBox") == 0) return new Counted<TarselUI::CVerticalLayoutUI>(count_);
        return nullptr;
    }

private:
    LifeCount& count_;
};

}  // namespace safetytest
