#include "imaging/ImageJpeg.h"

#include "imaging/ImageStream.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace {

constexpr size_t kBufferSize = 4096;
// A hostile progressive file can ask for endless scans over one image.
constexpr int kMaxScans = 256;
// What libjpeg may allocate for one image: the largest pixel block plus the
// whole-image coefficient buffers of a progressive file.
constexpr long kMaxLibraryMemory = 800L * 1000 * 1000;

} // namespace

// The library's standard error manager; errors jump back to the codec step
// that armed the buffer, with the message in the image's last-error text.
struct CImageJpegErrorManager {
    jpeg_error_mgr pub; // first: the library sees this record
    jmp_buf jump;
    char* text;
    size_t textSize;
    const char* ownText; // a message of ours instead of the library's
};

namespace {

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<CImageJpegErrorManager*>(cinfo->err);
    if (manager->ownText) {
        std::snprintf(manager->text, manager->textSize, "%s", manager->ownText);
    } else {
        char message[JMSG_LENGTH_MAX];
        (*cinfo->err->format_message)(cinfo, message);
        std::snprintf(manager->text, manager->textSize, "%s", message);
    }
    std::longjmp(manager->jump, 1);
}

// A library never prints: the standard manager writes warnings about corrupt
// data to stderr. Such data still decodes; errors reach the error text above.
void OutputMessage(j_common_ptr) {}

void InitErrorManager(CImageJpegErrorManager& manager, char* text, size_t textSize)
{
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ErrorExit;
    manager.pub.output_message = OutputMessage;
    manager.text = text;
    manager.textSize = textSize;
    manager.ownText = nullptr;
}

struct ScanMonitor {
    jpeg_progress_mgr pub;
    CImageJpegErrorManager* errors;
};

void MonitorProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* monitor = reinterpret_cast<ScanMonitor*>(cinfo->progress);
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        monitor->errors->ownText = "JPEG has too many scans";
        (*cinfo->err->error_exit)(cinfo);
    }
}

} // namespace

// Feeds the library from a CImageStream and writes its output to one.
class CImageJpegFileManager {
public:
    explicit CImageJpegFileManager(CImageStream& stream)
        : m_stream(stream), m_buffer(new JOCTET[kBufferSize])
    {
        std::memset(&m_dest, 0, sizeof m_dest);
        std::memset(&m_src, 0, sizeof m_src);
        m_dest.owner = this;
        m_src.owner = this;
        m_dest.pub.init_destination = InitDestination;
        m_dest.pub.empty_output_buffer = EmptyOutputBuffer;
        m_dest.pub.term_destination = TermDestination;
        m_src.pub.init_source = InitSource;
        m_src.pub.fill_input_buffer = FillInputBuffer;
        m_src.pub.skip_input_data = SkipInputData;
        m_src.pub.resync_to_restart = jpeg_resync_to_restart;
        m_src.pub.term_source = TermSource;
    }

    void AttachSource(j_decompress_ptr cinfo) { cinfo->src = &m_src.pub; }
    void AttachDestination(j_compress_ptr cinfo) { cinfo->dest = &m_dest.pub; }

private:
    struct Dest {
        jpeg_destination_mgr pub;
        CImageJpegFileManager* owner;
    };
    struct Src {
        jpeg_source_mgr pub;
        CImageJpegFileManager* owner;
    };

    static CImageJpegFileManager& Of(j_compress_ptr cinfo) { return *reinterpret_cast<Dest*>(cinfo->dest)->owner; }
    static CImageJpegFileManager& Of(j_decompress_ptr cinfo) { return *reinterpret_cast<Src*>(cinfo->src)->owner; }

    static void InitDestination(j_compress_ptr cinfo)
    {
        CImageJpegFileManager& m = Of(cinfo);
        m.m_dest.pub.next_output_byte = m.m_buffer.get();
        m.m_dest.pub.free_in_buffer = kBufferSize;
    }

    static boolean EmptyOutputBuffer(j_compress_ptr cinfo)
    {
        CImageJpegFileManager& m = Of(cinfo);
        if (m.m_stream.Write(m.m_buffer.get(), 1, kBufferSize) != kBufferSize)
            ERREXIT(cinfo, JERR_FILE_WRITE);
        m.m_dest.pub.next_output_byte = m.m_buffer.get();
        m.m_dest.pub.free_in_buffer = kBufferSize;
        return TRUE;
    }

    static void TermDestination(j_compress_ptr cinfo)
    {
        CImageJpegFileManager& m = Of(cinfo);
        size_t count = kBufferSize - m.m_dest.pub.free_in_buffer;
        if (count > 0 && m.m_stream.Write(m.m_buffer.get(), 1, count) != count)
            ERREXIT(cinfo, JERR_FILE_WRITE);
        if (!m.m_stream.Flush() || m.m_stream.Error())
            ERREXIT(cinfo, JERR_FILE_WRITE);
    }

    static void InitSource(j_decompress_ptr cinfo) { Of(cinfo).m_startOfFile = true; }

    static boolean FillInputBuffer(j_decompress_ptr cinfo)
    {
        CImageJpegFileManager& m = Of(cinfo);
        size_t n = m.m_stream.Read(m.m_buffer.get(), 1, kBufferSize);
        if (n == 0) {
            if (m.m_startOfFile)
                ERREXIT(cinfo, JERR_INPUT_EMPTY);
            // A cut file: end the image where the data ends.
            WARNMS(cinfo, JWRN_JPEG_EOF);
            m.m_buffer[0] = 0xFF;
            m.m_buffer[1] = JPEG_EOI;
            n = 2;
        }
        m.m_src.pub.next_input_byte = m.m_buffer.get();
        m.m_src.pub.bytes_in_buffer = n;
        m.m_startOfFile = false;
        return TRUE;
    }

    static void SkipInputData(j_decompress_ptr cinfo, long count)
    {
        if (count <= 0)
            return;
        CImageJpegFileManager& m = Of(cinfo);
        size_t n = static_cast<size_t>(count);
        while (n > m.m_src.pub.bytes_in_buffer) {
            n -= m.m_src.pub.bytes_in_buffer;
            FillInputBuffer(cinfo);
        }
        m.m_src.pub.next_input_byte += n;
        m.m_src.pub.bytes_in_buffer -= n;
    }

    static void TermSource(j_decompress_ptr) {}

    Dest m_dest;
    Src m_src;
    CImageStream& m_stream;
    std::unique_ptr<JOCTET[]> m_buffer;
    bool m_startOfFile = false;
};

CImageJpeg::CImageJpeg() : CImageObj(IMAGE_TYPE_JPEG)
{
}

CImageJpeg::~CImageJpeg()
{
    m_exif.reset();
    Destroy();
}

bool CImageJpeg::DecodeExif(CImageStream& stream)
{
    std::memset(&m_exifBlock, 0, sizeof m_exifBlock);
    m_exif.reset(new (std::nothrow) CImageExifInfo(&m_exifBlock));
    if (!m_exif)
        return false;
    LONG pos = stream.Tell();
    m_exif->DecodeExif(stream, CImageExifInfo::READ_EXIF);
    stream.Seek(pos, SEEK_SET);
    return m_exifBlock.isExif != 0;
}

namespace {

// A resolution from EXIF, used only when it makes sense as dots per inch.
bool ExifDpi(float resolution, float unit, LONG& dpi)
{
    if (resolution == 0 || unit == 0)
        return false;
    float value = resolution / unit;
    if (!std::isfinite(value) || value < 1 || value > 65535)
        return false;
    dpi = static_cast<LONG>(value);
    return true;
}

} // namespace

bool CImageJpeg::Decode(CImageStream& stream)
{
    const bool exif = DecodeExif(stream);

    CImageJpegErrorManager errors;
    InitErrorManager(errors, m_info.lastError, sizeof m_info.lastError);
    CImageJpegFileManager io(stream);
    ScanMonitor monitor{};
    monitor.pub.progress_monitor = MonitorProgress;
    monitor.errors = &errors;
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &errors.pub;

    // Nothing with a destructor lives between here and the jumps below.
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
    cinfo.progress = &monitor.pub;
    io.AttachSource(&cinfo);
    jpeg_read_header(&cinfo, TRUE);

    DWORD options = GetCodecOption(IMAGE_TYPE_JPEG);
    if (options & JPEG_DEC_GRAYSCALE)
        cinfo.out_color_space = JCS_GRAYSCALE;
    if (options & JPEG_DEC_QUANTIZE) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = GetJpegQuality();
    }
    if ((options & JPEG_DEC_DITHER) && m_dither >= JDITHER_NONE && m_dither <= JDITHER_FS)
        cinfo.dither_mode = static_cast<J_DITHER_MODE>(m_dither);
    if (options & JPEG_DEC_ONEPASS)
        cinfo.two_pass_quantize = FALSE;
    if (options & JPEG_DEC_NOSMOOTH)
        cinfo.do_fancy_upsampling = FALSE;
    // A denominator of 0 means full size (the library would read it as 16/8).
    if (GetJpegScale())
        cinfo.scale_denom = GetJpegScale();
    jpeg_calc_output_dimensions(&cinfo);

    if (GetEscape() == -1) {
        m_head.biWidth = static_cast<LONG>(cinfo.output_width);
        m_head.biHeight = static_cast<LONG>(cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    // Refuse a huge picture before the library allocates for it.
    if (!CheckSize(cinfo.output_width, cinfo.output_height, cinfo.out_color_components == 1 ? 8U : 24U)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    jpeg_start_decompress(&cinfo);
    if (!Create(cinfo.output_width, cinfo.output_height, 8U * static_cast<unsigned>(cinfo.output_components), IMAGE_TYPE_JPEG)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    LONG dpi;
    if (exif) {
        if (ExifDpi(m_exifBlock.xResolution, m_exifBlock.resolutionUnit, dpi))
            SetXDPI(dpi);
        if (ExifDpi(m_exifBlock.yResolution, m_exifBlock.resolutionUnit, dpi))
            SetYDPI(dpi);
    } else if (cinfo.density_unit == 2) {
        SetXDPI(static_cast<LONG>(std::floor(cinfo.X_density * 2.54 + 0.5)));
        SetYDPI(static_cast<LONG>(std::floor(cinfo.Y_density * 2.54 + 0.5)));
    } else {
        SetXDPI(cinfo.X_density);
        SetYDPI(cinfo.Y_density);
    }

    if (cinfo.out_color_space == JCS_GRAYSCALE && !cinfo.quantize_colors) {
        SetGrayPalette();
        m_head.biClrUsed = 256;
    } else if (cinfo.quantize_colors) {
        DWORD colors = static_cast<DWORD>(cinfo.actual_number_of_colors);
        if (colors > 256)
            colors = 256;
        SetPalette(colors, cinfo.colormap[0],
                   cinfo.out_color_components > 1 ? cinfo.colormap[1] : nullptr,
                   cinfo.out_color_components > 2 ? cinfo.colormap[2] : nullptr);
        m_head.biClrUsed = colors;
    } else {
        m_head.biClrUsed = 0;
    }
    std::memcpy(m_dib, &m_head, sizeof m_head);

    const DWORD rowLength = cinfo.output_width * static_cast<DWORD>(cinfo.output_components);
    const DWORD effWidth = GetEffWidth();
    if (rowLength < effWidth && cinfo.output_components != 3 && cinfo.output_components != 4 && cinfo.output_components != 1)
        Clear(0); // odd component counts leave part of each row unwritten
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, rowLength, 1);
    const bool cmyk = cinfo.output_components == 4 && !cinfo.quantize_colors;
    const bool rgb = cinfo.output_components == 3 && !cinfo.quantize_colors;
    CImageIterator it(this);
    it.Upset();
    while (cinfo.output_scanline < cinfo.output_height) {
        if (GetEscape()) {
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        if (jpeg_read_scanlines(&cinfo, buffer, 1) != 1)
            break;
        BYTE* row = it.GetRowAddress();
        const BYTE* src = buffer[0];
        if (cmyk) {
            for (DWORD s = 0, d = 0; d + 3 <= effWidth && s + 4 <= rowLength; s += 4, d += 3) {
                unsigned k = src[s + 3];
                row[d] = static_cast<BYTE>(k * src[s + 2] / 255);
                row[d + 1] = static_cast<BYTE>(k * src[s + 1] / 255);
                row[d + 2] = static_cast<BYTE>(k * src[s] / 255);
            }
        } else if (rgb) {
            // The library delivers red, green, blue; the buffer holds blue, green, red.
            for (DWORD i = 0; i + 3 <= rowLength; i += 3) {
                row[i] = src[i + 2];
                row[i + 1] = src[i + 1];
                row[i + 2] = src[i];
            }
        } else {
            it.SetRow(src, static_cast<LONG>(rowLength));
        }
        it.PrevRow();
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool CImageJpeg::Encode(CImageStream& stream)
{
    if (EncodeSafeCheck(&stream))
        return false;
    if (GetPalette() && !IsGrayScale()) {
        SetLastError("JPEG can save only RGB or GreyScale images");
        return false;
    }

    const LONG start = stream.Tell();
    CImageJpegErrorManager errors;
    InitErrorManager(errors, m_info.lastError, sizeof m_info.lastError);
    CImageJpegFileManager io(stream);
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &errors.pub;

    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    io.AttachDestination(&cinfo);

    const bool grey = IsGrayScale();
    const DWORD width = GetWidth();
    cinfo.image_width = width;
    cinfo.image_height = GetHeight();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);

    DWORD options = GetCodecOption(IMAGE_TYPE_JPEG);
    if (options & JPEG_ENC_GRAYSCALE)
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    if (options & JPEG_ENC_OPTIMIZE)
        cinfo.optimize_coding = TRUE;
    if (options & JPEG_ENC_ARITHMETIC)
        cinfo.arith_code = TRUE;
    if ((options & JPEG_ENC_SMOOTHING) && m_smoothing >= 0 && m_smoothing <= 100)
        cinfo.smoothing_factor = m_smoothing;
    jpeg_set_quality(&cinfo, GetJpegQuality(), (options & JPEG_ENC_BASELINE) ? TRUE : FALSE);
    if (options & JPEG_ENC_PROGRESSIVE)
        jpeg_simple_progression(&cinfo);

    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(GetXDPI());
    cinfo.Y_density = static_cast<UINT16>(GetYDPI());

    jpeg_start_compress(&cinfo, TRUE);
    const DWORD effWidth = GetEffWidth();
    const DWORD bufferLength = (width > effWidth ? width : effWidth) + 8;
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, bufferLength, 1);
    const WORD bpp = GetBpp();
    const RGBQUAD* palette = GetPalette();
    CImageIterator it(this);
    it.Upset();
    while (cinfo.next_scanline < cinfo.image_height) {
        BYTE* out = buffer[0];
        if (bpp < 8) {
            // Packed grey pixels: one sample per pixel for the library.
            LONG y = it.GetY();
            for (DWORD x = 0; x < width; ++x)
                out[x] = palette[GetPixelIndex(static_cast<LONG>(x), y)].rgbBlue;
        } else {
            it.GetRow(out, static_cast<LONG>(effWidth));
            if (!palette) {
                for (DWORD i = 0; i + 3 <= effWidth; i += 3) {
                    BYTE t = out[i];
                    out[i] = out[i + 2];
                    out[i + 2] = t;
                }
            }
        }
        it.PrevRow();
        jpeg_write_scanlines(&cinfo, buffer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    // Only an object that decoded an EXIF file writes its EXIF block back.
    if (m_exif && m_exifBlock.isExif) {
        m_exif->DiscardAllButExif();
        stream.Seek(start, SEEK_SET);
        m_exif->DecodeExif(stream, CImageExifInfo::READ_IMAGE);
        stream.Seek(start, SEEK_SET);
        m_exif->EncodeExif(stream);
    }
    return true;
}

namespace tavrin {

bool DecodeJpegImage(CImageObj& target, CImageStream& stream)
{
    CImageJpeg codec;
    codec.CopyInfo(target);
    if (codec.Decode(stream))
        return target.Transfer(codec);
    target.SetLastError(codec.GetLastError());
    return false;
}

bool EncodeJpegImage(CImageObj& source, CImageStream& stream)
{
    CImageJpeg codec;
    codec.Ghost(&source);
    if (codec.Encode(stream))
        return true;
    source.SetLastError(codec.GetLastError());
    return false;
}

} // namespace tavrin
