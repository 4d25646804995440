#pragma once
// The process-wide component registry. Each component is created the first
// time it is asked for and lives until the process ends.

#include <windows.h>

#include <memory>

struct CAppPaths;
class CCmdLine;
class CTimerList;

class IApp {
public:
    virtual ~IApp() = default;
    virtual CAppPaths* GetPaths() = 0;
    virtual CCmdLine* GetCmdLine() = 0;
};

class ICore {
public:
    virtual ~ICore() = default;
    virtual CTimerList* GetTimerList() = 0;
};

class IDB {
public:
    virtual ~IDB() = default;
};

// What ShowMessageBox gives when no box could be shown (its window or skin
// could not be created) or it ended without a button: no answer at all,
// distinct from every button identifier.
constexpr int kMessageBoxNoAnswer = 0;

class IUI {
public:
    virtual ~IUI() = default;
    // Asks in the skinned message box; returns 1 OK, 2 Cancel, 6 Yes or 7 No,
    // or kMessageBoxNoAnswer. While another box is open, that box comes to
    // the front and 2 is returned at once.
    virtual int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) = 0;
};

class IUnify {
public:
    virtual ~IUnify() = default;
    virtual IApp* GetApp() = 0;
    virtual ICore* GetCore() = 0;
    virtual IDB* GetDB() = 0;
    virtual IUI* GetUI() = 0;
};

class CApp : public IApp {
public:
    ~CApp() override;
    CAppPaths* GetPaths() override;
    CCmdLine* GetCmdLine() override;

private:
    std::unique_ptr<CCmdLine> cmdLine_;
};

class CCore : public ICore {
public:
    ~CCore() override;
    CTimerList* GetTimerList() override;

private:
    CTimerList* timerList_ = nullptr;  // the process-wide list, once fetched
};

class CDB : public IDB {};

class CUI : public IUI {
public:
    // Defined by the executable that links the launcher core: the product
    // forwards to the skinned message box, test drivers to a scripted one.
    int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) override;
};

class CUnify : public IUnify {
public:
    ~CUnify() override;
    IApp* GetApp() override;
    ICore* GetCore() override;
    IDB* GetDB() override;
    IUI* GetUI() override;

private:
    std::unique_ptr<IApp> app_;
    std::unique_ptr<ICore> core_;
    std::unique_ptr<IDB> db_;
    std::unique_ptr<IUI> ui_;
};

// The process-wide registry, created during static initialisation and never
// destroyed.
IUnify* GetUnify();
