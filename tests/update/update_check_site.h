#pragma once
// One update check's world: a launcher folder with its data file, a
// temporary folder the process is pointed at, and an update server folder
// of its own on the test nginx (tests run in parallel against one server).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/http_test_servers.h"
#include "support/temp_dir.h"
#include "util/ini_file.h"

namespace updatetest {

class UpdateCheckSite {
public:
    // `name` starts the site's server folder name, made unique per test.
    explicit UpdateCheckSite(const std::string& name);
    ~UpdateCheckSite();
    UpdateCheckSite(const UpdateCheckSite&) = delete;
    UpdateCheckSite& operator=(const UpdateCheckSite&) = delete;

    bool ok() const { return servers_.ok() && !tempDir_.empty(); }
    const testsupport::HttpTestServers& servers() const { return servers_; }

    // The server address the data file names: nginx plus the site's folder.
    std::string ServerAddress() const;
    // Publishes the update document at <server>/pc/Update.cfg.
    bool PublishDocument(const std::string& json) const;
    // Publishes a package and returns its URL.
    std::string PublishPackage(const std::string& fileName, const std::string& bytes) const;
    // nginx's GET ranges for a package published by this site.
    std::string PackageLogName(const std::string& fileName) const;

    // The data file: created as "[base]" with "ver" and "server".
    CIniFile& data() { return data_; }
    std::wstring DataPath() const { return dir_ / L"TarselMainLauncher.dat"; }
    std::string DataBytes() const;
    const std::wstring& launcherDir() const { return launcherDir_; }

    // Names in the staging folder beside the launcher ("Temp\\"), where the
    // check fetches everything; it exists from the start.
    std::vector<std::wstring> TempFiles() const;
    const std::wstring& tempDir() const { return stagingDir_; }
    // Names in the user's temporary folder the process now uses (TMP and
    // TEMP), where the check must leave nothing.
    std::vector<std::wstring> UserTempFiles() const;

private:
    testsupport::HttpTestServers servers_;
    testsupport::TempDir dir_;
    std::wstring launcherDir_;
    std::wstring stagingDir_;
    std::wstring tempDir_;
    std::string folder_;
    CIniFile data_;
    std::wstring savedTmp_, savedTemp_;
};

// A test with a site of its own, named after the suite.
class SiteTest : public ::testing::Test {
protected:
    explicit SiteTest(const std::string& name) : site_(name) {}
    void SetUp() override { ASSERT_TRUE(site_.ok()) << "the http_servers_start fixture did not run"; }
    std::string Data(const wchar_t* key);

    UpdateCheckSite site_;
};

// Keys of section "base" in the order the file holds them.
std::vector<std::string> KeysInFileOrder(const std::string& iniText);

// A document with one rule for installed versions `pattern` handing out a
// package of `version` at `url` with digest `md5`.
std::string OneRuleDocument(const std::string& pattern, const std::string& version, const std::string& url,
                            const std::string& md5);

// The upper-case MD5 the document names for `bytes`, computed by Windows
// (bcrypt), not by the digest code under test.
std::string DigestOf(const std::string& bytes);

// How many GET requests a server log holds.
size_t CountGets(const std::string& logLines);

}  // namespace updatetest
