#include "core/services/Password.h"

#include "core/services/TripleDes.h"

#include <string>
#include <vector>

namespace {

// The stored-password key. The terminating zero is counted in its length, so
// that all 16 characters are used (K1 the first eight, K2 the last eight).
constexpr char kPasswordKey[] = "grey owls at sea";
constexpr int kPasswordKeyLength = 17;

const BYTE* KeyBytes() { return reinterpret_cast<const BYTE*>(kPasswordKey); }

} // namespace

CString EncryptPassword(const CString& text)
{
    int length = text.GetLength();
    if (length == 0)
        return CString();
    size_t padded = (static_cast<size_t>(length) + 7) / 8 * 8;
    std::vector<BYTE> plain(padded, 0);
    std::copy(text.GetString(), text.GetString() + length, plain.begin());
    std::vector<BYTE> cipher(padded);
    TripleDesCrypt(cipher.data(), plain.data(), static_cast<int>(padded), KeyBytes(), kPasswordKeyLength, false);

    std::string digits;
    digits.reserve(padded * 3);
    for (BYTE b : cipher) {
        digits += static_cast<char>('0' + b / 100);
        digits += static_cast<char>('0' + b / 10 % 10);
        digits += static_cast<char>('0' + b % 10);
    }
    return CString(std::move(digits));
}

CString DecryptPassword(const CString& cipherText)
{
    size_t groups = static_cast<size_t>(cipherText.GetLength()) / 3;
    if (groups == 0)
        return CString();
    size_t padded = (groups + 7) / 8 * 8;
    std::vector<BYTE> cipher(padded, 0);
    const char* p = cipherText.GetString();
    for (size_t i = 0; i < groups; ++i) {
        // Decimal value of the group, read up to its first non-digit; values
        // above 255 keep their low byte.
        unsigned value = 0;
        for (size_t j = 0; j < 3; ++j) {
            char c = p[i * 3 + j];
            if (c < '0' || c > '9')
                break;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        cipher[i] = static_cast<BYTE>(value);
    }
    std::vector<BYTE> plain(padded, 0);
    TripleDesCrypt(plain.data(), cipher.data(), static_cast<int>(padded), KeyBytes(), kPasswordKeyLength, true);

    size_t end = 0;
    while (end < groups && plain[end] != 0)
        ++end;
    return CString(std::string(reinterpret_cast<const char*>(plain.data()), end));
}
