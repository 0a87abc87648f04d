#include "core/services/Password.h"
#include "core/services/TripleDes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The cipher bytes behind a decimal text.
std::vector<BYTE> Digits(const std::string& text)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; i + 3 <= text.size(); i += 3)
        bytes.push_back(static_cast<BYTE>(std::stoi(text.substr(i, 3))));
    return bytes;
}

std::vector<BYTE> Encipher(std::string padded)
{
    static const std::string key = std::string("grey owls at sea") + '\0';
    std::vector<BYTE> out(padded.size());
    TripleDesCrypt(out.data(), reinterpret_cast<const BYTE*>(padded.data()), static_cast<int>(padded.size()),
                   reinterpret_cast<const BYTE*>(key.data()), 17, false);
    return out;
}

} // namespace

TEST(Password, EmptyTextGivesEmptyText)
{
    EXPECT_TRUE(EncryptPassword(CString()).IsEmpty());
    EXPECT_TRUE(DecryptPassword(CString()).IsEmpty());
    EXPECT_TRUE(DecryptPassword(CString("12")).IsEmpty());
}

TEST(Password, TextIsZeroPaddedToWholeBlocks)
{
    struct Case { std::string text; size_t digits; std::string padded; };
    const Case cases[] = {
        {"1234567", 24, std::string("1234567") + '\0'},
        {"12345678", 24, "12345678"},
        {"123456789", 48, std::string("123456789") + std::string(7, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string encrypted = EncryptPassword(CString(c.text)).Str();
        ASSERT_EQ(encrypted.size(), c.digits);
        EXPECT_EQ(encrypted.find_first_not_of("0123456789"), std::string::npos);
        EXPECT_EQ(Digits(encrypted), Encipher(c.padded));
        EXPECT_EQ(DecryptPassword(CString(encrypted)).Str(), c.text);
    }
}

TEST(Password, DigitsAreThreePerByteWithLeadingZeros)
{
    std::string encrypted = EncryptPassword(CString("a password long enough to show small bytes")).Str();
    bool sawLeadingZero = false;
    for (size_t i = 0; i < encrypted.size(); i += 3) {
        EXPECT_LE(std::stoi(encrypted.substr(i, 3)), 255);
        sawLeadingZero |= encrypted[i] == '0';
    }
    EXPECT_TRUE(sawLeadingZero);
}

TEST(Password, RoundTripsTextsOfAnyLength)
{
    // The access record holds a whole cookie: far over the old 1024 bytes.
    std::string cookie;
    for (int i = 0; cookie.size() < 5000; ++i)
        cookie += "JSESSIONID=" + std::to_string(i * 7919) + "; ";
    const std::string texts[] = {"x", "secret", "密码\x81\x7C|`", std::string(1024, 'p'), std::string(1025, 'q'), cookie};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        CString encrypted = EncryptPassword(CString(text));
        EXPECT_EQ(static_cast<size_t>(encrypted.GetLength()), (text.size() + 7) / 8 * 24);
        EXPECT_EQ(DecryptPassword(encrypted).Str(), text);
    }
}

TEST(Password, DecryptedTextEndsAtTheFirstZeroByte)
{
    std::string withZero = std::string("abc") + '\0' + "defg";
    CString encrypted = EncryptPassword(CString(withZero));
    EXPECT_EQ(encrypted.GetLength(), 24);
    EXPECT_EQ(DecryptPassword(encrypted).Str(), "abc");
    // A trailing partial group is ignored.
    EXPECT_EQ(DecryptPassword(CString(encrypted.Str() + "12")).Str(), "abc");
}
