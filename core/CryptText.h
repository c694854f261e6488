#pragma once

#include <string>

namespace vastrel {

// The program's fixed passphrase for stored database passwords.
inline constexpr const char* kPassphrase = "kolvrint";

// Reads pairs of hex digits into bytes. Lenient: a trailing single digit is a
// one-digit number and a non-hex character ends the current number early.
std::string HexToText(const std::string& hex);

// Writes each byte as two upper-case hex digits.
std::string TextToHex(const std::string& bytes);

// Deciphers bytes produced by EncryptData; returns "" on any failure.
std::string DecryptText(const std::string& cipherBytes, const std::string& passphrase);

// Enciphers plain text and returns it in its stored (hex) form.
std::string EncryptText(const std::string& plain, const std::string& passphrase);

} // namespace vastrel
