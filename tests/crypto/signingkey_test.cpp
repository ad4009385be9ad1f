#include "crypto/signingkey.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crypto/sha256.h"
#include "keyimport_test_system.h"

namespace veltrin {
namespace {

// The keys in keys/ (also the configure step's table): two made with openssl (ecparam -genkey),
// key A in the shapes one system or the other would refuse (openssl ec -conv_form compressed,
// -param_enc explicit; the others edited by hand), and keys of other kinds. The signatures are
// over "abc" (openssl dgst -sha256 -sign).
std::string Key(const std::string& name) {
    std::ifstream file(std::string(VELTRIN_TEST_KEY_DIR) + "/" + name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(text.empty()) << name;
    return text;
}

// r and s of signature A; s has its top bit set, so DER gives it a leading zero byte.
constexpr char kRA[] = "513dcf2e4a98d31769667e71afbf1d387f931f94f9904c3fa4ffba6ae3b7c303";
constexpr char kSA[] = "8527e117032a4a8c2ee8e86942412cce9db4630f5b8cbd4133597ae61f00560c";
constexpr char kSignatureA[] =
    "30450220513dcf2e4a98d31769667e71afbf1d387f931f94f9904c3fa4ffba6ae3b7c3030221008527e117032a4a8c"
    "2ee8e86942412cce9db4630f5b8cbd4133597ae61f00560c";
constexpr char kSignatureB[] =
    "304402200806bdb38d9b4d1651558dac6bfaf799da1fd9ab065fb640d33f57b1497835c502202a6305c5e861a0a66f"
    "abecb9d11b7f3a1765d97c102e25a0488b84b553818f1a";
constexpr char kFingerprintA[] = "044deb53f7987e0fe9d465c2eb8bd2da590bc33d4efdf4be2f02b7d38e55a30b";

std::vector<unsigned char> Bytes(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct KeyCase {
    const char* Name;
    std::string Pem;
    std::string Problem;  // empty: the key is read
};

constexpr char kNoKey[] = "not a PEM public key";
constexpr char kOffCurve[] = "the key's point is not on the curve P-256";
constexpr char kNotP256[] = "not an ECDSA P-256 key";
constexpr char kCompressed[] =
    "the key's point is compressed; only uncompressed points are taken (openssl ec -pubin "
    "-conv_form uncompressed)";
constexpr char kExplicit[] =
    "the key spells out its curve's parameters; only the named curve P-256 is taken (openssl ec "
    "-pubin -param_enc named_curve)";

class SigningKeyReadTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SigningKeyReadTest, OnlyP256PublicKeysAreRead) {
    if (GetParam().Problem == kOffCurve && !KeyImportChecksThePoint())
        GTEST_SKIP() << "this system's key import does not check the point";
    std::vector<unsigned char> der;
    const std::string problem = ReadP256PublicKey(GetParam().Pem, der);
    EXPECT_EQ(problem, GetParam().Problem);
    EXPECT_EQ(der.empty(), !problem.empty());
}

std::string Damaged(std::string pem) {
    pem[40] = pem[40] == 'A' ? 'B' : 'A';
    return pem;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SigningKeyReadTest,
    ::testing::Values(KeyCase{"P256", Key("p256-a.pem"), ""},
                      KeyCase{"P384", Key("p384.pem"), kNotP256},
                      KeyCase{"Secp256k1", Key("secp256k1.pem"), kNotP256},
                      KeyCase{"Rsa", Key("rsa.pem"), kNotP256},
                      KeyCase{"CompressedPoint", Key("p256-a-compressed.pem"), kCompressed},
                      KeyCase{"HybridPoint", Key("p256-a-hybrid.pem"),
                              "the key's point is not in the uncompressed form"},
                      KeyCase{"ExplicitParameters", Key("p256-a-explicit-parameters.pem"),
                              kExplicit},
                      KeyCase{"PointOffCurve", Key("p256-a-point-off-curve.pem"), kOffCurve},
                      KeyCase{"LongFormLength", Key("p256-a-long-form-length.pem"), kNoKey},
                      KeyCase{"TrailingByte", Key("p256-a-trailing-byte.pem"), kNoKey},
                      KeyCase{"DamagedAlgorithm", Damaged(Key("p256-a.pem")), kNotP256},
                      KeyCase{"NoPem", "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE", kNoKey},
                      KeyCase{"Empty", "", kNoKey}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SigningKeyTest, FingerprintIsTheSha256OfTheDerKey) {
    std::vector<unsigned char> der;
    ASSERT_EQ(ReadP256PublicKey(Key("p256-a.pem"), der), "");
    EXPECT_EQ(Sha256Hex(der.data(), der.size()), kFingerprintA);
}

struct SignatureCase {
    const char* Name;
    std::string Key;
    std::vector<unsigned char> Signature;
    std::string Message;
    bool Valid;
};

class SignatureTest : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(SignatureTest, OnlyTheSignersKeyOverTheSameBytesVerifies) {
    const SignatureCase& c = GetParam();
    std::vector<unsigned char> der;
    ASSERT_EQ(ReadP256PublicKey(c.Key, der), "");
    EXPECT_EQ(VerifyP256Signature(der, c.Message.data(), c.Message.size(), c.Signature), c.Valid);
}

std::vector<unsigned char> Changed(std::vector<unsigned char> bytes, std::size_t at) {
    bytes[at] ^= 0x01;
    return bytes;
}

std::vector<unsigned char> Cut(std::vector<unsigned char> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<unsigned char> Appended(std::vector<unsigned char> bytes) {
    bytes.push_back(0);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SignatureTest,
    ::testing::Values(
        SignatureCase{"ByTheKey", Key("p256-a.pem"), Bytes(kSignatureA), "abc", true},
        SignatureCase{"ByTheKeyRebuilt", Key("p256-a.pem"),
                      Bytes(std::string("30450220") + kRA + "022100" + kSA), "abc", true},
        // The same r and s in encodings other than DER's one: libcrypto refuses them, and CNG's
        // decoder alone would take them.
        SignatureCase{"ZeroPaddedR", Key("p256-a.pem"),
                      Bytes(std::string("3046022100") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"TwoZerosBeforeS", Key("p256-a.pem"),
                      Bytes(std::string("30460220") + kRA + "02220000" + kSA), "abc", false},
        SignatureCase{"NegativeS", Key("p256-a.pem"),
                      Bytes(std::string("30440220") + kRA + "0220" + kSA), "abc", false},
        SignatureCase{"NegativeR", Key("p256-a.pem"),
                      Bytes(std::string("30460221ff") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"LongFormLength", Key("p256-a.pem"),
                      Bytes(std::string("3081450220") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"LongFormIntegerLength", Key("p256-a.pem"),
                      Bytes(std::string("3046028120") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"ThirdInteger", Key("p256-a.pem"),
                      Bytes(std::string("30480220") + kRA + "022100" + kSA + "020100"), "abc",
                      false},
        SignatureCase{"ZeroR", Key("p256-a.pem"), Bytes(std::string("3026020100022100") + kSA),
                      "abc", false},
        SignatureCase{"ZeroS", Key("p256-a.pem"), Bytes(std::string("30250220") + kRA + "020100"),
                      "abc", false},
        SignatureCase{"NotASequence", Key("p256-a.pem"),
                      Bytes(std::string("31450220") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"SecondKeyBySecondKey", Key("p256-b.pem"), Bytes(kSignatureB), "abc", true},
        SignatureCase{"OtherKey", Key("p256-b.pem"), Bytes(kSignatureA), "abc", false},
        SignatureCase{"OtherMessage", Key("p256-a.pem"), Bytes(kSignatureA), "abd", false},
        SignatureCase{"ChangedR", Key("p256-a.pem"), Changed(Bytes(kSignatureA), 10), "abc", false},
        SignatureCase{"ChangedS", Key("p256-a.pem"), Changed(Bytes(kSignatureA), 60), "abc", false},
        SignatureCase{"Truncated", Key("p256-a.pem"), Cut(Bytes(kSignatureA), 40), "abc", false},
        SignatureCase{"TrailingByte", Key("p256-a.pem"), Appended(Bytes(kSignatureA)), "abc",
                      false},
        SignatureCase{"Empty", Key("p256-a.pem"), {}, "abc", false},
        SignatureCase{"NotDer", Key("p256-a.pem"), std::vector<unsigned char>(64, 0x11), "abc",
                      false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
