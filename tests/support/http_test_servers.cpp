#include "support/http_test_servers.h"

#include <windows.h>

#include <cstdio>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_paths.h"
#include "util/util.h"

namespace testsupport {
namespace {

int ReadPort(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0) return std::atoi(line.c_str() + key.size() + 1);
    }
    return 0;
}

}  // namespace

HttpTestServers::HttpTestServers() : state_(BuildDir() + L"test-servers\\") {
    std::string ports = ReadFileBytes(state_ + L"ports.txt");
    nginxPort_ = ReadPort(ports, "nginx");
    faultPort_ = ReadPort(ports, "fault");
}

std::string HttpTestServers::NginxBase() const { return "http://127.0.0.1:" + std::to_string(nginxPort_); }

std::string HttpTestServers::NginxUrl(const std::string& name) const { return NginxBase() + "/" + name; }

std::string HttpTestServers::FaultUrl(const std::string& fault, const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(faultPort_) + "/" + fault + "/" + name;
}

std::wstring HttpTestServers::DocrootPath(const std::string& name) const {
    return state_ + L"docroot\\" + Util::AnsiToWide(name);
}

bool HttpTestServers::Publish(const std::string& name, const std::string& bytes) const {
    return WriteFileBytes(DocrootPath(name), bytes);
}

std::string HttpTestServers::FaultLog(const std::string& name) const {
    return ReadFileBytes(state_ + L"faultlog\\" + Util::AnsiToWide(name) + L".log");
}

std::string HttpTestServers::NginxLog(const std::string& name) const {
    std::istringstream lines(ReadFileBytes(state_ + L"logs\\access.log"));
    std::string line, matching;
    const std::string needle = " /" + name + " ";
    while (std::getline(lines, line)) {
        if (line.find(needle) != std::string::npos) matching += line + "\n";
    }
    return matching;
}

std::string UniqueServerName(const std::string& base) {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "-%lu-%llx", ::GetCurrentProcessId(),
                  static_cast<unsigned long long>(now.QuadPart));
    return base + suffix;
}

std::string PatternBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 0x9E3779B9u;
    for (size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

}  // namespace testsupport
