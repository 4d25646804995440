#include "ui/engine/controls/delegate.h"

namespace TarselUI {

CEventSource::~CEventSource() {
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
}

void CEventSource::operator+=(const CDelegateBase& d) {
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        const auto* present = static_cast<const CDelegateBase*>(m_aDelegates.GetAt(i));
        if (present && present->Equals(d)) return;
    }
    CDelegateBase* copy = d.Copy();
    if (!m_aDelegates.Add(copy)) delete copy;
}

void CEventSource::operator+=(FnType pFn) { (*this) += MakeDelegate(pFn); }

void CEventSource::operator-=(const CDelegateBase& d) {
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        auto* present = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
        if (present && present->Equals(d)) {
            delete present;
            m_aDelegates.Remove(i);
            return;
        }
    }
}

void CEventSource::operator-=(FnType pFn) { (*this) -= MakeDelegate(pFn); }

bool CEventSource::operator()(void* param) {
    // A listener may remove listeners while it runs; index the live list.
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        auto* d = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
        if (d && !(*d)(param)) return false;
    }
    return true;
}

}  // namespace TarselUI
