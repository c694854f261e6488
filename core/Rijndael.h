#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vastrel {

// Rijndael block cipher with variable block length (Nb = 4..8 words) and
// key length (Nk = 4..8 words). AES is the Nb = 4 subset.
//
// EncryptData/DecryptData wrap the cipher into the framing used for stored
// passwords: 256-bit block, 256-bit key, each block enciphered on its own.
class CRijndael {
public:
    CRijndael();

    // Uses exactly nk*4 bytes of key; missing bytes count as zero.
    void setKey(const std::string& key, int nb, int nk);

    // Enciphers/deciphers one block of nb*4 bytes with the current key.
    std::string encryptBlock(const std::string& block) const;
    std::string decryptBlock(const std::string& block) const;

    // Frames the message (length + bytes + zero padding) and enciphers it.
    // Returns an empty string when the password is empty.
    std::string EncryptData(const std::string& message, const std::string& password);

    // Reverses EncryptData. Returns an empty string for malformed input.
    std::string DecryptData(const std::string& cipher, const std::string& password);

private:
    using Word = std::array<std::uint8_t, 4>;
    using State = std::array<std::array<std::uint8_t, 8>, 4>; // [row][column]

    static constexpr int kMaxRoundKeyWords = 120;
    static constexpr int kRoundConstants = 30;
    static constexpr int kFrameWords = 8;
    static constexpr int kFrameBytes = kFrameWords * 4;

    void buildTables();
    void setFrameKey(const std::string& password);
    std::uint8_t mul(std::uint8_t a, std::uint8_t b) const;
    std::uint8_t inverse(std::uint8_t a) const;

    State loadState(const std::string& block) const;
    std::string storeState(const State& state) const;
    void addRoundKey(State& state, const Word* roundKey) const;
    void subBytes(State& state, const std::array<std::uint8_t, 256>& box) const;
    void shiftRows(State& state, bool inverse) const;
    void mixColumns(State& state, const std::array<std::uint8_t, 4>& coefficients) const;

    std::array<std::uint8_t, 256> m_log{};
    std::array<std::uint8_t, 256> m_alog{};
    std::array<std::uint8_t, 256> m_sbox{};
    std::array<std::uint8_t, 256> m_sboxInv{};
    std::array<std::uint8_t, kRoundConstants> m_rcon{};

    int m_nb = 4;
    int m_nk = 4;
    int m_nr = 10;
    std::array<Word, kMaxRoundKeyWords> m_encKey{};
    std::array<Word, kMaxRoundKeyWords> m_decKey{};
};

} // namespace vastrel
