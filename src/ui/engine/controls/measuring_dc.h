#pragma once
// The drawing context a control measures its text in: the window's paint
// context while it has one, otherwise a memory context compatible with the
// screen that lives as long as this object.

#include <windows.h>

#include "util/unique_handle.h"

namespace TarselUI {

class MeasuringDc {
public:
    explicit MeasuringDc(HDC paintDc) : dc_(paintDc) {
        if (!dc_) {
            own_.reset(::CreateCompatibleDC(nullptr));
            dc_ = own_.get();
        }
    }
    HDC get() const { return dc_; }

private:
    Util::UniqueMemoryDc own_;
    HDC dc_;
};

}  // namespace TarselUI
