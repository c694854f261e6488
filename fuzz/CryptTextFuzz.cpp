// Stored passwords: any hex text is read and deciphered without harm, and whatever is
// enciphered deciphers to itself.

#include "CryptText.h"
#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

using namespace vastrel;
using vastrel::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string password = input.ConsumeRandomLengthString(64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    DecryptText(HexToText(text), kPassphrase);
    DecryptText(text, password);
    check(HexToText(TextToHex(text)) == text, "hex text reads back as the bytes it was made of");
    if (!password.empty() && password.find('\0') == std::string::npos)
        check(DecryptText(HexToText(EncryptText(text, password)), password) == text,
              "enciphered text deciphers to itself");
    return 0;
}
