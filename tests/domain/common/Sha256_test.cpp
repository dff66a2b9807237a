#include "domain/common/Sha256.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>

namespace tess {
namespace {

struct DigestCase {
    const char* name;
    std::string data;
    const char* hex;
};

class Sha256Digest : public ::testing::TestWithParam<DigestCase> { };

// The published test vectors, and lengths on both sides of a block's end
// where the padding needs one block or two.
TEST_P(Sha256Digest, MatchesTheKnownValue)
{
    EXPECT_EQ(sha256Hex(GetParam().data), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(Vectors, Sha256Digest,
    ::testing::Values(DigestCase {"Empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        DigestCase {"Abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        DigestCase {"TwoBlockMessage", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        DigestCase {
            "MillionA", std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}),
    test::CaseName {});

} // namespace
} // namespace tess
