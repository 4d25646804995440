#pragma once
// Collects what the process sends to the debugger output while the capture
// lives, so tests can check diagnostics without a debugger attached.
// OutputDebugString raises a first-chance exception that a vectored handler
// sees before the system swallows it; the wide call arrives as its ANSI form.

#include <string>

namespace testsupport {

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Every string sent so far, concatenated in order, as the bytes given.
    std::string Text() const;

private:
    void* handler_;
};

}  // namespace testsupport
