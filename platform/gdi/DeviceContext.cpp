#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Pen.h"

#include <atomic>

namespace tavrin {

namespace {

std::atomic<int> g_displayBits{32};

void InitState(DcState& s)
{
    s.pen = std::static_pointer_cast<Pen>(StockObject(BLACK_PEN));
    s.brush = std::static_pointer_cast<Brush>(StockObject(WHITE_BRUSH));
    s.font = std::static_pointer_cast<Font>(StockObject(SYSTEM_FONT));
    s.palette = std::static_pointer_cast<Palette>(StockObject(DEFAULT_PALETTE));
}

} // namespace

std::shared_ptr<DeviceContext> DeviceContext::CreateMemory()
{
    std::shared_ptr<DeviceContext> dc(new DeviceContext);
    dc->m_memory = true;
    InitState(dc->m_state);
    dc->m_state.bitmap = DefaultBitmap();
    return dc;
}

std::shared_ptr<DeviceContext> DeviceContext::CreateInformation()
{
    std::shared_ptr<DeviceContext> dc(new DeviceContext);
    InitState(dc->m_state);
    return dc;
}

std::shared_ptr<DeviceContext> DeviceContext::CreateForSurface(std::shared_ptr<Surface> surface, POINT origin,
                                                               const Region& visible)
{
    std::shared_ptr<DeviceContext> dc(new DeviceContext);
    InitState(dc->m_state);
    dc->m_surface = std::move(surface);
    dc->m_origin = origin;
    dc->m_visible = visible;
    return dc;
}

DeviceContext::~DeviceContext()
{
    std::vector<std::shared_ptr<Bitmap>> held{m_state.bitmap};
    for (DcState& s : m_saved)
        held.push_back(s.bitmap);
    m_state.bitmap.reset();
    m_saved.clear();
    for (auto& b : held)
        ReleaseBitmap(b);
}

void DeviceContext::ReleaseBitmap(const std::shared_ptr<Bitmap>& bitmap)
{
    if (!bitmap || bitmap == DefaultBitmap() || !bitmap->IsSelected())
        return;
    if (bitmap == m_state.bitmap)
        return;
    for (const DcState& s : m_saved)
        if (s.bitmap == bitmap)
            return;
    bitmap->OnDeselected();
}

Surface* DeviceContext::Target()
{
    if (m_memory)
        return m_state.bitmap ? m_state.bitmap->Pixels() : nullptr;
    return m_surface.get();
}

bool DeviceContext::IsMonochrome() const
{
    return m_memory && m_state.bitmap && m_state.bitmap->IsMonochrome();
}

RECT DeviceContext::ToSurface(const RECT& r) const
{
    POINT a = ToSurface(r.left, r.top), b = ToSurface(r.right, r.bottom);
    return RECT{a.x, a.y, b.x, b.y};
}

RECT DeviceContext::DeviceBounds()
{
    if (m_memory) {
        Surface* s = Target();
        return s ? s->Bounds() : RECT{0, 0, 0, 0};
    }
    if (m_surface)
        return m_visible.Bounds();
    return RECT{0, 0, 0, 0};
}

const Region& DeviceContext::Clip()
{
    if (m_clipValid)
        return m_clip;
    Region area;
    if (m_memory) {
        Surface* s = Target();
        if (s)
            area = Region(s->Bounds());
    } else if (m_surface) {
        area = m_visible;
        area.Offset(m_origin.x, m_origin.y);
        area = area.Intersected(m_surface->Bounds());
    }
    if (m_state.clip) {
        Region user = *m_state.clip;
        user.Offset(m_origin.x, m_origin.y);
        area = Region::Combine(area, user, Region::Op::And);
    }
    m_clip = std::move(area);
    m_clipValid = true;
    return m_clip;
}

std::shared_ptr<GdiObject> DeviceContext::Select(const std::shared_ptr<GdiObject>& object)
{
    switch (object->Type()) {
    case OBJ_PEN:
    case OBJ_EXTPEN: {
        auto old = m_state.pen;
        m_state.pen = std::static_pointer_cast<Pen>(object);
        return old;
    }
    case OBJ_BRUSH: {
        auto old = m_state.brush;
        m_state.brush = std::static_pointer_cast<Brush>(object);
        return old;
    }
    case OBJ_FONT: {
        auto old = m_state.font;
        m_state.font = std::static_pointer_cast<Font>(object);
        return old;
    }
    case OBJ_BITMAP: {
        auto bitmap = std::static_pointer_cast<Bitmap>(object);
        if (!m_memory)
            return nullptr;
        if (bitmap == m_state.bitmap)
            return bitmap;
        // One DC at a time; the default bitmap is shared by all.
        if (bitmap->IsSelected() && bitmap != DefaultBitmap())
            return nullptr;
        auto old = m_state.bitmap;
        if (bitmap != DefaultBitmap())
            bitmap->OnSelected();
        m_state.bitmap = bitmap;
        ReleaseBitmap(old);
        m_clipValid = false;
        return old;
    }
    default:
        return nullptr;
    }
}

int DeviceContext::Save()
{
    m_saved.push_back(m_state);
    return int(m_saved.size());
}

bool DeviceContext::Restore(int level)
{
    int n = int(m_saved.size());
    if (level < 0)
        level = n + 1 + level;
    if (level < 1 || level > n)
        return false;
    auto current = m_state.bitmap;
    m_state = m_saved[size_t(level - 1)];
    m_saved.resize(size_t(level - 1));
    if (current != m_state.bitmap) {
        if (m_state.bitmap && m_state.bitmap != DefaultBitmap() && !m_state.bitmap->IsSelected())
            m_state.bitmap->OnSelected();
        ReleaseBitmap(current);
    }
    m_clipValid = false;
    return true;
}

DrawScope::DrawScope(DeviceContext& dc)
{
    if (dc.IsMemory() && dc.State().bitmap && dc.State().bitmap->IsDibSection()) {
        m_bitmap = dc.State().bitmap;
        m_bitmap->Pixels(); // take in what the caller wrote to the bits
        m_bitmap->BeginDraw();
    }
}

DrawScope::~DrawScope()
{
    if (m_bitmap)
        m_bitmap->EndDraw();
}

std::shared_ptr<DeviceContext> DcFromHandle(HDC hdc)
{
    return GdiHandles::Get<DeviceContext>(hdc);
}

HDC RegisterDc(std::shared_ptr<DeviceContext> dc)
{
    return static_cast<HDC>(GdiHandles::Insert(std::move(dc)));
}

void SetDisplayBitsPerPixel(int bits)
{
    g_displayBits = bits;
}

int DisplayBitsPerPixel()
{
    return g_displayBits;
}

} // namespace tavrin
