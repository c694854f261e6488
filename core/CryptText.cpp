#include "CryptText.h"

#include "Rijndael.h"

namespace vastrel {

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string HexToText(const std::string& hex) {
    std::string out;
    out.reserve(hex.size() / 2 + 1);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (std::size_t j = i; j < i + 2 && j < hex.size(); ++j) {
            const int digit = hexDigitValue(hex[j]);
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        out += static_cast<char>(value);
    }
    return out;
}

std::string TextToHex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

std::string DecryptText(const std::string& cipherBytes, const std::string& passphrase) {
    try {
        return CRijndael().DecryptData(cipherBytes, passphrase);
    } catch (...) {
        return {};
    }
}

std::string EncryptText(const std::string& plain, const std::string& passphrase) {
    return TextToHex(CRijndael().EncryptData(plain, passphrase));
}

} // namespace vastrel
