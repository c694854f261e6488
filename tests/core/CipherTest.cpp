#include "CryptText.h"
#include "Rijndael.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

using namespace vastrel;

namespace {

// Bytes 00 01 02 ... (count - 1).
std::string counting(int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>(i);
    return s;
}

std::string lower(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct KnownAnswer {
    const char* name;
    std::string key;
    std::string plainHex;
    int nb;
    int nk;
    const char* cipherHex;
};

const std::string kFipsPlain = "00112233445566778899aabbccddeeff";
const std::string kSecretFrame = HexToText("07000000") + "secret!" + std::string(21, '\0');

// 128-bit block vectors are from FIPS-197 appendix C. The 256-bit block
// vectors were produced by libmcrypt's "rijndael-256" in ECB mode.
const KnownAnswer kKnownAnswers[] = {
    {"AES128", counting(16), kFipsPlain, 4, 4, "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"AES192", counting(24), kFipsPlain, 4, 6, "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"AES256", counting(32), kFipsPlain, 4, 8, "8ea2b7ca516745bfeafc49904b496089"},
    {"R256Zero", std::string(32, '\0'), std::string(64, '0'), 8, 8,
     "c6227e7740b7e53b5cb77865278eab0726f62366d9aabad908936123a1fc8af3"},
    {"R256Counting", counting(32), lower(TextToHex(counting(32))), 8, 8,
     "623d2bd4ca3796dc3d02ecf2f37fb637fd3da58509cebb67ab9265b04db51e7d"},
    {"R256Frame", "kolvrint", lower(TextToHex(kSecretFrame)), 8, 8,
     "56395bbcd5b261cc4ce8d83b6042339e03ee63f85313da9b317843f258e6a5b1"},
};

} // namespace

TEST(Rijndael, KnownAnswersBothDirections) {
    for (const auto& v : kKnownAnswers) {
        SCOPED_TRACE(v.name);
        CRijndael cipher;
        cipher.setKey(v.key, v.nb, v.nk);
        const std::string plain = HexToText(v.plainHex);
        const std::string cipherText = HexToText(v.cipherHex);
        EXPECT_EQ(lower(TextToHex(cipher.encryptBlock(plain))), v.cipherHex);
        EXPECT_EQ(cipher.decryptBlock(cipherText), plain);
    }
}

TEST(Rijndael, OtherBlockAndKeyLengthsRoundTrip) {
    for (int nb = 4; nb <= 8; ++nb) {
        for (int nk = 4; nk <= 8; ++nk) {
            SCOPED_TRACE(testing::Message() << "nb=" << nb << " nk=" << nk);
            CRijndael cipher;
            cipher.setKey(counting(4 * nk), nb, nk);
            const std::string block = counting(4 * nb);
            const std::string enciphered = cipher.encryptBlock(block);
            EXPECT_NE(enciphered, block);
            EXPECT_EQ(cipher.decryptBlock(enciphered), block);
        }
    }
}

TEST(Rijndael, EncryptDataMatchesFrameVector) {
    EXPECT_EQ(lower(EncryptText("secret!", kPassphrase)), kKnownAnswers[5].cipherHex);
}

TEST(Rijndael, EmptyPasswordGivesNothing) {
    EXPECT_EQ(CRijndael().EncryptData("abc", ""), "");
    EXPECT_EQ(CRijndael().DecryptData(std::string(32, 'x'), ""), "");
    EXPECT_EQ(CRijndael().DecryptData("", kPassphrase), "");
}

TEST(Rijndael, EmptyMessageIsOneZeroBlock) {
    const std::string cipher = CRijndael().EncryptData("", kPassphrase);
    ASSERT_EQ(cipher.size(), 32u);
    CRijndael raw;
    raw.setKey(kPassphrase, 8, 8);
    EXPECT_EQ(raw.decryptBlock(cipher), std::string(32, '\0'));
    EXPECT_EQ(DecryptText(HexToText(TextToHex(cipher)), kPassphrase), "");
}

TEST(Rijndael, FrameLengths) {
    EXPECT_EQ(CRijndael().EncryptData(std::string(28, 'a'), kPassphrase).size(), 32u);
    EXPECT_EQ(CRijndael().EncryptData(std::string(29, 'a'), kPassphrase).size(), 64u);
    EXPECT_EQ(CRijndael().EncryptData(std::string(60, 'a'), kPassphrase).size(), 64u);
    EXPECT_EQ(CRijndael().EncryptData(std::string(61, 'a'), kPassphrase).size(), 96u);
}

TEST(CryptText, RoundTrips) {
    const std::string passwords[] = {"x",
                                     "hunter2",
                                     "caf\xE9",
                                     std::string(28, 'p'),
                                     std::string(29, 'q'),
                                     std::string(100, 'r'),
                                     std::string("nul\0inside", 10)};
    for (const auto& password : passwords) {
        SCOPED_TRACE(password);
        const std::string stored = EncryptText(password, kPassphrase);
        EXPECT_EQ(DecryptText(HexToText(stored), kPassphrase), password);
        EXPECT_EQ(DecryptText(HexToText(lower(stored)), kPassphrase), password);
        EXPECT_EQ(DecryptText(HexToText(stored), "wrong"), "");
    }
}

TEST(CryptText, LongPassphraseIsCutAt32Bytes) {
    const std::string longPass = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    ASSERT_EQ(longPass.size(), 40u);
    const std::string stored = EncryptText("secret", longPass);
    EXPECT_EQ(stored, EncryptText("secret", longPass.substr(0, 32)));
    EXPECT_EQ(DecryptText(HexToText(stored), longPass.substr(0, 32)), "secret");
}

TEST(CryptText, MalformedCipherGivesEmpty) {
    EXPECT_EQ(DecryptText(HexToText(std::string(62, 'A')), kPassphrase), "");
    EXPECT_EQ(DecryptText(HexToText(std::string(66, 'A')), kPassphrase), "");

    // Forge frames whose length field lies outside the data.
    for (const char* lengthHex : {"00000000", "3D000000", "FFFFFFFF", "00000080"}) {
        SCOPED_TRACE(lengthHex);
        const std::string frame = HexToText(lengthHex) + std::string(60, 'z');
        CRijndael raw;
        raw.setKey(kPassphrase, 8, 8);
        const std::string cipher =
            raw.encryptBlock(frame.substr(0, 32)) + raw.encryptBlock(frame.substr(32, 32));
        EXPECT_EQ(DecryptText(cipher, kPassphrase), "");
    }
    // The largest valid length is N - 4.
    const std::string full = EncryptText(std::string(60, 'z'), kPassphrase);
    EXPECT_EQ(DecryptText(HexToText(full), kPassphrase), std::string(60, 'z'));
}

TEST(CryptText, GarbageNeverThrows) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        std::string garbage(64, '\0');
        for (auto& c : garbage)
            c = static_cast<char>(rng() & 0xFF);
        EXPECT_NO_THROW(DecryptText(garbage, kPassphrase));
    }
}

TEST(CryptText, HexToTextEdgeCases) {
    struct Case {
        std::string hex;
        std::string bytes;
    };
    const Case cases[] = {
        {"", ""},       {"41", "A"},
        {"4a4B", "JK"}, {"414", "A\x04"},
        {"F", "\x0F"},  {"G1", std::string(1, '\0')},
        {"A?", "\x0A"}, {"41zz42", std::string("A\0B", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        EXPECT_EQ(HexToText(c.hex), c.bytes);
    }
}

TEST(CryptText, TextToHexIsUpperCase) {
    EXPECT_EQ(TextToHex(std::string("\x00\xab\x7f\xff", 4)), "00AB7FFF");
    EXPECT_EQ(TextToHex(""), "");
}
