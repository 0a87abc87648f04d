#include "core/services/TripleDes.h"

#include <algorithm>
#include <cstring>

namespace {

using Bits64 = std::array<uint8_t, 64>;
using Bits32 = std::array<uint8_t, 32>;

// The standard DES tables, positions counted from 1.
constexpr uint8_t kInitialPermutation[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9, 1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr uint8_t kFinalPermutation[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9, 49, 17, 57, 25};

constexpr uint8_t kExpansion[48] = {
    32, 1, 2, 3, 4, 5, 4, 5, 6, 7, 8, 9,
    8, 9, 10, 11, 12, 13, 12, 13, 14, 15, 16, 17,
    16, 17, 18, 19, 20, 21, 20, 21, 22, 23, 24, 25,
    24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

constexpr uint8_t kPermutation[32] = {
    16, 7, 20, 21, 29, 12, 28, 17, 1, 15, 23, 26, 5, 18, 31, 10,
    2, 8, 24, 14, 32, 27, 3, 9, 19, 13, 30, 6, 22, 11, 4, 25};

constexpr uint8_t kPermutedChoice1[56] = {
    57, 49, 41, 33, 25, 17, 9, 1, 58, 50, 42, 34, 26, 18,
    10, 2, 59, 51, 43, 35, 27, 19, 11, 3, 60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7, 62, 54, 46, 38, 30, 22,
    14, 6, 61, 53, 45, 37, 29, 21, 13, 5, 28, 20, 12, 4};

constexpr uint8_t kPermutedChoice2[48] = {
    14, 17, 11, 24, 1, 5, 3, 28, 15, 6, 21, 10,
    23, 19, 12, 4, 26, 8, 16, 7, 27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr uint8_t kRotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr uint8_t kSBoxes[8][64] = {
    {14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7,
     0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8,
     4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0,
     15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13},
    {15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10,
     3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15,
     13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8,
     13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1,
     13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7,
     1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12},
    {7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15,
     13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9,
     10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4,
     3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14},
    {2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9,
     14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6,
     4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14,
     11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3},
    {12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11,
     10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8,
     9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6,
     4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13},
    {4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1,
     13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6,
     1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2,
     6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12},
    {13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7,
     1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2,
     7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8,
     2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}};

// Bit i (from 0) of the byte string: least or most significant bit first.
void Unpack(const BYTE* bytes, uint8_t* bits, int count, bool lsbFirst)
{
    for (int i = 0; i < count; ++i) {
        int shift = lsbFirst ? (i & 7) : 7 - (i & 7);
        bits[i] = (bytes[i >> 3] >> shift) & 1;
    }
}

void Pack(const uint8_t* bits, BYTE* bytes, int count, bool lsbFirst)
{
    std::memset(bytes, 0, static_cast<size_t>(count / 8));
    for (int i = 0; i < count; ++i) {
        int shift = lsbFirst ? (i & 7) : 7 - (i & 7);
        bytes[i >> 3] = static_cast<BYTE>(bytes[i >> 3] | (bits[i] << shift));
    }
}

template <size_t N>
void Permute(uint8_t* out, const uint8_t* in, const uint8_t (&table)[N])
{
    for (size_t i = 0; i < N; ++i)
        out[i] = in[table[i] - 1];
}

// f(R, K) = P(S(E(R) xor K)).
void Feistel(Bits32& out, const Bits32& r, const tavrin::DesRoundKey& k, bool sboxLsbFirst)
{
    uint8_t x[48];
    Permute(x, r.data(), kExpansion);
    for (int i = 0; i < 48; ++i)
        x[i] ^= k[static_cast<size_t>(i)];
    uint8_t s[32];
    for (int box = 0; box < 8; ++box) {
        const uint8_t* b = x + box * 6;
        int row = 2 * b[0] + b[5];
        int column = 8 * b[1] + 4 * b[2] + 2 * b[3] + b[4];
        int v = kSBoxes[box][row * 16 + column];
        for (int j = 0; j < 4; ++j)
            s[box * 4 + j] = static_cast<uint8_t>((v >> (sboxLsbFirst ? j : 3 - j)) & 1);
    }
    Permute(out.data(), s, kPermutation);
}

} // namespace

void DesKeySchedule(const BYTE key[8], tavrin::DesRoundKeys& roundKeys, const tavrin::DesConventions& conventions)
{
    uint8_t bits[64];
    Unpack(key, bits, 64, conventions.lsbFirstBits);
    uint8_t cd[56];
    Permute(cd, bits, kPermutedChoice1);
    for (int round = 0; round < 16; ++round) {
        for (int n = 0; n < kRotations[round]; ++n) {
            std::rotate(cd, cd + 1, cd + 28);
            std::rotate(cd + 28, cd + 29, cd + 56);
        }
        Permute(roundKeys[static_cast<size_t>(round)].data(), cd, kPermutedChoice2);
    }
}

void DesCryptBlock(BYTE out[8], const BYTE in[8], const tavrin::DesRoundKeys& roundKeys, bool decrypt,
                   const tavrin::DesConventions& conventions)
{
    uint8_t bits[64];
    Unpack(in, bits, 64, conventions.lsbFirstBits);
    Bits64 permuted;
    Permute(permuted.data(), bits, kInitialPermutation);
    Bits32 l, r, f;
    std::copy_n(permuted.begin(), 32, l.begin());
    std::copy_n(permuted.begin() + 32, 32, r.begin());

    if (!decrypt) {
        for (int i = 0; i < 16; ++i) {
            Feistel(f, r, roundKeys[static_cast<size_t>(i)], conventions.sboxLsbFirst);
            for (int j = 0; j < 32; ++j)
                l[static_cast<size_t>(j)] ^= f[static_cast<size_t>(j)];
            std::swap(l, r);
        }
        if (!conventions.noFinalSwap)
            std::swap(l, r);
    } else {
        // The standard cipher text carries R16 L16; the stored one L16 R16.
        if (!conventions.noFinalSwap)
            std::swap(l, r);
        for (int i = 15; i >= 0; --i) {
            Feistel(f, l, roundKeys[static_cast<size_t>(i)], conventions.sboxLsbFirst);
            for (int j = 0; j < 32; ++j)
                r[static_cast<size_t>(j)] ^= f[static_cast<size_t>(j)];
            std::swap(l, r);
        }
    }

    uint8_t joined[64];
    std::copy(l.begin(), l.end(), joined);
    std::copy(r.begin(), r.end(), joined + 32);
    Permute(bits, joined, kFinalPermutation);
    Pack(bits, out, 64, conventions.lsbFirstBits);
}

void TripleDesSetKey(tavrin::TripleDesKey& state, const BYTE* key, int keyLength,
                     const tavrin::DesConventions& conventions)
{
    std::memset(state.key, 0, sizeof state.key);
    if (key && keyLength > 0)
        std::memcpy(state.key, key, static_cast<size_t>(std::min(keyLength, 16)));
    DesKeySchedule(state.key, state.k1, conventions);
    state.triple = keyLength > 8;
    if (state.triple)
        DesKeySchedule(state.key + 8, state.k2, conventions);
}

BOOL TripleDesCrypt(BYTE* out, const BYTE* in, int length, const BYTE* key, int keyLength, bool decrypt,
                    const tavrin::DesConventions& conventions)
{
    if (!out || !in || !key || length <= 0)
        return FALSE;
    tavrin::TripleDesKey state;
    TripleDesSetKey(state, key, keyLength, conventions);
    int blocks = (length + 7) / 8;
    for (int b = 0; b < blocks; ++b) {
        BYTE block[8];
        std::memcpy(block, in + b * 8, 8);
        DesCryptBlock(block, block, state.k1, decrypt, conventions);
        if (state.triple) {
            DesCryptBlock(block, block, state.k2, !decrypt, conventions);
            DesCryptBlock(block, block, state.k1, decrypt, conventions);
        }
        std::memcpy(out + b * 8, block, 8);
    }
    return TRUE;
}
