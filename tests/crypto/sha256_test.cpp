#include "crypto/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrin {
namespace {

struct DigestCase {
    std::string Message;
    std::size_t Repeat;
    const char* Digest;
};

class Sha256Test : public ::testing::TestWithParam<DigestCase> {};

// The published test vectors, fed whole and in uneven pieces that cross the 64-byte blocks.
TEST_P(Sha256Test, MatchesTheTestVectors) {
    const DigestCase& c = GetParam();
    std::string whole;
    for (std::size_t i = 0; i < c.Repeat; ++i)
        whole += c.Message;
    EXPECT_EQ(Sha256Hex(whole.data(), whole.size()), c.Digest);

    for (const std::size_t piece : {1u, 7u, 63u, 64u, 65u, 1000u}) {
        Sha256 sha;
        for (std::size_t at = 0; at < whole.size(); at += piece)
            sha.Update(whole.data() + at, std::min(piece, whole.size() - at));
        EXPECT_EQ(sha.FinalHex(), c.Digest) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, Sha256Test,
    ::testing::Values(
        DigestCase{"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        DigestCase{"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        DigestCase{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
                   "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        DigestCase{"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmn"
                   "opqklmnopqrlmnopqrsmnopqrstnopqrstu",
                   1, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        // 55 and 56 bytes: the length no longer fits the first padding block.
        DigestCase{"a", 55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        DigestCase{"a", 56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        DigestCase{"a", 1000000,
                   "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}));

}  // namespace
}  // namespace veltrin
