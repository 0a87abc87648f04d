// Bitmap: pixels a memory device context draws into. Device bitmaps are
// 32-bit colour or monochrome (pixels black or white); DIB sections also keep
// the caller's bits. A 32-bit DIB section is drawn into directly; DIB sections
// of other depths are drawn on a 32-bit copy that is written out to the bits
// at the end of every drawing call and read in again whenever the caller has
// changed the bits, so the bits are current between calls, selected or not.
#pragma once

#include "platform/gdi/DibFormat.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Surface.h"

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

    // The pixels, current with the DIB bits outside drawing calls.
    Surface* Pixels();
    const Surface* Pixels() const { return const_cast<Bitmap*>(this)->Pixels(); }

    // Selection bookkeeping: a bitmap is selected into one DC at a time.
    bool IsSelected() const { return m_selected; }
    void OnSelected() { m_selected = true; }
    void OnDeselected() { m_selected = false; }

    // A drawing call on the pixels: while one is open the copy is not read
    // in again; when the outermost ends, a converted section's pixels are
    // written out to its bits (and read back, as the bits hold them).
    void BeginDraw() { ++m_drawing; }
    void EndDraw();

private:
    Bitmap() = default;
    bool Converted() const { return m_dib && !m_direct; }
    void LoadFromBits();
    void WriteToBits();

    std::unique_ptr<Surface> m_surface;
    std::unique_ptr<uint8_t[]> m_bits;   // DIB section storage
    std::unique_ptr<uint8_t[]> m_shadow; // the bits as last read or written, for converted sections
    DibLayout m_layout;
    int m_bpp = 32;
    bool m_dib = false;
    bool m_direct = false; // the surface wraps the DIB bits
    bool m_selected = false;
    int m_drawing = 0;
};

// The monochrome 1x1 bitmap every new memory DC starts with.
std::shared_ptr<Bitmap> DefaultBitmap();

} // namespace tavrin
