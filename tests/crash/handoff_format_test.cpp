// The texts the catcher hands to the reporter: the forced-crash message, the
// channel name and the reporter's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crash/bounded_text.h"
#include "crash/force_crash_message.h"
#include "crash/reporter_handoff.h"

namespace {

using namespace crash::thrower::exception_toolkit;

std::wstring Message(const wchar_t* file, const wchar_t* function, int line, const wchar_t* text,
                     std::size_t units = kForceCrashMessageUnits) {
    std::vector<wchar_t> buffer(units + 1);
    bounded_text out(buffer.data(), units + 1);
    compose_force_crash_message(file, function, line, text, out);
    return buffer.data();
}

TEST(ForceCrashMessage, ComposesTextLineFunctionAndFile) {
    const struct {
        const wchar_t* file;
        const wchar_t* function;
        int line;
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\src\\thrower.h", L"void __cdecl f(void)", 386, L"purecall",
         L"?purecall??386@@void __cdecl f(void)@@C:\\src\\thrower.h?"},
        {L"a.cpp", nullptr, 12, L"index < size", L"?index < size??12@@a.cpp?"},
        {L"a.cpp", L"g", -3, nullptr, L"?force crash??" L"-3@@g@@a.cpp?"},
        {nullptr, nullptr, 0, nullptr, L"?force crash??no file mark?"},
        {nullptr, L"ignored without a file", 99, L"x", L"?x??no file mark?"},
        {L"", L"", 0, L"", L"???0@@@@?"},
    };
    for (const auto& c : cases) EXPECT_EQ(Message(c.file, c.function, c.line, c.text), c.expected);
}

TEST(ForceCrashMessage, IsCutTo32768Characters) {
    const std::wstring text(40000, L't');
    const std::wstring message = Message(L"f", nullptr, 1, text.c_str());
    EXPECT_EQ(message.size(), 32768u);
    EXPECT_EQ(message.substr(0, 3), L"?tt");
}

TEST(ChannelName, IsThreadProcessTickAndFileName) {
    const struct {
        DWORD thread, process, tick;
        const wchar_t* file;
        const wchar_t* expected;
    } cases[] = {
        {4312, 9876, 123456789, L"Launcher.exe", L"4312@@9876@@123456789??Launcher.exe"},
        {0, 0, 0, nullptr, L"0@@0@@0??na"},
        {4294967295u, 1, 4294967295u, L"TarselMainLauncher.exe",
         L"4294967295@@1@@4294967295??TarselMainLauncher.exe"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[kChannelNameUnits];
        bounded_text out(buffer, kChannelNameUnits);
        format_channel_name(c.thread, c.process, c.tick, c.file, out);
        EXPECT_EQ(std::wstring(buffer), c.expected);
    }
    // The longest file name still fits whole.
    const std::wstring longName(259, L'n');
    wchar_t buffer[kChannelNameUnits];
    bounded_text out(buffer, kChannelNameUnits);
    format_channel_name(4294967295u, 4294967295u, 4294967295u, longName.c_str(), out);
    EXPECT_FALSE(out.truncated());
}

TEST(ReporterCommandLine, QuotesPathAndChannelAndKeepsTheEmptyOption) {
    const struct {
        bool embed;
        const wchar_t* expected;
    } cases[] = {
        {false, L"\"C:\\App Dir\\tarselcrash.exe\"  /channel \"1@@2@@3??a b.exe\""},
        {true, L"\"C:\\App Dir\\tarselcrash.exe\" /embed /channel \"1@@2@@3??a b.exe\""},
    };
    for (const auto& c : cases) {
        wchar_t buffer[kReporterCommandLineUnits];
        bounded_text out(buffer, kReporterCommandLineUnits);
        format_reporter_command_line(L"C:\\App Dir\\tarselcrash.exe", c.embed, L"1@@2@@3??a b.exe", out);
        EXPECT_EQ(std::wstring(buffer), c.expected);
    }
}

}  // namespace
