#pragma once
// The test HTTP servers of the build tree (nginx and the fault-injecting
// server under tools/servers), started by the CTest fixture
// "tarsel_http_servers". Tests publish files into the shared document root
// and fetch them back through either server. Names must be unique per test:
// tests run in parallel against the same servers.

#include <cstdint>
#include <string>

namespace testsupport {

class HttpTestServers {
public:
    // Reads the ports the fixture wrote; ok() is false when it did not run.
    HttpTestServers();
    bool ok() const { return nginxPort_ > 0 && faultPort_ > 0; }

    // "http://127.0.0.1:PORT/NAME" on nginx (byte ranges honoured).
    std::string NginxUrl(const std::string& name) const;
    // The base address of nginx, "http://127.0.0.1:PORT".
    std::string NginxBase() const;
    // "http://127.0.0.1:PORT/FAULT/NAME" on the fault server.
    std::string FaultUrl(const std::string& fault, const std::string& name) const;

    // Writes a file into the document root; true on success.
    bool Publish(const std::string& name, const std::string& bytes) const;
    std::wstring DocrootPath(const std::string& name) const;

    // Lines of the fault server's request log for NAME ("METHOD FAULT RANGE").
    std::string FaultLog(const std::string& name) const;
    // nginx's access-log lines for /NAME ("METHOD /NAME \"RANGE\" STATUS BYTES").
    std::string NginxLog(const std::string& name) const;

private:
    std::wstring state_;
    int nginxPort_ = 0;
    int faultPort_ = 0;
};

// "<base>-<pid>-<counter>": unique across the processes of one test run.
// Wine hands out process ids again, so the id alone would let a later test
// meet an earlier one's files and log lines.
std::string UniqueServerName(const std::string& base);

// Deterministic pseudo-random bytes, different for every seed.
std::string PatternBytes(size_t size, uint32_t seed);

}  // namespace testsupport
