#include "platform/win/DialogTemplate.h"

#include "platform/base/CodePage.h"

#include <cstdint>
#include <cstring>

namespace tavrin::win {

namespace {

class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }
    template <typename T> T Get()
    {
        T value{};
        if (m_pos + sizeof(T) > m_size) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t n)
    {
        if (m_pos + n > m_size)
            m_ok = false;
        else
            m_pos += n;
    }
    const BYTE* Here() const { return m_data + m_pos; }

    // A zero-ended UTF-16 string, as GBK.
    std::string String()
    {
        std::wstring wide;
        for (;;) {
            const WORD unit = Get<WORD>();
            if (!m_ok || unit == 0)
                break;
            if (unit >= 0xD800 && unit < 0xDC00) {
                const WORD low = Get<WORD>();
                if (!m_ok)
                    break;
                wide.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
            } else {
                wide.push_back(static_cast<wchar_t>(unit));
            }
        }
        return WideToGbk(wide);
    }
    // 0: none; 0xFFFF: a number follows; else a string.
    NameOrId NameOrNumber()
    {
        NameOrId result;
        if (m_pos + 2 > m_size) {
            m_ok = false;
            return result;
        }
        WORD first;
        std::memcpy(&first, m_data + m_pos, 2);
        if (first == 0) {
            m_pos += 2;
        } else if (first == 0xFFFF) {
            m_pos += 2;
            result.id = Get<WORD>();
            result.hasId = true;
        } else {
            result.name = String();
        }
        return result;
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

class Writer {
public:
    template <typename T> void Put(T value)
    {
        const size_t at = m_bytes.size();
        m_bytes.resize(at + sizeof(T));
        std::memcpy(m_bytes.data() + at, &value, sizeof(T));
    }
    void AlignDword()
    {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
    }
    void String(const std::string& gbk)
    {
        for (wchar_t c : GbkToWide(gbk)) {
            const uint32_t u = static_cast<uint32_t>(c);
            if (u >= 0x10000) {
                Put<WORD>(static_cast<WORD>(0xD800 + ((u - 0x10000) >> 10)));
                Put<WORD>(static_cast<WORD>(0xDC00 + ((u - 0x10000) & 0x3FF)));
            } else {
                Put<WORD>(static_cast<WORD>(u));
            }
        }
        Put<WORD>(0);
    }
    void NameOrNumber(const NameOrId& value)
    {
        if (!value.name.empty()) {
            String(value.name);
        } else if (value.hasId) {
            Put<WORD>(0xFFFF);
            Put<WORD>(value.id);
        } else {
            Put<WORD>(0);
        }
    }
    std::vector<BYTE> Take() { return std::move(m_bytes); }
    void Bytes(const std::vector<BYTE>& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

private:
    std::vector<BYTE> m_bytes;
};

} // namespace

bool ReadDialogTemplate(const void* tmpl, size_t size, DialogDescription* out)
{
    if (!tmpl || !out)
        return false;
    Reader r(static_cast<const BYTE*>(tmpl), size ? size : SIZE_MAX / 2);
    DialogDescription d;
    const WORD version = r.Get<WORD>();
    const WORD signature = r.Get<WORD>();
    const bool extended = version == 1 && signature == 0xFFFF;
    WORD count = 0;
    if (extended) {
        d.helpId = r.Get<DWORD>();
        d.exStyle = r.Get<DWORD>();
        d.style = r.Get<DWORD>();
    } else {
        Reader again(static_cast<const BYTE*>(tmpl), size ? size : SIZE_MAX / 2);
        r = again;
        d.style = r.Get<DWORD>();
        d.exStyle = r.Get<DWORD>();
    }
    count = r.Get<WORD>();
    d.x = r.Get<short>();
    d.y = r.Get<short>();
    d.cx = r.Get<short>();
    d.cy = r.Get<short>();
    d.menu = r.NameOrNumber();
    d.windowClass = r.NameOrNumber();
    d.title = r.String();
    if (d.style & DS_SETFONT) {
        d.hasFont = true;
        d.pointSize = r.Get<WORD>();
        if (extended) {
            d.weight = r.Get<WORD>();
            d.italic = r.Get<BYTE>() != 0;
            d.charset = r.Get<BYTE>();
        }
        d.face = r.String();
    }
    for (WORD i = 0; i < count && r.Ok(); ++i) {
        r.AlignDword();
        DialogItem item;
        if (extended) {
            item.helpId = r.Get<DWORD>();
            item.exStyle = r.Get<DWORD>();
            item.style = r.Get<DWORD>();
        } else {
            item.style = r.Get<DWORD>();
            item.exStyle = r.Get<DWORD>();
        }
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = extended ? r.Get<DWORD>() : r.Get<WORD>();
        item.windowClass = r.NameOrNumber();
        item.text = r.NameOrNumber();
        const WORD extra = r.Get<WORD>();
        if (extra) {
            const BYTE* at = r.Here();
            r.Skip(extra);
            if (r.Ok())
                item.data.assign(at, at + extra);
        }
        d.items.push_back(std::move(item));
    }
    if (!r.Ok())
        return false;
    *out = std::move(d);
    return true;
}

std::vector<BYTE> WriteDialogTemplate(const DialogDescription& d)
{
    Writer w;
    w.Put<WORD>(1);
    w.Put<WORD>(0xFFFF);
    w.Put<DWORD>(d.helpId);
    w.Put<DWORD>(d.exStyle);
    w.Put<DWORD>(d.style | (d.hasFont ? DS_SETFONT : 0));
    w.Put<WORD>(static_cast<WORD>(d.items.size()));
    w.Put<short>(d.x);
    w.Put<short>(d.y);
    w.Put<short>(d.cx);
    w.Put<short>(d.cy);
    w.NameOrNumber(d.menu);
    w.NameOrNumber(d.windowClass);
    w.String(d.title);
    if (d.hasFont) {
        w.Put<WORD>(d.pointSize);
        w.Put<WORD>(d.weight);
        w.Put<BYTE>(d.italic ? 1 : 0);
        w.Put<BYTE>(d.charset);
        w.String(d.face);
    }
    for (const DialogItem& item : d.items) {
        w.AlignDword();
        w.Put<DWORD>(item.helpId);
        w.Put<DWORD>(item.exStyle);
        w.Put<DWORD>(item.style);
        w.Put<short>(item.x);
        w.Put<short>(item.y);
        w.Put<short>(item.cx);
        w.Put<short>(item.cy);
        w.Put<DWORD>(item.id);
        w.NameOrNumber(item.windowClass);
        w.NameOrNumber(item.text);
        w.Put<WORD>(static_cast<WORD>(item.data.size()));
        w.Bytes(item.data);
    }
    return w.Take();
}

} // namespace tavrin::win
