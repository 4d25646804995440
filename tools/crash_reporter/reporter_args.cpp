#include "reporter_args.h"

namespace stubreporter {

ReporterArgs ParseReporterArgs(const std::vector<std::wstring>& args) {
    ReporterArgs result;
    bool haveChannel = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"/embed") {
            if (result.embed) {
                result.error = L"/embed given twice";
                return result;
            }
            result.embed = true;
        } else if (arg == L"/channel") {
            if (haveChannel) {
                result.error = L"/channel given twice";
                return result;
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                result.error = L"/channel without a name";
                return result;
            }
            result.channel = args[++i];
            haveChannel = true;
        } else {
            result.error = L"unexpected argument: " + arg;
            return result;
        }
    }
    if (!haveChannel) {
        result.error = L"no /channel";
        return result;
    }
    result.valid = true;
    return result;
}

}  // namespace stubreporter
