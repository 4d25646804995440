#pragma once
// The process-wide list of thread timers (timers set without a window). The
// core component kills every registered timer when it is destroyed.

#include <windows.h>

#include <vector>

class CTimerList {
public:
    void Add(UINT_PTR timerId) { timers_.push_back(timerId); }
    const std::vector<UINT_PTR>& Timers() const { return timers_; }
    // KillTimer(no window, id) for every record, then forgets them.
    void KillAll();

    static CTimerList* GetInstance();

private:
    std::vector<UINT_PTR> timers_;
};
