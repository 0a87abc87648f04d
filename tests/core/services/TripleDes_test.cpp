#include "core/services/TripleDes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tavrin::DesConventions;

std::vector<BYTE> FromHex(const std::string& hex)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string ToHex(const BYTE* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

std::vector<BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<BYTE> Crypt(const std::vector<BYTE>& in, const std::vector<BYTE>& key, int keyLength, bool decrypt,
                        const DesConventions& conventions = {})
{
    std::vector<BYTE> padded(in);
    padded.resize((in.size() + 7) / 8 * 8, 0);
    std::vector<BYTE> out(padded.size(), 0xEE);
    EXPECT_TRUE(TripleDesCrypt(out.data(), padded.data(), static_cast<int>(in.size()), key.data(), keyLength,
                               decrypt, conventions));
    return out;
}

const std::vector<BYTE> kStoredKey = Bytes(std::string("grey owls at sea") + '\0');

} // namespace

// With all three standard conventions restored the core is the published DES:
// the classic vector and further ones cross-checked with openssl des-ecb.
TEST(TripleDes, StandardConventionsGivePublishedVectors)
{
    struct Case { const char* key; const char* plain; const char* cipher; };
    const Case cases[] = {
        {"0123456789ABCDEF", "4e6f772069732074", "3fa40e8a984d4815"},  // "Now is t"
        {"133457799BBCDFF1", "0123456789ABCDEF", "85e813540f0ab405"},
        {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
        {"FEDCBA9876543210", "0000000000000000", "a68cdca90c9021f9"},
        {"A1B2C3D4E5F60718", "FFFFFFFFFFFFFFFF", "f5b9eb3920494d9a"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "690f5b0d9a26939b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::vector<BYTE> key = FromHex(c.key);
        std::vector<BYTE> cipher = Crypt(FromHex(c.plain), key, 8, false, DesConventions::Standard());
        EXPECT_EQ(ToHex(cipher.data(), 8), c.cipher);
        std::vector<BYTE> plain = Crypt(cipher, key, 8, true, DesConventions::Standard());
        EXPECT_EQ(plain, FromHex(c.plain));
    }
}

TEST(TripleDes, StandardConventionsGiveOpensslTwoKeyTriple)
{
    // openssl enc -des-ede-ecb -nopad -K 0123456789ABCDEFFEDCBA9876543210
    std::vector<BYTE> key = FromHex("0123456789ABCDEFFEDCBA9876543210");
    std::vector<BYTE> plain = Bytes("Now is the time for all ");
    std::vector<BYTE> cipher = Crypt(plain, key, 16, false, DesConventions::Standard());
    EXPECT_EQ(ToHex(cipher.data(), cipher.size()), "d80a0d8b2bae5e4e6a0094171abcfc2775d2235a706e232c");
    EXPECT_EQ(Crypt(cipher, key, 16, true, DesConventions::Standard()), plain);
}

TEST(TripleDes, EachStoredConventionAloneBreaksThePublishedVector)
{
    std::vector<BYTE> key = FromHex("0123456789ABCDEF");
    std::vector<BYTE> plain = Bytes("Now is t");
    const DesConventions oneOff[] = {
        {true, false, false},
        {false, true, false},
        {false, false, true},
    };
    for (const DesConventions& conventions : oneOff) {
        std::vector<BYTE> cipher = Crypt(plain, key, 8, false, conventions);
        EXPECT_NE(ToHex(cipher.data(), 8), "3fa40e8a984d4815");
        EXPECT_EQ(Crypt(cipher, key, 8, true, conventions), plain);
    }
}

// Least-significant-bit-first unpacking alone is the standard cipher seen
// through bit-reversed bytes.
TEST(TripleDes, LsbFirstBitsAreTheStandardOnReversedBytes)
{
    auto reversed = [](std::vector<BYTE> bytes) {
        for (BYTE& b : bytes) {
            BYTE r = 0;
            for (int i = 0; i < 8; ++i)
                r = static_cast<BYTE>(r | (((b >> i) & 1) << (7 - i)));
            b = r;
        }
        return bytes;
    };
    std::vector<BYTE> key = Bytes("grey owl");
    std::vector<BYTE> plain = Bytes("Now is t");
    std::vector<BYTE> lsbFirst = Crypt(plain, key, 8, false, {true, false, false});
    std::vector<BYTE> standard = Crypt(reversed(plain), reversed(key), 8, false, DesConventions::Standard());
    EXPECT_EQ(lsbFirst, reversed(standard));
}

TEST(TripleDes, StoredFormatBytesStayTheSame)
{
    // Files written by earlier runs depend on these exact bytes.
    std::vector<BYTE> stored = Crypt(Bytes("password"), kStoredKey, 17, false);
    EXPECT_EQ(ToHex(stored.data(), 8), "d0a8235d7fd4bd8d");
    EXPECT_NE(stored, Crypt(Bytes("password"), kStoredKey, 17, false, DesConventions::Standard()));
}

TEST(TripleDes, RoundTripsInSingleAndTripleMode)
{
    std::vector<BYTE> plain = Bytes("a text of several blocks, 37 bytes..");
    plain.resize(40, 0);
    struct Mode { std::vector<BYTE> key; int length; };
    const Mode modes[] = {
        {kStoredKey, 17},
        {kStoredKey, 16},
        {kStoredKey, 9},
        {kStoredKey, 8},
        {Bytes("short"), 5},
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.length);
        std::vector<BYTE> cipher = Crypt(plain, m.key, m.length, false);
        EXPECT_NE(cipher, plain);
        EXPECT_EQ(Crypt(cipher, m.key, m.length, true), plain);
    }
}

TEST(TripleDes, KeyLengthSelectsTheMode)
{
    std::vector<BYTE> block = Bytes("12345678");
    // Single mode: the key zero-padded to 8 bytes; later bytes are ignored.
    std::vector<BYTE> shortKey = Bytes("key");
    std::vector<BYTE> padded = Bytes("key");
    padded.resize(16, 0);
    padded[12] = 'x';
    EXPECT_EQ(Crypt(block, shortKey, 3, false), Crypt(block, padded, 8, false));

    // Triple mode is E(K1) D(K2) E(K1) with the two halves of the key.
    std::vector<BYTE> triple = Crypt(block, kStoredKey, 17, false);
    std::vector<BYTE> k1(kStoredKey.begin(), kStoredKey.begin() + 8);
    std::vector<BYTE> k2(kStoredKey.begin() + 8, kStoredKey.begin() + 16);
    std::vector<BYTE> step = Crypt(block, k1, 8, false);
    step = Crypt(step, k2, 8, true);
    step = Crypt(step, k1, 8, false);
    EXPECT_EQ(triple, step);
    EXPECT_NE(triple, Crypt(block, k1, 8, false));
    // A 17-byte length uses only the first 16 bytes.
    EXPECT_EQ(triple, Crypt(block, kStoredKey, 16, false));
}

TEST(TripleDes, EcbEncipheresEqualBlocksAlike)
{
    std::vector<BYTE> plain = Bytes("samesamesamesame");
    std::vector<BYTE> cipher = Crypt(plain, kStoredKey, 17, false);
    EXPECT_TRUE(std::equal(cipher.begin(), cipher.begin() + 8, cipher.begin() + 8));
    EXPECT_EQ(cipher, Crypt(plain, kStoredKey, 17, false));
}

TEST(TripleDes, KeyBytesDifferingInTheTopBitGiveTheSameRoundKeys)
{
    BYTE a[8] = {'g', 'r', 'e', 'y', ' ', 'o', 'w', 'l'};
    BYTE b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<BYTE>(a[i] ^ 0x80);
    tavrin::DesRoundKeys ka, kb;
    DesKeySchedule(a, ka);
    DesKeySchedule(b, kb);
    EXPECT_EQ(ka, kb);
    b[0] ^= 0x01;
    DesKeySchedule(b, kb);
    EXPECT_NE(ka, kb);
}

TEST(TripleDes, SetKeyBuildsTheKeyState)
{
    tavrin::TripleDesKey state;
    TripleDesSetKey(state, kStoredKey.data(), 17);
    EXPECT_TRUE(state.triple);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(state.key), 16), "grey owls at sea");
    TripleDesSetKey(state, kStoredKey.data(), 8);
    EXPECT_FALSE(state.triple);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(state.key), 16), std::string("grey owl") + std::string(8, '\0'));
}

TEST(TripleDes, RefusesMissingBuffersAndEmptyLength)
{
    BYTE in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    BYTE out[8] = {};
    const BYTE* key = kStoredKey.data();
    EXPECT_FALSE(TripleDesCrypt(nullptr, in, 8, key, 17, false));
    EXPECT_FALSE(TripleDesCrypt(out, nullptr, 8, key, 17, false));
    EXPECT_FALSE(TripleDesCrypt(out, in, 8, nullptr, 17, false));
    EXPECT_FALSE(TripleDesCrypt(out, in, 0, key, 17, false));
    EXPECT_FALSE(TripleDesCrypt(out, in, -8, key, 17, false));
    EXPECT_EQ(ToHex(out, 8), "0000000000000000");
}
