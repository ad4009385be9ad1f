#include "crypto/signingkey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/sha256.h"
#include "keyimport_test_system.h"

namespace veltrin {
namespace {

// Keys and signatures over "abc" made once with openssl (ecparam -genkey, dgst -sha256 -sign).
constexpr char kKeyA[] = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEwg/rZ6vbSQ2YT6SIkOIYt+bOmiXE
jGyxia/nzNcFyAIMm7uOCNnV/hP1O3HWrzQgWdr6grt1VJwQjW/KieG2Rw==
-----END PUBLIC KEY-----
)";
constexpr char kKeyB[] = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEC49fcb8Zs5JfLJgGL5oBdGAc5pC8
aXBvv1i7N1jsln75J3yt1dLjyT4Euw++njydvvgVu1dh+GbP8vWrkShkFw==
-----END PUBLIC KEY-----
)";
constexpr char kKeyP384[] = R"(-----BEGIN PUBLIC KEY-----
MHYwEAYHKoZIzj0CAQYFK4EEACIDYgAED44TFLTeaMopasopmnu2DJzpErV7Wrl0
dgPDRLej3rrhMd3vU76OJB07cUkH4i1z0fITqFPIxxhLNsfWw3Nwc6IqOzNeCjGp
nztNfpHgjWyuf5Xi9h9ZZYb9W9J2cqyV
-----END PUBLIC KEY-----
)";
constexpr char kKeyRsa[] = R"(-----BEGIN PUBLIC KEY-----
MIGfMA0GCSqGSIb3DQEBAQUAA4GNADCBiQKBgQDNiiBT4CmER/EBEAx/TtXxKfJT
qmqmU0FLbbucqYO3Vodt2UrmLNnBT9lddU3OA8IX0Img/XATM7+Z0XVmmv59EH0Q
KG/0EpWVo7c/AW2ulb5yI3LR2LlPSpA/TY4TLGZ5FM4ZPqNcs0rmwLrR5kBX6tHx
ArdAwuPOD76lz8xiIwIDAQAB
-----END PUBLIC KEY-----
)";
// Key A in the shapes one system or the other would refuse (openssl ec -conv_form compressed,
// -param_enc explicit; the others edited by hand): both must refuse them alike.
constexpr char kKeyACompressed[] = R"(-----BEGIN PUBLIC KEY-----
MDkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDIgADwg/rZ6vbSQ2YT6SIkOIYt+bOmiXE
jGyxia/nzNcFyAI=
-----END PUBLIC KEY-----
)";
constexpr char kKeyAHybrid[] = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAHwg/rZ6vbSQ2YT6SIkOIYt+bOmiXE
jGyxia/nzNcFyAIMm7uOCNnV/hP1O3HWrzQgWdr6grt1VJwQjW/KieG2Rw==
-----END PUBLIC KEY-----
)";
constexpr char kKeyAExplicit[] = R"(-----BEGIN PUBLIC KEY-----
MIIBSzCCAQMGByqGSM49AgEwgfcCAQEwLAYHKoZIzj0BAQIhAP////8AAAABAAAA
AAAAAAAAAAAA////////////////MFsEIP////8AAAABAAAAAAAAAAAAAAAA////
///////////8BCBaxjXYqjqT57PrvVV2mIa8ZR0GsMxTsPY7zjw+J9JgSwMVAMSd
NgiG5wSTamZ44ROdJreBn36QBEEEaxfR8uEsQkf4vOblY6RA8ncDfYEt6zOg9KE5
RdiYwpZP40Li/hp/m47n60p8D54WK84zV2sxXs7LtkBoN79R9QIhAP////8AAAAA
//////////+85vqtpxeehPO5ysL8YyVRAgEBA0IABMIP62er20kNmE+kiJDiGLfm
zpolxIxssYmv58zXBcgCDJu7jgjZ1f4T9Ttx1q80IFna+oK7dVScEI1vyonhtkc=
-----END PUBLIC KEY-----
)";
// The last bit of y changed.
constexpr char kKeyAOffCurve[] = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEwg/rZ6vbSQ2YT6SIkOIYt+bOmiXE
jGyxia/nzNcFyAIMm7uOCNnV/hP1O3HWrzQgWdr6grt1VJwQjW/KieG2Rg==
-----END PUBLIC KEY-----
)";
constexpr char kKeyALongFormLength[] = R"(-----BEGIN PUBLIC KEY-----
MIFZMBMGByqGSM49AgEGCCqGSM49AwEHA0IABMIP62er20kNmE+kiJDiGLfmzpol
xIxssYmv58zXBcgCDJu7jgjZ1f4T9Ttx1q80IFna+oK7dVScEI1vyonhtkc=
-----END PUBLIC KEY-----
)";
constexpr char kKeyATrailingByte[] = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEwg/rZ6vbSQ2YT6SIkOIYt+bOmiXE
jGyxia/nzNcFyAIMm7uOCNnV/hP1O3HWrzQgWdr6grt1VJwQjW/KieG2RwA=
-----END PUBLIC KEY-----
)";
// Another curve of the same size.
constexpr char kKeySecp256k1[] = R"(-----BEGIN PUBLIC KEY-----
MFYwEAYHKoZIzj0CAQYFK4EEAAoDQgAEDqqkWwB8eM6adMDcp/KojgAzsFeip+sF
lRIoJduQIJLXHbc9/oOnAQspTLzVx5ALplN0+hV2/DSSMXZAKh/Qig==
-----END PUBLIC KEY-----
)";
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
    ::testing::Values(
        KeyCase{"P256", kKeyA, ""}, KeyCase{"P384", kKeyP384, kNotP256},
        KeyCase{"Secp256k1", kKeySecp256k1, kNotP256}, KeyCase{"Rsa", kKeyRsa, kNotP256},
        KeyCase{"CompressedPoint", kKeyACompressed, kCompressed},
        KeyCase{"HybridPoint", kKeyAHybrid, "the key's point is not in the uncompressed form"},
        KeyCase{"ExplicitParameters", kKeyAExplicit, kExplicit},
        KeyCase{"PointOffCurve", kKeyAOffCurve, kOffCurve},
        KeyCase{"LongFormLength", kKeyALongFormLength, kNoKey},
        KeyCase{"TrailingByte", kKeyATrailingByte, kNoKey},
        KeyCase{"DamagedAlgorithm", Damaged(kKeyA), kNotP256},
        KeyCase{"NoPem", "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE", kNoKey},
        KeyCase{"Empty", "", kNoKey}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SigningKeyTest, FingerprintIsTheSha256OfTheDerKey) {
    std::vector<unsigned char> der;
    ASSERT_EQ(ReadP256PublicKey(kKeyA, der), "");
    EXPECT_EQ(Sha256Hex(der.data(), der.size()), kFingerprintA);
}

struct SignatureCase {
    const char* Name;
    const char* Key;
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
        SignatureCase{"ByTheKey", kKeyA, Bytes(kSignatureA), "abc", true},
        SignatureCase{"ByTheKeyRebuilt", kKeyA,
                      Bytes(std::string("30450220") + kRA + "022100" + kSA), "abc", true},
        // The same r and s in encodings other than DER's one: libcrypto refuses them, and CNG's
        // decoder alone would take them.
        SignatureCase{"ZeroPaddedR", kKeyA,
                      Bytes(std::string("3046022100") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"TwoZerosBeforeS", kKeyA,
                      Bytes(std::string("30460220") + kRA + "02220000" + kSA), "abc", false},
        SignatureCase{"NegativeS", kKeyA, Bytes(std::string("30440220") + kRA + "0220" + kSA),
                      "abc", false},
        SignatureCase{"NegativeR", kKeyA,
                      Bytes(std::string("30460221ff") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"LongFormLength", kKeyA,
                      Bytes(std::string("3081450220") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"LongFormIntegerLength", kKeyA,
                      Bytes(std::string("3046028120") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"ThirdInteger", kKeyA,
                      Bytes(std::string("30480220") + kRA + "022100" + kSA + "020100"), "abc",
                      false},
        SignatureCase{"ZeroR", kKeyA, Bytes(std::string("3026020100022100") + kSA), "abc", false},
        SignatureCase{"ZeroS", kKeyA, Bytes(std::string("30250220") + kRA + "020100"), "abc",
                      false},
        SignatureCase{"NotASequence", kKeyA,
                      Bytes(std::string("31450220") + kRA + "022100" + kSA), "abc", false},
        SignatureCase{"SecondKeyBySecondKey", kKeyB, Bytes(kSignatureB), "abc", true},
        SignatureCase{"OtherKey", kKeyB, Bytes(kSignatureA), "abc", false},
        SignatureCase{"OtherMessage", kKeyA, Bytes(kSignatureA), "abd", false},
        SignatureCase{"ChangedR", kKeyA, Changed(Bytes(kSignatureA), 10), "abc", false},
        SignatureCase{"ChangedS", kKeyA, Changed(Bytes(kSignatureA), 60), "abc", false},
        SignatureCase{"Truncated", kKeyA, Cut(Bytes(kSignatureA), 40), "abc", false},
        SignatureCase{"TrailingByte", kKeyA, Appended(Bytes(kSignatureA)), "abc", false},
        SignatureCase{"Empty", kKeyA, {}, "abc", false},
        SignatureCase{"NotDer", kKeyA, std::vector<unsigned char>(64, 0x11), "abc", false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
