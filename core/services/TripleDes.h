// The block cipher of stored passwords: DES in two-key triple mode (ECB).
// Its bit conventions differ from the published standard and are part of the
// stored file format, so it is not interchangeable with a standard DES library.
#pragma once

#include "platform/base/Types.h"

#include <array>
#include <cstdint>

namespace tavrin {

// The three points where the stored format departs from the standard. The
// defaults are the stored format; Standard() restores the published cipher
// (only used to check the DES core against published vectors).
struct DesConventions {
    bool lsbFirstBits = true;    // bytes unpacked least significant bit first
    bool sboxLsbFirst = true;    // S-box values placed least significant bit first
    bool noFinalSwap = true;     // L16 R16 go into the final permutation unswapped

    static DesConventions Standard() { return {false, false, false}; }
};

// One round key of 48 bits, one bit a byte (0 or 1).
using DesRoundKey = std::array<uint8_t, 48>;
using DesRoundKeys = std::array<DesRoundKey, 16>;

// The state of one TripleDesCrypt call: the zeroed 16-byte key buffer, the
// round keys of both halves and whether the second half is used.
struct TripleDesKey {
    BYTE key[16] = {};
    DesRoundKeys k1 = {};
    DesRoundKeys k2 = {};
    bool triple = false;
};

} // namespace tavrin

// The 16 round keys of one 8-byte key.
void DesKeySchedule(const BYTE key[8], tavrin::DesRoundKeys& roundKeys,
                    const tavrin::DesConventions& conventions = {});

// One 8-byte block with one key; out and in may be the same buffer.
void DesCryptBlock(BYTE out[8], const BYTE in[8], const tavrin::DesRoundKeys& roundKeys, bool decrypt,
                   const tavrin::DesConventions& conventions = {});

// Fills the key state: K1 from bytes 0-7, K2 from bytes 8-15 of the zero-padded
// key; the triple mode is used when keyLength is greater than 8.
void TripleDesSetKey(tavrin::TripleDesKey& state, const BYTE* key, int keyLength,
                     const tavrin::DesConventions& conventions = {});

// Processes ceil(length / 8) blocks from in to out: E(K1) D(K2) E(K1) when
// enciphering in triple mode, D(K1) E(K2) D(K1) when deciphering, K1 alone in
// single mode. FALSE (and nothing written) when a buffer or the key is missing
// or length is not positive. Every call keeps its own key state, so calls from
// several threads never share one.
BOOL TripleDesCrypt(BYTE* out, const BYTE* in, int length, const BYTE* key, int keyLength, bool decrypt,
                    const tavrin::DesConventions& conventions = {});
