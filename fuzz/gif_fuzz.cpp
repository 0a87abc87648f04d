// Fuzzes the GIF codec of the image class: frame 0 (or a later frame), the
// true-colour path, and encoding whatever decodes.
#include "imaging/ImageGif.h"
#include "imaging/ImageMemoryStream.h"

#include <cstddef>
#include <cstdint>

namespace {

class FrameGif : public CImageGif {
public:
    void SetFrame(LONG frame) { m_info.frame = frame; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Size first, so that huge (but allowed) screens do not slow the run.
    {
        tavrin::ImageMemoryStream stream(data, size);
        CImageGif probe;
        probe.SetEscape(-1);
        if (!probe.Decode(stream))
            return 0;
        if (static_cast<uint64_t>(probe.GetWidth()) * probe.GetHeight() > 100000)
            return 0;
    }
    // The last byte picks the frame: mostly 0, as the program asks.
    FrameGif gif;
    gif.SetFrame(size > 0 && (data[size - 1] & 0xF0) == 0xF0 ? data[size - 1] & 3 : 0);
    tavrin::ImageMemoryStream stream(data, size);
    if (!gif.Decode(stream))
        return 0;
    // One of the three compression methods, by the input's size.
    gif.SetCodecOption(static_cast<DWORD>(size % 3), IMAGE_TYPE_GIF);
    tavrin::ImageMemoryStream out;
    if (!gif.Encode(out))
        __builtin_trap();
    // What we write must read back at the same size.
    CImageGif back;
    tavrin::ImageMemoryStream in(out.Bytes().data(), out.Bytes().size());
    if (!back.Decode(in) || back.GetWidth() != gif.GetWidth() || back.GetHeight() != gif.GetHeight())
        __builtin_trap();
    return 0;
}
