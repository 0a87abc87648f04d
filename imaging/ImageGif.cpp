#include "imaging/ImageGif.h"

#include "imaging/GifLzw.h"
#include "imaging/ImageStream.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace tavrin {

// Buffered reading of a GIF stream: the decoder reads it a byte at a time.
class GifInput : public GifByteSource {
public:
    explicit GifInput(CImageStream& stream) : m_stream(stream) {}

    int GetByte() override
    {
        if (m_pos == m_len && !Fill())
            return -1;
        return m_buffer[m_pos++];
    }

    size_t ReadBytes(BYTE* out, size_t n) override
    {
        size_t done = 0;
        while (done < n) {
            if (m_pos == m_len && !Fill())
                break;
            size_t take = m_len - m_pos;
            if (take > n - done)
                take = n - done;
            if (out)
                std::memcpy(out + done, m_buffer + m_pos, take);
            m_pos += take;
            done += take;
        }
        return done;
    }

    size_t Skip(size_t n) { return ReadBytes(nullptr, n); }

    // Skips data sub-blocks up to the terminator; false when the input ends.
    bool SkipSubBlocks()
    {
        for (;;) {
            int len = GetByte();
            if (len < 0)
                return false;
            if (len == 0)
                return true;
            if (Skip(static_cast<size_t>(len)) < static_cast<size_t>(len))
                return false;
        }
    }

    // The stream position of the next byte to read.
    LONG Tell() { return m_stream.Tell() - static_cast<LONG>(m_len - m_pos); }

    void Seek(LONG position)
    {
        m_pos = m_len = 0;
        m_eof = false;
        m_stream.Seek(position, SEEK_SET);
    }

    // Leaves the stream just after the bytes read.
    void Sync() { Seek(Tell()); }

private:
    bool Fill()
    {
        if (m_eof)
            return false;
        m_pos = 0;
        m_len = m_stream.Read(m_buffer, 1, sizeof m_buffer - 1);
        if (m_len == 0)
            m_eof = true;
        return m_len > 0;
    }

    CImageStream& m_stream;
    size_t m_pos = 0;
    size_t m_len = 0;
    bool m_eof = false;
    BYTE m_buffer[16384];
};

class GifStreamSink : public GifByteSink {
public:
    explicit GifStreamSink(CImageStream& stream) : m_stream(stream) {}
    bool WriteBytes(const BYTE* data, size_t n) override
    {
        if (n > 0 && m_stream.Write(data, 1, n) != n)
            m_ok = false;
        return m_ok;
    }
    bool Put(std::initializer_list<BYTE> bytes) { return WriteBytes(bytes.begin(), bytes.size()); }
    bool PutWord(LONG v) { return Put({static_cast<BYTE>(v & 0xFF), static_cast<BYTE>((v >> 8) & 0xFF)}); }
    bool IsOk() const { return m_ok; }

private:
    CImageStream& m_stream;
    bool m_ok = true;
};

namespace {

int BitsForColors(int colors)
{
    return colors <= 2 ? 1 : colors <= 16 ? 4 : 8;
}

// The index of pixel x in a packed row.
BYTE IndexAt(const BYTE* row, LONG x, WORD bpp)
{
    switch (bpp) {
    case 8:
        return row[x];
    case 4:
        return static_cast<BYTE>((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
    case 1:
        return static_cast<BYTE>((row[x >> 3] >> (7 - (x & 7))) & 1);
    default:
        return 0;
    }
}

// Packs one-byte indexes into a row of 1, 4 or 8 bits per pixel.
void PackRow(const BYTE* indexes, LONG width, WORD bpp, BYTE* row)
{
    if (bpp == 8) {
        std::memcpy(row, indexes, static_cast<size_t>(width));
        return;
    }
    LONG bytes = bpp == 4 ? (width + 1) / 2 : (width + 7) / 8;
    std::memset(row, 0, static_cast<size_t>(bytes));
    for (LONG x = 0; x < width; ++x) {
        if (bpp == 4)
            row[x >> 1] |= static_cast<BYTE>((indexes[x] & 0x0F) << ((x & 1) ? 0 : 4));
        else
            row[x >> 3] |= static_cast<BYTE>((indexes[x] & 1) << (7 - (x & 7)));
    }
}

} // namespace

} // namespace tavrin

using tavrin::GifInput;

struct CImageGif::ColorTable {
    RGBQUAD colors[256] = {};
    int size = 0;
    bool present = false;

    bool Read(GifInput& in, int count)
    {
        BYTE rgb[3 * 256];
        if (in.ReadBytes(rgb, static_cast<size_t>(3 * count)) != static_cast<size_t>(3 * count))
            return false;
        std::memset(colors, 0, sizeof colors);
        for (int i = 0; i < count; ++i)
            colors[i] = RGBQUAD{rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
        size = count;
        present = true;
        return true;
    }
};

struct CImageGif::LoopState {
    bool counting = false;
    ColorTable table;
    LONG screenWidth = 0;
    LONG screenHeight = 0;
    int trueColorSigns = 0;
    LONG frameNumber = 0;   // of the next frame that fits on the screen
    LONG wanted = 0;
    LONG count = 0;         // frames counted
    bool haveControl = false; // a graphic control block since the last frame
    int previousDisposal = 0;
    LONG firstTrans = -1;
    bool done = false;      // the wanted frame is decoded
    bool failed = false;    // no image could be made
    bool escaped = false;
    std::unique_ptr<CImageObj> trueColor;
};

CImageGif::CImageGif() : CImageObj(IMAGE_TYPE_GIF)
{
    m_comment[0] = '\0';
    m_loops = 0;
    m_disposal = 0;
}

CImageGif::~CImageGif() = default;

void CImageGif::SetComment(const char* text)
{
    std::snprintf(m_comment, sizeof m_comment, "%s", text ? text : "");
}

// ---------------------------------------------------------------- decoding

bool CImageGif::Decode(CImageStream& stream)
{
    auto in = std::make_unique<GifInput>(stream);
    BYTE header[13];
    if (in->ReadBytes(header, 13) != 13 || std::memcmp(header, "GIF8", 4) != 0)
        return false;
    auto state = std::make_unique<LoopState>();
    state->screenWidth = header[6] | (header[7] << 8);
    state->screenHeight = header[8] | (header[9] << 8);
    if (m_info.escape == -1) {
        m_head.biWidth = state->screenWidth;
        m_head.biHeight = state->screenHeight;
        return true;
    }
    state->table.size = 2 << (header[10] & 7);
    if (header[10] & 0x80) {
        if (!state->table.Read(*in, state->table.size))
            return false;
    } else {
        ++state->trueColorSigns; // tiles carry their own tables
    }

    LONG count = CountFrames(*in, *state);
    m_info.frameCount = count;
    if (m_info.frame < 0 || m_info.frame >= count)
        return false;
    if (count == 1)
        state->trueColorSigns = 0;
    state->wanted = m_info.frame;

    bool ok = RunBlocks(*in, *state);
    in->Sync();
    if (!ok || state->failed)
        return false;
    if (state->trueColor) {
        CImageObj& image = *state->trueColor;
        if (m_control.flags & 1) {
            image.SetTransColor(GetPaletteColor(m_control.transIndex));
            image.SetTransIndex(0);
        }
        return Transfer(image);
    }
    return state->done;
}

LONG CImageGif::CountFrames(GifInput& in, const LoopState& start)
{
    LONG position = in.Tell();
    auto state = std::make_unique<LoopState>();
    state->counting = true;
    state->table = start.table;
    state->screenWidth = start.screenWidth;
    state->screenHeight = start.screenHeight;
    RunBlocks(in, *state);
    in.Seek(position);
    return state->count;
}

bool CImageGif::RunBlocks(GifInput& in, LoopState& state)
{
    // After a stray byte, bytes are skipped up to the next 0 (the end of
    // whatever block they belonged to).
    bool zero = true;
    for (;;) {
        if (!state.counting && m_info.escape > 0)
            return false;
        int b = in.GetByte();
        if (b < 0)
            break;
        if (!zero && b != 0)
            continue;
        if (b == '!') {
            if (!ReadExtension(in, state.haveControl))
                break;
            continue;
        }
        if (b == ',') {
            if (!ReadFrame(in, state))
                break;
            if (state.done)
                break;
            continue;
        }
        if (b == ';')
            break;
        zero = b == 0;
    }
    return !state.escaped;
}

bool CImageGif::ReadExtension(GifInput& in, bool& sawControl)
{
    int label = in.GetByte();
    if (label < 0)
        return false;
    int len;
    if (label == 0xF9) {
        BYTE record[4];
        if (in.GetByte() != 4 || in.ReadBytes(record, 4) != 4)
            return false;
        m_control.flags = record[0];
        m_control.delay = static_cast<WORD>(record[1] | (record[2] << 8));
        m_control.transIndex = record[3];
        sawControl = true;
        len = in.GetByte();
    } else if (label == 0xFE) {
        len = in.GetByte();
        if (len < 0 || in.ReadBytes(reinterpret_cast<BYTE*>(m_comment), static_cast<size_t>(len)) != static_cast<size_t>(len))
            return false;
        m_comment[len] = '\0';
        if (len > 0)
            len = in.GetByte();
    } else if (label == 0xFF) {
        BYTE id[11];
        BYTE data[255];
        if (in.GetByte() != 11 || in.ReadBytes(id, 11) != 11)
            return false;
        len = in.GetByte();
        if (len < 0 || in.ReadBytes(data, static_cast<size_t>(len)) != static_cast<size_t>(len))
            return false;
        if (len > 2)
            m_loops = data[1] + 256 * data[2];
        if (len > 0)
            len = in.GetByte();
    } else {
        len = in.GetByte();
    }
    while (len > 0) {
        if (in.Skip(static_cast<size_t>(len)) != static_cast<size_t>(len))
            return false;
        len = in.GetByte();
    }
    return len == 0;
}

bool CImageGif::ReadFrame(GifInput& in, LoopState& state)
{
    BYTE d[9];
    if (in.ReadBytes(d, 9) != 9)
        return false;
    // A control block belongs to the frame that follows it.
    bool haveControl = state.haveControl;
    state.haveControl = false;
    const LONG left = d[0] | (d[1] << 8);
    const LONG top = d[2] | (d[3] << 8);
    const LONG width = d[4] | (d[5] << 8);
    const LONG height = d[6] | (d[7] << 8);
    const BYTE flags = d[8];
    const bool fits = width > 0 && height > 0 && left + width <= state.screenWidth &&
                      top + height <= state.screenHeight;

    auto local = std::make_unique<ColorTable>();
    if ((flags & 0x80) && !local->Read(in, 2 << (flags & 7)))
        return false;
    if (!fits || state.counting) {
        if (fits) {
            ++state.count;
            if (local->present)
                state.table = *local;
        }
        return in.GetByte() >= 0 && in.SkipSubBlocks();
    }

    const bool first = state.frameNumber == 0;
    if (first && width != state.screenWidth && height != state.screenHeight)
        ++state.trueColorSigns;
    if (local->present)
        state.table = *local;
    const int tableSize = state.table.size;
    const WORD bpp = static_cast<WORD>(tavrin::BitsForColors(tableSize));
    const LONG frameTrans = haveControl && (m_control.flags & 1) ? m_control.transIndex : -1;
    const int disposal = haveControl ? (m_control.flags >> 2) & 7 : 0;
    m_info.transIndex = frameTrans;
    m_info.frameDelay = haveControl ? m_control.delay : 0;
    m_disposal = disposal;
    const bool trueColor = state.trueColorSigns >= 2;
    const BYTE fill = static_cast<BYTE>(frameTrans >= 0 ? frameTrans : 0);

    std::unique_ptr<CImageGif> canvas;
    if (!trueColor) {
        canvas = std::make_unique<CImageGif>();
        if (first) {
            canvas->CopyInfo(*this);
            if (!canvas->Create(static_cast<DWORD>(state.screenWidth), static_cast<DWORD>(state.screenHeight), bpp,
                                IMAGE_TYPE_GIF)) {
                SetLastError(canvas->GetLastError());
                state.failed = true;
                return false;
            }
            // The screen around the frame takes the control block's index,
            // whether or not that index is marked transparent.
            canvas->Clear(haveControl ? m_control.transIndex : 0);
            state.firstTrans = frameTrans;
        } else {
            if (!canvas->Copy(*this)) {
                SetLastError(canvas->GetLastError());
                state.failed = true;
                return false;
            }
            if (state.previousDisposal == 2)
                canvas->Clear(static_cast<BYTE>(state.firstTrans >= 0 ? state.firstTrans : 0));
        }
    }

    if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), bpp, IMAGE_TYPE_GIF)) {
        state.failed = true;
        return false;
    }
    if (state.table.present) {
        RGBQUAD palette[256];
        std::memcpy(palette, state.table.colors, sizeof palette);
        if (frameTrans >= 0) {
            for (int i = tableSize; i < 256; ++i)
                palette[i] = RGBQUAD{255, 255, 255, 0};
            SetPalette(palette, 256);
        } else {
            SetPalette(palette, static_cast<DWORD>(tableSize));
        }
    }

    std::vector<BYTE> written(static_cast<size_t>(height), 0);
    DecodeFrameData(in, (flags & 0x40) != 0, fill, written.data());
    if (m_info.escape > 0) {
        state.escaped = true;
        return false;
    }

    const bool fast = bpp == 8;
    if (!trueColor) {
        // Only rows the data reached are placed; the rest keep the canvas.
        const bool canvasFast = fast && canvas->GetBpp() == 8;
        for (LONG r = 0; r < height; ++r) {
            if (!written[static_cast<size_t>(r)])
                continue;
            const BYTE* src = GetBits(static_cast<DWORD>(height - 1 - r));
            LONG cy = state.screenHeight - 1 - (top + r);
            if (canvasFast) {
                BYTE* dst = canvas->GetBits(static_cast<DWORD>(cy)) + left;
                for (LONG x = 0; x < width; ++x)
                    if (frameTrans < 0 || src[x] != frameTrans)
                        dst[x] = src[x];
            } else {
                for (LONG x = 0; x < width; ++x) {
                    BYTE index = tavrin::IndexAt(src, x, bpp);
                    if (frameTrans < 0 || index != frameTrans)
                        canvas->SetPixelIndex(left + x, cy, index);
                }
            }
        }
        canvas->SetTransIndex(state.firstTrans);
        if (GetPalette())
            canvas->SetPalette(GetPalette(), GetNumColors());
        Transfer(*canvas);
    } else {
        // Every tile is read; each pixel goes to the 24-bit picture as a
        // colour.
        state.wanted = state.count - 1;
        if (!state.trueColor) {
            auto image = std::make_unique<CImageObj>(IMAGE_TYPE_GIF);
            image->CopyInfo(*this);
            if (!image->Create(static_cast<DWORD>(state.screenWidth), static_cast<DWORD>(state.screenHeight), 24,
                               IMAGE_TYPE_GIF)) {
                SetLastError(image->GetLastError());
                state.failed = true;
                return false;
            }
            image->Clear(0);
            image->SetTransIndex(-1);
            state.trueColor = std::move(image);
        }
        CImageObj& image = *state.trueColor;
        const RGBQUAD* palette = GetPalette();
        for (LONG r = 0; r < height; ++r) {
            if (!written[static_cast<size_t>(r)])
                continue;
            const BYTE* src = GetBits(static_cast<DWORD>(height - 1 - r));
            BYTE* dst = image.GetBits(static_cast<DWORD>(state.screenHeight - 1 - top - r)) + 3 * left;
            for (LONG x = 0; x < width; ++x) {
                RGBQUAD c = palette ? palette[tavrin::IndexAt(src, x, bpp)] : RGBQUAD{0, 0, 0, 0};
                dst[3 * x] = c.rgbBlue;
                dst[3 * x + 1] = c.rgbGreen;
                dst[3 * x + 2] = c.rgbRed;
            }
        }
    }

    state.previousDisposal = disposal;
    if (state.frameNumber == state.wanted)
        state.done = true;
    else
        ++state.frameNumber;
    return true;
}

void CImageGif::DecodeFrameData(GifInput& in, bool interlaced, BYTE fill, BYTE* written)
{
    int minCodeSize = in.GetByte();
    if (minCodeSize < 0)
        return;
    auto decoder = std::make_unique<tavrin::GifLzwDecoder>(in);
    if (decoder->Start(minCodeSize) != 0) {
        in.SkipSubBlocks();
        return;
    }
    const LONG width = static_cast<LONG>(GetWidth());
    const LONG height = static_cast<LONG>(GetHeight());
    const WORD bpp = GetBpp();
    std::vector<BYTE> row(static_cast<size_t>(width) + 1);
    tavrin::GifRowOrder order(height, interlaced);
    do {
        size_t n = decoder->Decode(row.data(), static_cast<size_t>(width));
        if (n == 0)
            break;
        if (n < static_cast<size_t>(width))
            std::memset(row.data() + n, fill, static_cast<size_t>(width) - n);
        tavrin::PackRow(row.data(), width, bpp, GetBits(static_cast<DWORD>(height - 1 - order.Row())));
        written[order.Row()] = 1;
        if (n < static_cast<size_t>(width))
            break;
    } while (order.Next());
    decoder->SkipRest();
}

// ---------------------------------------------------------------- encoding

bool CImageGif::Encode(CImageStream& stream)
{
    if (EncodeSafeCheck(&stream))
        return false;
    if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) {
        SetLastError("GIF: image too large");
        return false;
    }
    if (GetBpp() > 8)
        return EncodeMosaic(stream);

    tavrin::GifStreamSink sink(stream);
    WriteHeader(sink, true);
    WriteControl(sink, static_cast<BYTE>(((m_disposal & 7) << 2) | (m_info.transIndex != -1 ? 1 : 0)),
                 static_cast<WORD>(m_info.frameDelay), static_cast<BYTE>(m_info.transIndex));
    WriteComment(sink);
    WriteImage(sink, false);
    sink.Put({';'});
    if (!stream.Flush() || stream.Error() || !sink.IsOk()) {
        SetLastError("Write Error in GIF file");
        return false;
    }
    return true;
}

bool CImageGif::WriteHeader(tavrin::GifStreamSink& sink, bool withPalette)
{
    const RGBQUAD* palette = withPalette ? GetPalette() : nullptr;
    const int bpp = GetBpp();
    sink.WriteBytes(reinterpret_cast<const BYTE*>("GIF89a"), 6);
    sink.PutWord(static_cast<LONG>(GetWidth()));
    sink.PutWord(static_cast<LONG>(GetHeight()));
    if (!palette) {
        sink.Put({0x11, 0, 0});
        return sink.IsOk();
    }
    sink.Put({static_cast<BYTE>(0x80 | ((bpp - 1) << 4) | (bpp - 1)), 0, 0});
    // The table size field says 2^bpp entries: a shorter palette is padded.
    const int entries = 1 << bpp;
    std::vector<BYTE> table(static_cast<size_t>(3 * entries), 0);
    for (int i = 0; i < entries && i < static_cast<int>(GetNumColors()); ++i) {
        table[static_cast<size_t>(3 * i)] = palette[i].rgbRed;
        table[static_cast<size_t>(3 * i + 1)] = palette[i].rgbGreen;
        table[static_cast<size_t>(3 * i + 2)] = palette[i].rgbBlue;
    }
    return sink.WriteBytes(table.data(), table.size());
}

bool CImageGif::WriteControl(tavrin::GifStreamSink& sink, BYTE flags, WORD delay, BYTE transIndex)
{
    return sink.Put({0x21, 0xF9, 4, flags, static_cast<BYTE>(delay & 0xFF), static_cast<BYTE>(delay >> 8), transIndex,
                     0});
}

bool CImageGif::WriteComment(tavrin::GifStreamSink& sink)
{
    size_t len = std::strlen(m_comment);
    if (len == 0)
        return true;
    if (len > 255)
        len = 255;
    sink.Put({0x21, 0xFE, static_cast<BYTE>(len)});
    sink.WriteBytes(reinterpret_cast<const BYTE*>(m_comment), len);
    return sink.Put({0});
}

bool CImageGif::WriteImage(tavrin::GifStreamSink& sink, bool localTable)
{
    const LONG width = static_cast<LONG>(GetWidth());
    const LONG height = static_cast<LONG>(GetHeight());
    const WORD bpp = GetBpp();
    sink.Put({','});
    sink.PutWord(m_info.xOffset);
    sink.PutWord(m_info.yOffset);
    sink.PutWord(width);
    sink.PutWord(height);
    sink.Put({static_cast<BYTE>(localTable ? 0x80 | 7 : 0)});
    if (localTable) {
        const RGBQUAD* palette = GetPalette();
        BYTE table[3 * 256] = {};
        for (DWORD i = 0; palette && i < 256 && i < GetNumColors(); ++i) {
            table[3 * i] = palette[i].rgbRed;
            table[3 * i + 1] = palette[i].rgbGreen;
            table[3 * i + 2] = palette[i].rgbBlue;
        }
        sink.WriteBytes(table, sizeof table);
    }
    const int codeSize = bpp == 1 ? 2 : bpp;
    sink.Put({static_cast<BYTE>(codeSize)});
    {
        tavrin::GifLzwEncoder encoder(sink, codeSize + 1, static_cast<int>(GetCodecOption(IMAGE_TYPE_GIF)));
        std::vector<BYTE> row(static_cast<size_t>(width));
        for (LONG y = 0; y < height; ++y) {
            const BYTE* bits = GetBits(static_cast<DWORD>(height - 1 - y));
            for (LONG x = 0; x < width; ++x)
                row[static_cast<size_t>(x)] = tavrin::IndexAt(bits, x, bpp);
            encoder.Add(row.data(), row.size());
        }
        encoder.Finish();
    }
    return sink.Put({0});
}

bool CImageGif::EncodeMosaic(CImageStream& stream)
{
    constexpr LONG kTileWidth = 17;
    constexpr LONG kTileHeight = 15;
    tavrin::GifStreamSink sink(stream);
    WriteHeader(sink, false);
    WriteComment(sink);

    const LONG width = static_cast<LONG>(GetWidth());
    const LONG height = static_cast<LONG>(GetHeight());
    const bool transparent = IsTransparent();
    const RGBQUAD transColor = GetTransColor();
    auto tile = std::make_unique<CImageGif>();
    for (LONG ty = 0; ty < height; ty += kTileHeight) {
        for (LONG tx = 0; tx < width; tx += kTileWidth) {
            const LONG tw = width - tx < kTileWidth ? width - tx : kTileWidth;
            const LONG th = height - ty < kTileHeight ? height - ty : kTileHeight;
            if (!tile->IsValid() || static_cast<LONG>(tile->GetWidth()) != tw ||
                static_cast<LONG>(tile->GetHeight()) != th) {
                if (!tile->Create(static_cast<DWORD>(tw), static_cast<DWORD>(th), 8, IMAGE_TYPE_GIF)) {
                    SetLastError(tile->GetLastError());
                    return false;
                }
            }
            tile->SetTransIndex(transparent ? 0 : -1);
            if (transparent)
                tile->SetPaletteColor(0, transColor);
            for (LONG j = 0; j < th; ++j) {
                for (LONG k = 0; k < tw; ++k) {
                    const BYTE entry = static_cast<BYTE>(1 + k + kTileWidth * j);
                    tile->SetPaletteColor(entry, GetPixelColor(tx + k, height - 1 - (ty + j)));
                    tile->SetPixelIndex(k, th - 1 - j, tile->GetNearestIndex(tile->GetPaletteColor(entry)));
                }
            }
            tile->SetOffset(tx, ty);
            WriteControl(sink, transparent ? 1 : 0, 0, static_cast<BYTE>(transparent ? 0 : 0xFF));
            tile->WriteImage(sink, true);
        }
    }
    sink.Put({';'});
    if (!stream.Flush() || stream.Error() || !sink.IsOk()) {
        SetLastError("Write Error in GIF file");
        return false;
    }
    return true;
}

namespace tavrin {

bool DecodeGifImage(CImageObj& target, CImageStream& stream)
{
    auto codec = std::make_unique<CImageGif>();
    codec->CopyInfo(target);
    if (codec->Decode(stream))
        return target.Transfer(*codec);
    target.SetLastError(codec->GetLastError());
    target.SetNumFrames(codec->GetNumFrames());
    return false;
}

bool EncodeGifImage(CImageObj& source, CImageStream& stream)
{
    auto codec = std::make_unique<CImageGif>();
    codec->Ghost(&source);
    if (codec->Encode(stream))
        return true;
    source.SetLastError(codec->GetLastError());
    return false;
}

} // namespace tavrin
