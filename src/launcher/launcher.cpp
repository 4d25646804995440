// First: curl's headers (through the update check's) bring winsock2.h,
// which must precede windows.h.
#include "update/update_check.h"
#include "launcher/launcher.h"

#include <shellapi.h>
#include <windows.h>

#include "digest/file_digests.h"
#include "digest/sha256.h"
#include "launcher/client_target.h"
#include "launcher/cmd_line.h"
#include "launcher/registry.h"
#include "update/launcher_data.h"
#include "update/staging_folder.h"
#include "update/update_matcher.h"
#include "util/diagnostics.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

namespace Keys = LauncherDataKeys;

const wchar_t kUpdateQuestion[] = L"检测到新版本，是否立即更新？";
const wchar_t kUpdateCaption[] = L"Tarsel";

std::wstring ReadData(const wchar_t* key) { return CLauncherData::GetInstance()->GetString(Keys::kSection, key); }

std::wstring CommandLineTarget() { return GetUnify()->GetApp()->GetCmdLine()->GetValue(L"target"); }

bool ShellOpen(const std::wstring& file, const wchar_t* parameters, const wchar_t* workingDir) {
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", file.c_str(), parameters, workingDir, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void DebugLabelled(const char* label, const std::wstring& value) {
    Util::DebugLine(label);
    Util::DebugValue(value);
}

// The folder that holds the version folders. With a "Common" folder beside
// the launcher that is the launcher's own folder. Without one we ask the
// parent of the launcher folder in directory form, which is that same
// folder again: the fallback scan for installed versions also looks beside
// the launcher, so the client path and the fallback agree.
std::wstring ApplicationDir() {
    std::wstring launcherDir = Util::GetModuleDir();
    if (launcherDir.empty()) return launcherDir;
    if (Util::DirectoryExists(launcherDir + L"Common")) return launcherDir;
    return Util::GetParentDir(launcherDir);
}

}  // namespace

Util::UniqueFile HoldFileAgainstWrites(const std::wstring& path) {
    return Util::UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

InstallerDecision DecideAfterVerifiedInstaller(int mode, std::optional<int> answer) {
    InstallerDecision decision;
    if (mode == kUpdateForce) {
        if (answer == IDCANCEL) decision.kind = InstallerDecision::kRunNothing;
        return decision;
    }
    if (answer == IDNO) {
        decision.kind = InstallerDecision::kRunClient;
        return decision;
    }
    decision.silent = (mode == kUpdateStartUp);
    return decision;
}

bool InstallerDigestMatches(const std::string& computedLowerHex, const std::string& recordedAnsi) {
    if (computedLowerHex.empty()) return false;
    // The same rule as the update check's, so that what it recorded matches.
    return UpperCaseDigest(computedLowerHex) == recordedAnsi;
}

std::wstring ComposeClientPath(const std::wstring& appDir, const std::wstring& version, const std::wstring& target) {
    return appDir + version + L"\\" + target;
}

void CLauncher::DoLaunch() {
    Util::DebugLine("[****] DoLaunch\n");
    if (ReadData(Keys::kAction) == L"toupdate") {
        Util::DebugLine("[****] action = toupdate\n");
        const std::wstring type = ReadData(Keys::kType);
        int mode = -1;
        if (type == L"StartUp") {
            Util::DebugLine("[****] type = StartUp\n");
            mode = kUpdateStartUp;
        } else if (type == L"Prompt") {
            Util::DebugLine("[****] type = Prompt\n");
            mode = kUpdatePrompt;
        } else if (type == L"Force") {
            mode = kUpdateForce;
        }
        if (mode >= 0) {
            ExecUpdateExe(mode);
            ::PostQuitMessage(0);
            return;
        }
    }
    ExecTargetApp(CommandLineTarget());
    GetUpdate();
    ::PostQuitMessage(0);
}

namespace {

// The client is a program inside the version folder. Without a target the
// client path names the folder itself, and the shell would open it in a
// file-manager window instead of starting anything: start nothing then.
bool StartClient(const std::wstring& clientPath, const std::wstring& target) {
    if (target.empty()) return false;
    return ShellOpen(clientPath, nullptr, Util::GetFileDir(clientPath).c_str());
}

}  // namespace

void CLauncher::ExecTargetApp(const std::wstring& requestedTarget) {
    Util::DebugLine("[*****] 启动特定的目标程序\n");
    const std::wstring appDir = ApplicationDir();
    if (appDir.empty()) {
        Util::DebugLine("[******] launcher folder unknown, no client started\n");
        return;
    }
    const std::wstring target = ClientTargetToStart(requestedTarget);
    // A first run (no data file, or an installer that does not record the
    // version) has no version yet: start the newest one installed, the one
    // the update check is about to record.
    std::wstring version = ReadData(Keys::kVer);
    if (version.empty()) version = Util::AnsiToWide(UpdateMatcher::GetNewestVersionIn(appDir));
    DebugLabelled("[****] appDir:\n", appDir);
    DebugLabelled("[****] ver:\n", version);
    DebugLabelled("[****] target:\n", target);
    const std::wstring clientPath = ComposeClientPath(appDir, version, target);
    Util::DebugValue(clientPath);
    if (StartClient(clientPath, target)) return;

    // The recorded version could not be started: try the one before it,
    // found in the folder the client path was built from.
    const std::wstring fallbackVersion = Util::AnsiToWide(UpdateMatcher::GetSecondNewestVersionIn(appDir));
    const std::wstring fallbackPath = ComposeClientPath(appDir, fallbackVersion, target);
    Util::DebugLine("[*****] 启动次新程序\n");
    DebugLabelled("[****] appDir:\n", appDir);
    DebugLabelled("[****] ver:\n", fallbackVersion);
    DebugLabelled("[****] target:\n", target);
    Util::DebugValue(fallbackPath);
    StartClient(fallbackPath, target);
}

void CLauncher::GetUpdate() { ::GetUpdate(); }

void CLauncher::ExecUpdateExe(int mode) {
    Util::DebugLine("[*****] 启动安装包 ExecUpdateExe\n");
    const std::wstring exe = ReadData(Keys::kExe);
    const std::wstring recorded = ReadData(Keys::kMd5);
    // Recorded only when the update document gave one; then it must hold too.
    const std::string recordedSha256 = Util::WideToAnsi(ReadData(Keys::kSha256));

    // Held from before the digest is computed until the shell has started
    // the installer, so nothing can rewrite it between the check and the start.
    // Only a package in the staging folder is started: one an older launcher
    // left in the user's %TEMP% may have had DLLs planted beside it, which
    // the installer would load with administrator rights. Such a package
    // counts as not downloaded; the check below fetches it again into the
    // staging folder, and the next start offers it.
    StagedFileHold hold = HoldStagedFile(exe, Util::GetModuleDir());
    if (!hold && !exe.empty()) {
        Util::DebugLine("[******] installer not in the staging folder\n");
        Util::DebugValue(exe);
    }
    const FileDigests digests =
        hold ? GetFileDigests(exe.c_str(), recordedSha256.empty() ? DigestSet::kMd5 : DigestSet::kMd5AndSha256)
             : FileDigests();
    if (!InstallerDigestMatches(digests.md5, Util::WideToAnsi(recorded)) ||
        (!recordedSha256.empty() && !Sha256TextMatches(digests.sha256, recordedSha256))) {
        Util::DebugLine("[****] 校验失败\n");
        hold = StagedFileHold();
        ExecTargetApp(CommandLineTarget());
        GetUpdate();
        ::PostQuitMessage(0);
        return;
    }

    Util::DebugLine("[****] 校验成功，可以启动\n");
    Util::DebugValue(exe);
    std::optional<int> answer;
    IUnify* unify = GetUnify();
    if (IUI* ui = unify ? unify->GetUI() : nullptr) {
        const UINT style = (mode == kUpdateForce) ? MB_OKCANCEL : (MB_YESNO | MB_ICONQUESTION);
        const int result = ui->ShowMessageBox(nullptr, kUpdateQuestion, kUpdateCaption, style);
        // A box that could not be shown answers nothing: the installer then
        // runs as when no box is available at all.
        if (result != kMessageBoxNoAnswer) answer = result;
    }
    const InstallerDecision decision = DecideAfterVerifiedInstaller(mode, answer);
    switch (decision.kind) {
        case InstallerDecision::kRunInstaller:
            ShellOpen(exe, decision.silent ? L"silent" : nullptr, nullptr);
            break;
        case InstallerDecision::kRunClient:
            hold = StagedFileHold();
            ExecTargetApp(CommandLineTarget());
            break;
        case InstallerDecision::kRunNothing:
            break;
    }
    ::PostQuitMessage(0);
}
