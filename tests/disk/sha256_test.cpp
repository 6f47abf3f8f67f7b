#include "disk/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace vat {
namespace {

TEST(Sha256, DigestsTextsOneAfterAnotherAndInPieces) {
    const struct {
        std::string text;
        const char* hex;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sha256OfText(c.text), c.hex) << c.text.size();
        Sha256 pieces;
        for (std::size_t at = 0; at < c.text.size(); at += 7)
            pieces.Add(std::string_view(c.text).substr(at, 7));
        EXPECT_EQ(pieces.Hex(), c.hex) << c.text.size();
        EXPECT_EQ(Sha256BytesOfHex(c.hex), Sha256BytesOfText(c.text)) << c.hex;
    }
    // Only the 64 lower-case digits HexOf writes read back.
    const std::string hex = Sha256OfText("abc");
    const auto with = [&hex](std::size_t at, char digit) {
        std::string other = hex;
        other[at] = digit;
        return other;
    };
    for (const std::string& other : {hex.substr(1), hex + "0", with(63, 'A'), with(0, 'g'),
                                     with(40, '\0'), with(63, '/'), with(7, ':')})
        EXPECT_FALSE(Sha256BytesOfHex(other)) << other;
}

}  // namespace
}  // namespace vat
