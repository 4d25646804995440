#pragma once
// Listener lists: a control's init, destroy, size, event and notify
// listeners are delegates (an object and a function) kept in an event
// source that owns copies of them.

#include <windows.h>

#include <cstring>

#include "ui/engine/base/std_ptr_array.h"

namespace TarselUI {

class CDelegateBase {
public:
    CDelegateBase(void* pObject, void* pFn) : m_pObject(pObject), m_pFn(pFn) {}
    CDelegateBase(const CDelegateBase&) = default;
    CDelegateBase& operator=(const CDelegateBase&) = delete;
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;

    // Same object and same function.
    bool Equals(const CDelegateBase& rhs) const {
        return m_pObject == rhs.m_pObject && m_pFn == rhs.m_pFn && SameTarget(rhs);
    }
    bool operator()(void* param) { return Invoke(param); }

protected:
    void* GetObject() const { return m_pObject; }
    void* GetFn() const { return m_pFn; }
    virtual bool Invoke(void* param) = 0;
    // Member-function delegates compare their member pointers here; a
    // member pointer does not fit in m_pFn.
    virtual bool SameTarget(const CDelegateBase&) const { return true; }

private:
    void* m_pObject;
    void* m_pFn;
};

class CDelegateStatic : public CDelegateBase {
public:
    using Fn = bool (*)(void*);
    explicit CDelegateStatic(Fn pFn) : CDelegateBase(nullptr, reinterpret_cast<void*>(pFn)) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }

protected:
    bool Invoke(void* param) override { return reinterpret_cast<Fn>(GetFn())(param); }
};

// A member function bool T::Fn(void*) of object O.
template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    using Fn = bool (T::*)(void*);
    CDelegate(O* pObj, Fn pFn) : CDelegateBase(pObj, nullptr), m_pFn(pFn) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }

protected:
    bool Invoke(void* param) override {
        O* object = static_cast<O*>(GetObject());
        return (object->*m_pFn)(param);
    }
    bool SameTarget(const CDelegateBase& rhs) const override {
        const auto* other = dynamic_cast<const CDelegate*>(&rhs);
        return other && other->m_pFn == m_pFn;
    }

private:
    Fn m_pFn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* pObject, bool (T::*pFn)(void*)) {
    return CDelegate<O, T>(pObject, pFn);
}

inline CDelegateStatic MakeDelegate(bool (*pFn)(void*)) { return CDelegateStatic(pFn); }

class CEventSource {
public:
    using FnType = bool (*)(void*);

    CEventSource() = default;
    ~CEventSource();
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    explicit operator bool() const { return !m_aDelegates.IsEmpty(); }
    // Adds a copy unless an equal delegate is present already.
    void operator+=(const CDelegateBase& d);
    void operator+=(FnType pFn);
    // Removes and destroys the first equal delegate (during a call, once
    // the outermost call is over: the delegate may be the one running).
    void operator-=(const CDelegateBase& d);
    void operator-=(FnType pFn);
    // Calls each delegate in order; false at the first that returns false.
    // A delegate removed while the call runs is not called any more, one
    // added is called from the next call on, and every other delegate
    // present when the call began is called exactly once.
    bool operator()(void* param);
    int GetCount() const { return m_aDelegates.GetSize(); }

private:
    CStdPtrArray m_aDelegates;
    // Removed during a call; destroyed when the outermost call ends.
    CStdPtrArray m_aRetired;
    int m_nCallDepth = 0;
};

}  // namespace TarselUI
