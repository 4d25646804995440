#include "release/release_command.h"

#include <algorithm>
#include <optional>

#include "digest/sha256.h"
#include "release/add_package.h"
#include "release/document_check.h"
#include "release/document_file.h"
#include "release/installed_answer.h"
#include "release/online_check.h"
#include "release/package_digests.h"
#include "release/signature_check.h"
#include "release/version_space.h"
#include "update/update_matcher.h"
#include "update/version_pattern.h"
#include "util/util.h"

namespace release {
namespace {

// "--name value" or "--name=value" options and plain words, in order.
class Arguments {
public:
    explicit Arguments(const std::vector<std::wstring>& args) {
        for (const std::wstring& arg : args) args_.push_back(Util::WideToUtf8(arg));
    }

    // Walks the arguments; `onOption(name, value)` gets every option (value
    // empty for flags listed in `flags`), `onWord` every other argument.
    // Returns an error text or "".
    template <typename OnOption, typename OnWord>
    std::string Walk(const std::vector<std::string>& withValue, const std::vector<std::string>& flags,
                     OnOption onOption, OnWord onWord) const {
        for (size_t i = 0; i < args_.size(); ++i) {
            const std::string& arg = args_[i];
            if (arg.rfind("--", 0) != 0) {
                onWord(arg);
                continue;
            }
            std::string name = arg;
            std::optional<std::string> value;
            if (size_t eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
            bool takesValue = std::find(withValue.begin(), withValue.end(), name) != withValue.end();
            bool isFlag = std::find(flags.begin(), flags.end(), name) != flags.end();
            if (!takesValue && !isFlag) return "unknown option " + name;
            if (isFlag) {
                if (value) return name + " takes no value";
                onOption(name, std::string());
                continue;
            }
            if (!value) {
                if (i + 1 >= args_.size()) return name + " needs a value";
                value = args_[++i];
            }
            onOption(name, *value);
        }
        return std::string();
    }

private:
    std::vector<std::string> args_;
};

CommandOutput BadCommand(const std::string& why) {
    CommandOutput output;
    output.exitCode = kExitBadCommand;
    output.err = "tarsel-release: " + why + "\n" + "run \"tarsel-release --help\" for the usage\n";
    return output;
}

CommandOutput Failed(int code, const std::string& why, std::string out = std::string()) {
    CommandOutput output;
    output.exitCode = code;
    output.out = std::move(out);
    output.err = "tarsel-release: " + why + "\n";
    return output;
}

bool IsPlainVersion(const std::string& text) {
    std::array<std::string_view, 4> fields;
    if (!version_text::SplitFourNumbers(text, fields)) return false;
    for (std::string_view field : fields) {
        if (field.size() > 1 && field[0] == '0') return false;
    }
    return true;
}

// "" when the pattern matches some version, else why not.
std::string PatternProblem(const std::string& pattern) {
    std::array<std::string_view, 4> fields;
    if (!version_text::SplitFourPatternFields(pattern, fields)) {
        return "four fields separated by \".\" and no spaces are needed";
    }
    for (std::string_view field : fields) {
        FieldReading reading = ReadPatternField(std::string(field));
        if (!reading.problem.empty()) return reading.problem;
    }
    return std::string();
}

bool IsHttpUrl(const std::string& url) {
    for (const char* scheme : {"http://", "https://", "HTTP://", "HTTPS://"}) {
        if (url.rfind(scheme, 0) == 0 && url.size() > std::char_traits<char>::length(scheme)) return true;
    }
    return false;
}

CommandOutput RunCheck(const Arguments& arguments) {
    std::vector<std::string> words;
    std::vector<std::string> installed;
    bool online = false;
    std::optional<std::string> publicKey;
    std::string error = arguments.Walk(
        {"--installed", "--public-key"}, {"--online"},
        [&](const std::string& name, const std::string& value) {
            if (name == "--installed") installed.push_back(value);
            if (name == "--online") online = true;
            if (name == "--public-key") publicKey = value;
        },
        [&](const std::string& word) { words.push_back(word); });
    if (!error.empty()) return BadCommand(error);
    if (words.size() != 1) {
        return BadCommand(words.empty() ? "check needs the document: check FILE" : "check takes one document");
    }
    for (const std::string& version : installed) {
        if (!IsPlainVersion(version)) {
            return BadCommand("--installed " + version + ": an installed version is four numbers, like 1.1.516.220");
        }
    }
    std::optional<MinisignPublicKey> key;
    if (publicKey) {
        key = ParseMinisignPublicKey(*publicKey);
        if (!key) {
            return BadCommand("--public-key: not a minisign public key; give the second line of the key's .pub file "
                              "(56 base64 characters starting with RW)");
        }
    }

    const std::wstring path = Util::Utf8ToWide(words[0]);
    CheckedDocument document = CheckDocumentFile(path);
    if (!document.unreadable.empty()) return BadCommand("cannot read " + words[0] + ": " + document.unreadable);

    CommandOutput output;
    std::vector<std::string> onlineLines;
    if (online) onlineLines = CheckOnline(document);
    std::string signatureLines;
    if (key) {
        // A keyed launcher offers only packages whose SHA-256 the signed
        // document holds.
        for (size_t i = 0; i < document.rules.size(); ++i) {
            const UpdateInfo& rule = document.rules[i];
            if (rule.find("url") == rule.end() || rule.find("sha256") != rule.end()) continue;
            document.problems.push_back(
                {true, document.ruleLines[i],
                 "rule " + std::to_string(document.ruleNumbers[i]) + ": package " + UpdateInfoField(rule, "md5") +
                     " has no SHA256: a launcher built with this key does not offer it"});
        }
        const std::string signatureName = words[0] + ".minisig";
        SignatureVerdict verdict = VerifyDocumentSignature(path, *key);
        if (!verdict.verified) {
            document.problems.push_back({true, 1, "the signature " + signatureName + " does not verify with key " +
                                                      KeyIdText(*key) + ": " + verdict.detail +
                                                      ": a launcher built with this key uses no rule of it"});
        } else {
            signatureLines += "signature: " + signatureName + " verifies with key " + KeyIdText(*key) + ", " +
                              verdict.detail + "\n";
            if (verdict.timestamp) {
                signatureLines += "signature: timestamp " + std::to_string(*verdict.timestamp) +
                                  ": a launcher that has accepted a document with a larger timestamp refuses this one\n";
            } else {
                document.problems.push_back(
                    {false, 1, "the signature's trusted comment has no timestamp:N: a launcher that has accepted a "
                               "timestamped document refuses this one (let minisign write its default comment)"});
            }
        }
    }
    std::stable_sort(document.problems.begin(), document.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    int errors = 0, warnings = 0;
    for (const Problem& problem : document.problems) {
        output.out += ProblemLine(problem) + "\n";
        ++(problem.error ? errors : warnings);
    }
    for (const std::string& line : onlineLines) output.out += line + "\n";
    output.out += signatureLines;
    for (const std::string& version : installed) output.out += DescribeInstalled(document, version) + "\n";
    output.out += words[0] + ": " + std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
                  std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings") + "\n";
    output.exitCode = errors ? kExitProblem : kExitClean;
    return output;
}

bool SameRecords(const UpdateInfoList& before, const UpdateInfoList& after, const NewRelease& added) {
    if (after.size() != before.size() + 1 || !std::equal(before.begin(), before.end(), after.begin())) return false;
    const UpdateInfo& last = after.back();
    auto field = [&](const char* key) -> const std::string& { return UpdateInfoField(last, key); };
    // A package kept from before may lack "SHA256"; one it lists must be the installer's.
    const bool sha256Holds = last.find("sha256") == last.end() || Sha256TextMatches(added.sha256, field("sha256"));
    return field("md5") == added.md5 && field("type") == added.type && field("version") == added.pattern &&
           field("url") == added.url && field("newversion") == added.version && sha256Holds;
}

CommandOutput RunAdd(const Arguments& arguments) {
    std::string config, installer;
    NewRelease release;
    std::vector<std::string> words;
    std::string error = arguments.Walk(
        {"--config", "--installer", "--url", "--version", "--for", "--type", "--desc", "--image"}, {},
        [&](const std::string& name, const std::string& value) {
            if (name == "--config") config = value;
            if (name == "--installer") installer = value;
            if (name == "--url") release.url = value;
            if (name == "--version") release.version = value;
            if (name == "--for") release.pattern = value;
            if (name == "--type") release.type = value;
            if (name == "--desc") release.descriptions.push_back(value);
            if (name == "--image") release.images.push_back(value);
        },
        [&](const std::string& word) { words.push_back(word); });
    if (!error.empty()) return BadCommand(error);
    if (!words.empty()) return BadCommand("add takes no argument \"" + words[0] + "\"");
    for (auto [name, value] : {std::pair<const char*, const std::string*>{"--config", &config},
                               {"--installer", &installer},
                               {"--url", &release.url},
                               {"--version", &release.version},
                               {"--for", &release.pattern},
                               {"--type", &release.type}}) {
        if (value->empty()) return BadCommand(std::string("add needs ") + name);
    }
    if (!IsHttpUrl(release.url)) return BadCommand("--url " + release.url + ": an http:// or https:// URL is needed");
    if (!IsPlainVersion(release.version)) {
        return BadCommand("--version " + release.version +
                          ": four numbers without leading zeros are needed, like 1.1.600.10");
    }
    if (std::string why = PatternProblem(release.pattern); !why.empty()) {
        return BadCommand("--for " + release.pattern + ": " + why);
    }
    if (!IsUpdateMode(release.type)) return BadCommand("--type " + release.type + ": StartUp, Prompt or Force");

    PackageDigests digests = DigestsOfFile(Util::Utf8ToWide(installer));
    if (digests.md5.empty()) {
        return BadCommand("cannot read the installer " + installer + " (missing, unreadable or empty)");
    }
    release.md5 = digests.md5;
    release.sha256 = digests.sha256;

    const std::wstring path = Util::Utf8ToWide(config);
    FileRead read = ReadWholeFile(path, kLauncherDocumentLimit);
    if (read.outcome == ReadOutcome::kFailed) return BadCommand("cannot read " + config + ": " + read.error);
    if (read.outcome == ReadOutcome::kTooLarge) {
        return Failed(kExitProblem, config + " is larger than the launcher reads (" + read.error + "); left unchanged");
    }
    const bool creating = read.outcome == ReadOutcome::kMissing;
    UpdateInfoList before;
    if (!creating && read.bytes.find_first_not_of(" \t\r\n") != std::string::npos &&
        !ParseBytesAsLauncher(read.bytes, before)) {
        return Failed(kExitProblem, "the launcher cannot read " + config + "; left unchanged (run check to see why)");
    }

    AddedDocument added = AddRelease(creating ? std::string() : read.bytes, release);
    if (!added.ok) return Failed(kExitProblem, added.error + "; " + config + " left unchanged");
    UpdateInfoList after;
    if (!ParseBytesAsLauncher(added.text, after) || !SameRecords(before, after, release)) {
        return Failed(kExitProblem,
                      "the changed document would not read back as intended; " + config + " left unchanged");
    }
    if (!ReplaceDocument(path, added.text, error)) {
        return Failed(kExitProblem, error + "; " + config + " left unchanged");
    }

    CommandOutput output;
    output.exitCode = kExitClean;
    if (creating) output.out += "created " + config + "\n";
    for (const std::string& change : added.changes) output.out += change + "\n";
    output.out += "wrote " + config + "; run \"tarsel-release check " + config + "\" next\n";
    return output;
}

}  // namespace

std::string UsageText() {
    return "usage:\n"
           "  tarsel-release add --config FILE --installer PATH --url URL --version V --for PATTERN\n"
           "                     --type StartUp|Prompt|Force [--desc TEXT]... [--image URL]...\n"
           "      adds the installer as a package under \"Targets\" and a rule handing it to the\n"
           "      installed versions PATTERN at the end of \"Configs\"; creates FILE when missing\n"
           "  tarsel-release check FILE [--installed V]... [--online] [--public-key KEY]\n"
           "      lists every problem the launcher would have with FILE; --installed V says what a\n"
           "      user on version V gets; --online fetches every package and compares its digests;\n"
           "      --public-key KEY verifies FILE.minisig (KEY: the second line of minisign's .pub file)\n"
           "exit codes: 0 no error, 1 an error in the document (or it cannot take the change),\n"
           "            2 the command itself is wrong or a file cannot be read\n";
}

CommandOutput RunRelease(const std::vector<std::wstring>& args) {
    if (args.empty()) return BadCommand("a command is needed: add or check");
    if (args[0] == L"--help" || args[0] == L"-h" || args[0] == L"help") {
        CommandOutput output;
        output.exitCode = kExitClean;
        output.out = UsageText();
        return output;
    }
    Arguments rest(std::vector<std::wstring>(args.begin() + 1, args.end()));
    if (args[0] == L"check") return RunCheck(rest);
    if (args[0] == L"add") return RunAdd(rest);
    return BadCommand("unknown command \"" + Util::WideToUtf8(args[0]) + "\": add or check");
}

}  // namespace release
