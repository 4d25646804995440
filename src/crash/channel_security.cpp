#include "crash/channel_security.h"

#include <sddl.h>

namespace crash::thrower::exception_toolkit {

channel_security::channel_security() noexcept {
    ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor_, TRUE, nullptr, FALSE);

    PSECURITY_DESCRIPTOR converted = nullptr;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(kChannelSacl, SDDL_REVISION_1, &converted,
                                                              nullptr)) {
        converted_.reset(converted);
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL sacl = nullptr;
        if (::GetSecurityDescriptorSacl(converted, &present, &sacl, &defaulted) && present && sacl) {
            hasLabel_ = ::SetSecurityDescriptorSacl(&descriptor_, TRUE, sacl, FALSE) != FALSE;
        }
    }

    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = TRUE;
}

}  // namespace crash::thrower::exception_toolkit
