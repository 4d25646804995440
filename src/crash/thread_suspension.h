#pragma once
// Freezing the rest of the process while a crash is handed over, so the
// reporter inspects the process exactly as it was when it failed.

namespace crash::thrower::exception_toolkit {

// Suspends (or resumes) every thread of this process except the caller.
// False when the system's thread list cannot be taken or is empty.
bool suspend_other_threads(bool suspend) noexcept;

}  // namespace crash::thrower::exception_toolkit
