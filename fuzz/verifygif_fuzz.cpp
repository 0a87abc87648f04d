// The verification-code GIF decoder over arbitrary bytes.
#include "imaging/GifDecoder.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::in | std::ios::binary);
    CGifDecoder decoder;
    int frames = decoder.Load(in);
    // Touch every pixel and colour of what was kept.
    unsigned sum = 0;
    for (int i = 0; i < frames; ++i) {
        const CGifFrame* f = decoder.GetFrame(i);
        for (LONG y = 0; y < f->m_nHeight; ++y)
            for (LONG x = 0; x < f->m_nWidth; ++x)
                sum += f->m_pColors[f->m_pPixels[y * f->m_nStride + x]].rgbRed;
    }
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
