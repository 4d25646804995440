#include "launcher/timer_list.h"

void CTimerList::KillAll() {
    for (UINT_PTR id : timers_) ::KillTimer(nullptr, id);
    timers_.clear();
}
