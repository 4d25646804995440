#include "launcher/registry.h"

#include <new>

#include "launcher/app_paths.h"
#include "launcher/cmd_line.h"
#include "launcher/timer_list.h"
#include "util/util.h"

namespace {

// Static initialisation, in this order: the paths record, the registry, the
// timer list. The paths record is handed to the application component,
// which owns it from then on.
std::unique_ptr<CAppPaths> g_appPaths(new (std::nothrow) CAppPaths(CAppPaths::FromLauncherDir(Util::GetModuleDir())));
IUnify* const g_unify = new (std::nothrow) CUnify();  // never destroyed
CTimerList g_timerList;

template <typename Interface, typename Component>
Interface* GetOrCreate(std::unique_ptr<Interface>& slot) {
    if (!slot) slot.reset(new (std::nothrow) Component());
    return slot.get();
}

}  // namespace

IUnify* GetUnify() { return g_unify; }

CTimerList* CTimerList::GetInstance() { return &g_timerList; }

CApp::~CApp() { g_appPaths.reset(); }

CAppPaths* CApp::GetPaths() { return g_appPaths.get(); }

CCmdLine* CApp::GetCmdLine() {
    if (!cmdLine_) cmdLine_.reset(new (std::nothrow) CCmdLine());
    return cmdLine_.get();
}

CCore::~CCore() {
    if (timerList_) timerList_->KillAll();
}

CTimerList* CCore::GetTimerList() {
    timerList_ = CTimerList::GetInstance();
    return timerList_;
}

CUnify::~CUnify() {
    // Application, core, data store, UI: the order the components were
    // defined in, not the reverse order members would give.
    app_.reset();
    core_.reset();
    db_.reset();
    ui_.reset();
}

IApp* CUnify::GetApp() { return GetOrCreate<IApp, CApp>(app_); }
ICore* CUnify::GetCore() { return GetOrCreate<ICore, CCore>(core_); }
IDB* CUnify::GetDB() { return GetOrCreate<IDB, CDB>(db_); }
IUI* CUnify::GetUI() { return GetOrCreate<IUI, CUI>(ui_); }
