// The signature check against signatures the real minisign tool made, both
// its default (prehashed, "ED") and its legacy ("Ed", -l) form.
#include <gtest/gtest.h>
#include <sodium.h>

#include <random>
#include <vector>

#include "signing_fixtures.h"
#include "update/minisign_verify.h"

using signingtest::Fixture;
using signingtest::Line;
using signingtest::PublicKeyLine;
using signingtest::ReplaceLine;

namespace {

MinisignPublicKey MainKey() {
    auto key = ParseMinisignPublicKey(PublicKeyLine("main.pub"));
    EXPECT_TRUE(key) << "the signing_fixtures step did not run";
    return key.value_or(MinisignPublicKey());
}

std::string ToCrlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string Base64(const std::string& bytes) {
    std::string out(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(out.data(), out.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    out.resize(out.size() - 1);  // the terminating zero
    return out;
}

std::string Unbase64(const std::string& text) {
    std::string out(text.size(), '\0');
    size_t size = 0;
    sodium_base642bin(reinterpret_cast<unsigned char*>(out.data()), out.size(), text.data(), text.size(), nullptr,
                      &size, nullptr, sodium_base64_VARIANT_ORIGINAL);
    out.resize(size);
    return out;
}

// The signature line with its algorithm bytes replaced.
std::string WithAlgorithm(const std::string& signature, const char* algorithm) {
    std::string raw = Unbase64(Line(signature, 1));
    raw[0] = algorithm[0];
    raw[1] = algorithm[1];
    return ReplaceLine(signature, 1, Base64(raw));
}

// The lines as the verifier reads them: one trailing CR dropped from each,
// empty lines at the end ignored, and of the untrusted comment (which is
// signed by nobody) only whether it has its prefix.
std::vector<std::string> Meaning(const std::string& signature) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= signature.size()) {
        size_t end = signature.find('\n', start);
        if (end == std::string::npos) end = signature.size();
        std::string line = signature.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    if (!lines.empty() && lines[0].rfind("untrusted comment: ", 0) == 0) lines[0] = "untrusted comment: ";
    return lines;
}

const char* kForms[] = {"doc.bin.prehashed.minisig", "doc.bin.legacy.minisig"};

}  // namespace

TEST(MinisignVerify, BothFormsVerifyWithLfAndCrlfLineEndsAndAnyUntrustedComment) {
    const MinisignPublicKey key = MainKey();
    const std::string document = Fixture("doc.bin");
    for (const char* form : kForms) {
        const std::string signature = Fixture(form);
        // The untrusted comment is signed by nobody: it may say anything.
        for (const std::string& text : {signature, ToCrlf(signature), signature.substr(0, signature.size() - 1),
                                        ReplaceLine(signature, 0, "untrusted comment: rewritten on the way")}) {
            MinisignResult result = VerifyMinisign(key, document, text);
            EXPECT_TRUE(result.ok()) << form << ": " << DescribeMinisignFailure(result.failure);
            EXPECT_EQ(TrustedCommentTimestamp(result.trustedComment), 2000u) << form;
        }
    }
}

TEST(MinisignVerify, EveryAlterationIsRefusedWithItsReason) {
    const MinisignPublicKey key = MainKey();
    const std::string document = Fixture("doc.bin");
    std::string alteredDocument = document;
    alteredDocument[100] ^= 1;
    for (const char* form : kForms) {
        const std::string signature = Fixture(form);
        const std::string line2 = Line(signature, 1);
        const std::string line4 = Line(signature, 3);
        std::string flippedSignature = Unbase64(line2);
        flippedSignature[20] ^= 0x10;
        struct Case {
            const char* what;
            std::string document;
            std::string signature;
            MinisignFailure expected;
        } cases[] = {
            {"empty", document, "", MinisignFailure::kMissing},
            {"blank lines only", document, "\r\n\n", MinisignFailure::kMissing},
            {"three lines", document, Line(signature, 0) + "\n" + line2 + "\n" + Line(signature, 2) + "\n",
             MinisignFailure::kMalformed},
            {"no untrusted prefix", document, ReplaceLine(signature, 0, "comment: x"), MinisignFailure::kMalformed},
            {"no trusted prefix", document, ReplaceLine(signature, 2, "trusted: timestamp:2000"), MinisignFailure::kMalformed},
            {"text after the signature", document, signature + "more\n", MinisignFailure::kMalformed},
            {"truncated signature line", document, ReplaceLine(signature, 1, line2.substr(0, 60)), MinisignFailure::kBadBase64},
            {"signature line cut by one", document, ReplaceLine(signature, 1, line2.substr(0, line2.size() - 4)),
             MinisignFailure::kBadBase64},
            {"bad base64 character", document, ReplaceLine(signature, 1, "*" + line2.substr(1)), MinisignFailure::kBadBase64},
            {"byte above 0x7f in base64", document, ReplaceLine(signature, 3, line4.substr(0, 10) + "\xFB" + line4.substr(11)),
             MinisignFailure::kBadBase64},
            {"blank after base64", document, ReplaceLine(signature, 1, line2 + " "), MinisignFailure::kBadBase64},
            {"truncated global signature", document, ReplaceLine(signature, 3, line4.substr(0, 40)), MinisignFailure::kBadBase64},
            {"unknown algorithm", document, WithAlgorithm(signature, "EC"), MinisignFailure::kUnknownAlgorithm},
            {"tampered document", alteredDocument, signature, MinisignFailure::kBadSignature},
            {"truncated document", document.substr(0, document.size() - 1), signature, MinisignFailure::kBadSignature},
            {"other algorithm claimed", document, WithAlgorithm(signature, form[8] == 'p' ? "Ed" : "ED"),
             MinisignFailure::kBadSignature},
            {"tampered signature", document, ReplaceLine(signature, 1, Base64(flippedSignature)), MinisignFailure::kBadSignature},
            {"tampered trusted comment", document,
             ReplaceLine(signature, 2, "trusted comment: timestamp:9000\tfile:doc.bin\thashed"),
             MinisignFailure::kBadTrustedComment},
            {"trusted comment with a trailing blank", document, ReplaceLine(signature, 2, Line(signature, 2) + " "),
             MinisignFailure::kBadTrustedComment},
        };
        for (const Case& c : cases) {
            MinisignResult result = VerifyMinisign(key, c.document, c.signature);
            EXPECT_EQ(result.failure, c.expected) << form << ", " << c.what << ": got "
                                                  << DescribeMinisignFailure(result.failure);
            EXPECT_TRUE(result.trustedComment.empty()) << c.what;
        }
    }
}

TEST(MinisignVerify, SignatureOfAnotherKeyIsRefused) {
    MinisignResult result = VerifyMinisign(MainKey(), Fixture("doc.bin"), Fixture("doc.bin.other.minisig"));
    EXPECT_EQ(result.failure, MinisignFailure::kOtherKey);
    // With a key carrying our key id but another key's bytes the signature itself fails.
    auto other = ParseMinisignPublicKey(PublicKeyLine("other.pub"));
    ASSERT_TRUE(other);
    other->keyId = MainKey().keyId;
    EXPECT_EQ(VerifyMinisign(*other, Fixture("doc.bin"), Fixture("doc.bin.prehashed.minisig")).failure,
              MinisignFailure::kBadSignature);
}

TEST(MinisignVerify, DefaultTrustedCommentCarriesTheSigningTime) {
    MinisignResult result = VerifyMinisign(MainKey(), Fixture("doc.bin"), Fixture("doc.bin.default.minisig"));
    ASSERT_TRUE(result.ok());
    auto timestamp = TrustedCommentTimestamp(result.trustedComment);
    ASSERT_TRUE(timestamp);
    EXPECT_GT(*timestamp, 1600000000u);  // signed while the fixtures were made
    result = VerifyMinisign(MainKey(), Fixture("doc.bin"), Fixture("doc.bin.notimestamp.minisig"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.trustedComment, "release build 7");
    EXPECT_FALSE(TrustedCommentTimestamp(result.trustedComment));
}

TEST(MinisignPublicKeyLine, OnlyAMinisignKeyLineIsAKey) {
    const std::string line = PublicKeyLine("main.pub");
    ASSERT_EQ(line.size(), 56u);
    EXPECT_TRUE(ParseMinisignPublicKey(line));
    EXPECT_TRUE(ParseMinisignPublicKey("  " + line + "\r\n"));
    EXPECT_FALSE(ParseMinisignPublicKey(""));
    EXPECT_FALSE(ParseMinisignPublicKey(line.substr(0, 52)));
    EXPECT_FALSE(ParseMinisignPublicKey(line + "AAAA"));
    EXPECT_FALSE(ParseMinisignPublicKey(Fixture("main.pub")));  // the whole file is not the line
    std::string raw = Unbase64(line);
    raw[1] = 'D';
    EXPECT_FALSE(ParseMinisignPublicKey(Base64(raw)));
}

TEST(TrustedComment, TimestampField) {
    struct Case {
        const char* comment;
        std::optional<std::uint64_t> expected;
    } cases[] = {
        {"timestamp:1700000000\tfile:Update.cfg\thashed", 1700000000u},
        {"file:Update.cfg\ttimestamp:42", 42u},
        {"release 7 timestamp:5", 5u},
        {"timestamp:18446744073709551615", UINT64_MAX},
        {"timestamp:18446744073709551616", std::nullopt},
        {"timestamp:", std::nullopt},
        {"timestamp:12a", std::nullopt},
        {"timestamp:-1", std::nullopt},
        {"mytimestamp:5", std::nullopt},
        {"", std::nullopt},
        {"release build", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(TrustedCommentTimestamp(c.comment), c.expected) << c.comment;
}

// Random damage to either input never verifies and never crashes.
TEST(MinisignVerify, RandomCorruptionIsRefused) {
    const MinisignPublicKey key = MainKey();
    const std::string document = Fixture("doc.bin");
    std::mt19937 random(20240517);
    for (const char* form : kForms) {
        const std::string signature = Fixture(form);
        for (int round = 0; round < 300; ++round) {
            std::string doc = document, sig = signature;
            std::string& target = (round % 3 == 0) ? doc : sig;
            switch (random() % 3) {
                case 0: target[random() % target.size()] ^= static_cast<char>(1 + random() % 255); break;
                case 1: target.resize(random() % target.size()); break;
                default: target.insert(random() % target.size(), 1, static_cast<char>(random())); break;
            }
            if (doc == document && sig == signature) continue;
            MinisignResult result = VerifyMinisign(key, doc, sig);
            // A change that only touches line ends or the empty tail keeps the meaning.
            bool harmless = doc == document && Meaning(sig) == Meaning(signature);
            if (!harmless) {
                EXPECT_FALSE(result.ok()) << form << " round " << round;
            }
        }
    }
}
