#include "ui/engine/controls/delegate.h"

namespace TarselUI {

namespace {

void DeleteAll(CStdPtrArray& delegates) {
    for (int i = 0; i < delegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(delegates.GetAt(i));
    delegates.Empty();
}

}  // namespace

CEventSource::~CEventSource() {
    DeleteAll(m_aDelegates);
    DeleteAll(m_aRetired);
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
            m_aDelegates.Remove(i);
            // Kept until the call is over, so its address is not reused by a
            // delegate added meanwhile and mistaken for one still present.
            if (m_nCallDepth > 0 && m_aRetired.Add(present)) return;
            delete present;
            return;
        }
    }
}

void CEventSource::operator-=(FnType pFn) { (*this) -= MakeDelegate(pFn); }

bool CEventSource::operator()(void* param) {
    // The delegates present now, called in order; a listener may add or
    // remove listeners (itself too) while it runs, so each one is looked up
    // in the live list before it is called.
    const CStdPtrArray snapshot(m_aDelegates);
    struct CallDepth {
        CEventSource& source;
        explicit CallDepth(CEventSource& s) : source(s) { ++source.m_nCallDepth; }
        ~CallDepth() {
            if (--source.m_nCallDepth == 0) DeleteAll(source.m_aRetired);
        }
        CallDepth(const CallDepth&) = delete;
        CallDepth& operator=(const CallDepth&) = delete;
    } depth(*this);
    for (int i = 0; i < snapshot.GetSize(); ++i) {
        auto* d = static_cast<CDelegateBase*>(snapshot.GetAt(i));
        if (!d || m_aDelegates.Find(d) < 0) continue;
        if (!(*d)(param)) return false;
    }
    return true;
}

}  // namespace TarselUI
