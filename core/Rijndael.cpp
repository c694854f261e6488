#include "Rijndael.h"

#include <algorithm>
#include <stdexcept>

namespace vastrel {

namespace {

std::uint8_t xtime(std::uint8_t b) {
    return static_cast<std::uint8_t>((b << 1) ^ ((b & 0x80) ? 0x1B : 0x00));
}

std::uint8_t rotateLeft(std::uint8_t b, int n) {
    return static_cast<std::uint8_t>((b << n) | (b >> (8 - n)));
}

// How far each row moves left in ShiftRows, indexed by Nb - 4.
constexpr int kShiftOffsets[5][4] = {
    {0, 1, 2, 3}, // Nb = 4
    {0, 1, 2, 3}, // Nb = 5
    {0, 1, 2, 3}, // Nb = 6
    {0, 1, 2, 4}, // Nb = 7
    {0, 1, 3, 4}, // Nb = 8
};

constexpr std::array<std::uint8_t, 4> kMixForward = {0x02, 0x03, 0x01, 0x01};
constexpr std::array<std::uint8_t, 4> kMixInverse = {0x0E, 0x0B, 0x0D, 0x09};

} // namespace

CRijndael::CRijndael() {
    buildTables();
}

void CRijndael::buildTables() {
    // Powers of the generator 03 give the antilog table; log is its inverse.
    std::uint8_t power = 1;
    for (int i = 0; i < 255; ++i) {
        m_alog[i] = power;
        m_log[power] = static_cast<std::uint8_t>(i);
        power = static_cast<std::uint8_t>(power ^ xtime(power));
    }
    m_alog[255] = m_alog[0];
    m_log[0] = 0; // undefined; mul() and inverse() treat zero separately

    for (int i = 0; i < 256; ++i) {
        const std::uint8_t b = inverse(static_cast<std::uint8_t>(i));
        const std::uint8_t s =
            b ^ rotateLeft(b, 1) ^ rotateLeft(b, 2) ^ rotateLeft(b, 3) ^ rotateLeft(b, 4) ^ 0x63;
        m_sbox[i] = s;
        m_sboxInv[s] = static_cast<std::uint8_t>(i);
    }

    std::uint8_t rc = 1;
    for (auto& constant : m_rcon) {
        constant = rc;
        rc = xtime(rc);
    }
}

std::uint8_t CRijndael::mul(std::uint8_t a, std::uint8_t b) const {
    if (a == 0 || b == 0)
        return 0;
    return m_alog[(m_log[a] + m_log[b]) % 255];
}

std::uint8_t CRijndael::inverse(std::uint8_t a) const {
    if (a == 0)
        return 0;
    return m_alog[(255 - m_log[a]) % 255];
}

void CRijndael::setKey(const std::string& key, int nb, int nk) {
    if (nb < 4 || nb > 8 || nk < 4 || nk > 8)
        throw std::invalid_argument("Rijndael: block and key length must be 4..8 words");

    m_nb = nb;
    m_nk = nk;
    m_nr = std::max(nb, nk) + 6;
    const int total = m_nb * (m_nr + 1);

    for (int i = 0; i < m_nk; ++i) {
        for (int j = 0; j < 4; ++j) {
            const std::size_t pos = static_cast<std::size_t>(4 * i + j);
            m_encKey[i][j] = pos < key.size() ? static_cast<std::uint8_t>(key[pos]) : 0;
        }
    }

    for (int i = m_nk; i < total; ++i) {
        Word temp = m_encKey[i - 1];
        if (i % m_nk == 0) {
            std::rotate(temp.begin(), temp.begin() + 1, temp.end());
            for (auto& b : temp)
                b = m_sbox[b];
            temp[0] ^= m_rcon[i / m_nk - 1];
        } else if (m_nk > 6 && i % m_nk == 4) {
            for (auto& b : temp)
                b = m_sbox[b];
        }
        for (int j = 0; j < 4; ++j)
            m_encKey[i][j] = m_encKey[i - m_nk][j] ^ temp[j];
    }

    // Decryption walks the rounds backwards, so store the round keys reversed.
    for (int round = 0; round <= m_nr; ++round) {
        for (int c = 0; c < m_nb; ++c)
            m_decKey[round * m_nb + c] = m_encKey[(m_nr - round) * m_nb + c];
    }
}

CRijndael::State CRijndael::loadState(const std::string& block) const {
    State state{};
    for (int i = 0; i < 4 * m_nb; ++i) {
        const std::size_t pos = static_cast<std::size_t>(i);
        state[i % 4][i / 4] = pos < block.size() ? static_cast<std::uint8_t>(block[pos]) : 0;
    }
    return state;
}

std::string CRijndael::storeState(const State& state) const {
    std::string out(static_cast<std::size_t>(4 * m_nb), '\0');
    for (int i = 0; i < 4 * m_nb; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<char>(state[i % 4][i / 4]);
    return out;
}

void CRijndael::addRoundKey(State& state, const Word* roundKey) const {
    for (int c = 0; c < m_nb; ++c) {
        for (int r = 0; r < 4; ++r)
            state[r][c] ^= roundKey[c][r];
    }
}

void CRijndael::subBytes(State& state, const std::array<std::uint8_t, 256>& box) const {
    for (auto& row : state) {
        for (int c = 0; c < m_nb; ++c)
            row[c] = box[row[c]];
    }
}

void CRijndael::shiftRows(State& state, bool inverse) const {
    for (int r = 1; r < 4; ++r) {
        const int offset = kShiftOffsets[m_nb - 4][r];
        const int shift = inverse ? m_nb - offset : offset;
        const auto old = state[r];
        for (int c = 0; c < m_nb; ++c)
            state[r][c] = old[(c + shift) % m_nb];
    }
}

// Multiplies every column by the circulant matrix whose first row is coefficients.
void CRijndael::mixColumns(State& state, const std::array<std::uint8_t, 4>& coefficients) const {
    for (int c = 0; c < m_nb; ++c) {
        std::array<std::uint8_t, 4> column{};
        for (int r = 0; r < 4; ++r)
            column[r] = state[r][c];
        for (int r = 0; r < 4; ++r) {
            std::uint8_t sum = 0;
            for (int k = 0; k < 4; ++k)
                sum ^= mul(coefficients[(k - r + 4) % 4], column[k]);
            state[r][c] = sum;
        }
    }
}

std::string CRijndael::encryptBlock(const std::string& block) const {
    State state = loadState(block);
    addRoundKey(state, &m_encKey[0]);
    for (int round = 1; round <= m_nr; ++round) {
        subBytes(state, m_sbox);
        shiftRows(state, false);
        if (round != m_nr)
            mixColumns(state, kMixForward);
        addRoundKey(state, &m_encKey[round * m_nb]);
    }
    return storeState(state);
}

std::string CRijndael::decryptBlock(const std::string& block) const {
    State state = loadState(block);
    addRoundKey(state, &m_decKey[0]);
    for (int round = 1; round <= m_nr; ++round) {
        shiftRows(state, true);
        subBytes(state, m_sboxInv);
        addRoundKey(state, &m_decKey[round * m_nb]);
        if (round != m_nr)
            mixColumns(state, kMixInverse);
    }
    return storeState(state);
}

void CRijndael::setFrameKey(const std::string& password) {
    buildTables();
    setKey(password.substr(0, kFrameBytes), kFrameWords, kFrameWords);
}

std::string CRijndael::EncryptData(const std::string& message, const std::string& password) {
    if (password.empty() || message.size() > 0x7FFFFFFFu - 4)
        return {};
    setFrameKey(password);

    const auto length = static_cast<std::uint32_t>(message.size());
    std::string frame(4, '\0');
    for (int i = 0; i < 4; ++i)
        frame[static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
    frame += message;
    const std::size_t blocks = (frame.size() + kFrameBytes - 1) / kFrameBytes;
    frame.resize(blocks * kFrameBytes, '\0');

    std::string out;
    out.reserve(frame.size());
    for (std::size_t pos = 0; pos < frame.size(); pos += kFrameBytes)
        out += encryptBlock(frame.substr(pos, kFrameBytes));
    return out;
}

std::string CRijndael::DecryptData(const std::string& cipher, const std::string& password) {
    if (cipher.empty() || cipher.size() % kFrameBytes != 0 || password.empty())
        return {};
    setFrameKey(password);

    std::string frame;
    frame.reserve(cipher.size());
    for (std::size_t pos = 0; pos < cipher.size(); pos += kFrameBytes)
        frame += decryptBlock(cipher.substr(pos, kFrameBytes));

    std::uint32_t raw = 0;
    for (int i = 0; i < 4; ++i)
        raw |= static_cast<std::uint32_t>(
                   static_cast<std::uint8_t>(frame[static_cast<std::size_t>(i)]))
               << (8 * i);
    const auto length = static_cast<std::int32_t>(raw);
    if (length < 1 || static_cast<std::size_t>(length) > frame.size() - 4)
        return {};
    return frame.substr(4, static_cast<std::size_t>(length));
}

} // namespace vastrel
