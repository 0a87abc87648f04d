// Bitmap: pixels a memory device context draws into. Device bitmaps are
// 32-bit colour or monochrome (pixels black or white); DIB sections also keep
// the caller's bits. A 32-bit DIB section is drawn into directly; DIB sections
// of other depths are converted in when selected and out when deselected or
// flushed (GdiFlush).
#pragma once

#include "platform/win/DibFormat.h"
#include "platform/win/GdiObject.h"
#include "platform/win/Surface.h"

#include <memory>
#include <vector>

namespace tavrin {

class Bitmap final : public GdiObject {
public:
    // bitsPerPixel 1 (monochrome) or 32; zero or negative sizes fail.
    static std::shared_ptr<Bitmap> CreateDevice(int width, int height, int bitsPerPixel);
    static std::shared_ptr<Bitmap> CreateDibSection(const BITMAPINFO* info, UINT usage, void** bits);

    int Type() const override { return OBJ_BITMAP; }
    int Describe(int size, void* out) const override;

    int Width() const { return m_surface->Width(); }
    int Height() const { return m_surface->Height(); }
    int BitsPerPixel() const { return m_bpp; }
    bool IsDibSection() const { return m_dib; }
    // A device bitmap of black and white pixels; DIB sections of 1 bit keep
    // their colour table and are not monochrome in this sense.
    bool IsMonochrome() const { return !m_dib && m_bpp == 1; }
    const DibLayout& Layout() const { return m_layout; }

    // The pixels, current with the DIB bits when not selected.
    Surface* Pixels();
    const Surface* Pixels() const { return const_cast<Bitmap*>(this)->Pixels(); }

    // Selection bookkeeping: a bitmap is selected into one DC at a time.
    bool IsSelected() const { return m_selected; }
    void OnSelected();
    void OnDeselected();
    // Writes the pixels out to the DIB bits (no-op for 32-bit sections).
    void FlushToBits();

private:
    Bitmap() = default;
    bool Converted() const { return m_dib && !m_direct; }
    void LoadFromBits();

    std::unique_ptr<Surface> m_surface;
    std::unique_ptr<uint8_t[]> m_bits; // DIB section storage
    DibLayout m_layout;
    int m_bpp = 32;
    bool m_dib = false;
    bool m_direct = false; // the surface wraps the DIB bits
    bool m_selected = false;
};

// The monochrome 1x1 bitmap every new memory DC starts with.
std::shared_ptr<Bitmap> DefaultBitmap();

} // namespace tavrin
