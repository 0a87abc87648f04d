// CImageObj::Resample: nearest pixel, bicubic B-spline, bilinear, and an
// area-averaging shrink for 24-bit images.
#include "imaging/ImageObj.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

BYTE Clamp8(long long v)
{
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Fills a 24-bit target by averaging the source pixels each target pixel
// covers, in fixed point with 1000 steps per pixel.
void AreaAverage(CImageObj& src, CImageObj& dst, float xScale, float yScale)
{
    constexpr long long kAccuracy = 1000;
    const LONG width = static_cast<LONG>(src.GetWidth());
    const LONG height = static_cast<LONG>(src.GetHeight());
    const LONG newWidth = static_cast<LONG>(dst.GetWidth());
    const LONG newHeight = static_cast<LONG>(dst.GetHeight());
    const size_t rowValues = 3 * static_cast<size_t>(newWidth);

    // 64-bit sums: a large shrink adds more than 2^31 per target byte.
    std::vector<long long> rowA(rowValues + 3, 0), rowB(rowValues + 3, 0);
    long long* accumulate = rowA.data();
    long long* carry = rowB.data();
    const long long nScale = std::max(1LL, static_cast<long long>(kAccuracy * static_cast<double>(xScale) * yScale));

    LONG v = 0;
    for (LONG y = 0; y < height; ++y) {
        src.SetProgress(static_cast<LONG>(100LL * y / height));
        if (src.GetEscape())
            break;
        const BYTE* in = src.GetBits(static_cast<DWORD>(y));
        BYTE* out = v < newHeight ? dst.GetBits(static_cast<DWORD>(v)) : nullptr;
        BYTE* outEnd = out ? out + rowValues : nullptr;
        // Boundaries come from the target indexes, so no error accumulates.
        const double endY = (v + 1) * static_cast<double>(yScale) - 1;
        size_t i = 0;
        LONG u = 0;
        if (y < endY) {
            for (LONG x = 0; x < width; ++x, in += 3) {
                double endX = (u + 1) * static_cast<double>(xScale) - 1;
                if (x < endX || u >= newWidth) {
                    for (int j = 0; j < 3; ++j)
                        accumulate[i + j] += in[j] * kAccuracy;
                } else {
                    long long wx = static_cast<long long>((x - endX) * kAccuracy);
                    for (int j = 0; j < 3; ++j, ++i) {
                        accumulate[i] += (kAccuracy - wx) * in[j];
                        accumulate[i + 3] += wx * in[j];
                    }
                    ++u;
                }
            }
        } else {
            long long wy = static_cast<long long>((y - endY) * kAccuracy);
            for (LONG x = 0; x < width; ++x, in += 3) {
                double endX = (u + 1) * static_cast<double>(xScale) - 1;
                if (x < endX || u >= newWidth) {
                    for (int j = 0; j < 3; ++j) {
                        accumulate[i + j] += (kAccuracy - wy) * in[j];
                        carry[i + j] += wy * in[j];
                    }
                } else {
                    long long wx = static_cast<long long>((x - endX) * kAccuracy);
                    for (int j = 0; j < 3; ++j, ++i) {
                        accumulate[i] += (kAccuracy - wy) * (kAccuracy - wx) * in[j] / kAccuracy;
                        if (out && out < outEnd)
                            *out++ = Clamp8(accumulate[i] / nScale);
                        carry[i] += wy * (kAccuracy - wx) * in[j] / kAccuracy;
                        accumulate[i + 3] += (kAccuracy - wy) * wx * in[j] / kAccuracy;
                        carry[i + 3] = wy * wx * in[j] / kAccuracy;
                    }
                    ++u;
                }
            }
            if (u < newWidth) {
                for (int j = 0; j < 3; ++j)
                    if (out && out < outEnd)
                        *out++ = Clamp8(accumulate[i + j] / nScale);
            }
            std::swap(accumulate, carry);
            carry[0] = carry[1] = carry[2] = 0;
            ++v;
        }
    }
    if (v < newHeight && !src.GetEscape()) {
        BYTE* out = dst.GetBits(static_cast<DWORD>(v));
        for (size_t i = 0; i < rowValues; ++i)
            out[i] = Clamp8(accumulate[i] / nScale);
    }
}

} // namespace

float CImageObj::KernelBSpline(float x)
{
    if (x > 2.0f)
        return 0.0f;
    auto p = [](float t) { return t > 0.0f ? t * t * t : 0.0f; };
    return (p(x + 2.0f) - 4.0f * p(x + 1.0f) + 6.0f * p(x) - 4.0f * p(x - 1.0f)) * 0.16666667f;
}

bool CImageObj::Resample(LONG newWidth, LONG newHeight, int method, CImageObj* destination)
{
    if (newWidth <= 0 || newHeight <= 0)
        return false;
    const LONG width = m_head.biWidth;
    const LONG height = m_head.biHeight;
    if (newWidth == width && newHeight == height) {
        if (destination)
            destination->Copy(*this, true, true, true);
        return true;
    }
    if (!BlockExists())
        return false;

    const float xScale = static_cast<float>(width) / static_cast<float>(newWidth);
    const float yScale = static_cast<float>(height) / static_cast<float>(newHeight);

    CImageObj work(IMAGE_TYPE_ANY);
    work.CopyInfo(*this);
    work.Create(static_cast<DWORD>(newWidth), static_cast<DWORD>(newHeight), GetBpp(), GetType());
    work.SetPalette(GetPalette(), GetNumColors() < 256 ? GetNumColors() : 256);
    if (!work.IsValid()) {
        SetLastError(work.GetLastError());
        return false;
    }

    const bool palette = GetNumColors() != 0;
    auto colorAt = [&](LONG x, LONG y) {
        if (palette)
            return GetPaletteColor(GetPixelIndex(x, y));
        const BYTE* p = m_info.pixels + static_cast<size_t>(y) * m_info.effWidth + static_cast<size_t>(x) * 3;
        return RGBQUAD{p[0], p[1], p[2], 0};
    };

    if (method == 1) {
        for (LONG y = 0; y < newHeight; ++y) {
            m_info.progress = static_cast<LONG>(100LL * y / newHeight);
            if (m_info.escape)
                break;
            LONG sy = static_cast<LONG>(y * static_cast<double>(yScale));
            for (LONG x = 0; x < newWidth; ++x) {
                LONG sx = static_cast<LONG>(x * static_cast<double>(xScale));
                work.SetPixelColor(x, y, GetPixelColor(sx, sy));
            }
        }
    } else if (method == 2) {
        for (LONG y = 0; y < newHeight; ++y) {
            m_info.progress = static_cast<LONG>(100LL * y / newHeight);
            if (m_info.escape)
                break;
            float fy = static_cast<float>(y * static_cast<double>(yScale) - 0.5);
            LONG iy = static_cast<LONG>(std::floor(fy));
            float a = fy - std::floor(fy);
            for (LONG x = 0; x < newWidth; ++x) {
                float fx = static_cast<float>(x * static_cast<double>(xScale) - 0.5);
                LONG ix = static_cast<LONG>(std::floor(fx));
                float b = fx - std::floor(fx);
                float r = 0, g = 0, bl = 0;
                for (int m = -1; m <= 2; ++m) {
                    float w1 = KernelBSpline(static_cast<float>(m) - a);
                    LONG yy = std::clamp<LONG>(iy + m, 0, height - 1);
                    for (int n = -1; n <= 2; ++n) {
                        float w = w1 * KernelBSpline(b - static_cast<float>(n));
                        LONG xx = std::clamp<LONG>(ix + n, 0, width - 1);
                        RGBQUAD c = colorAt(xx, yy);
                        r += c.rgbRed * w;
                        g += c.rgbGreen * w;
                        bl += c.rgbBlue * w;
                    }
                }
                RGBQUAD c{Clamp8(static_cast<long long>(bl)), Clamp8(static_cast<long long>(g)),
                          Clamp8(static_cast<long long>(r)), 0};
                if (palette) {
                    work.SetPixelColor(x, y, c);
                } else {
                    BYTE* p = work.GetBits(static_cast<DWORD>(y)) + static_cast<size_t>(x) * 3;
                    p[0] = c.rgbBlue;
                    p[1] = c.rgbGreen;
                    p[2] = c.rgbRed;
                }
            }
        }
    } else if (GetBpp() == 24 && newWidth < width && newHeight < height) {
        AreaAverage(*this, work, xScale, yScale);
    } else {
        for (LONG y = 0; y < newHeight; ++y) {
            m_info.progress = static_cast<LONG>(100LL * y / newHeight);
            if (m_info.escape)
                break;
            double fy = y * static_cast<double>(yScale);
            LONG iy = std::min<LONG>(static_cast<LONG>(fy), height - 1);
            LONG iy1 = std::min<LONG>(height - 1, iy + 1);
            double dy = fy - iy;
            for (LONG x = 0; x < newWidth; ++x) {
                double fx = x * static_cast<double>(xScale);
                LONG ix = std::min<LONG>(static_cast<LONG>(fx), width - 1);
                LONG ix1 = std::min<LONG>(width - 1, ix + 1);
                double dx = fx - ix;
                RGBQUAD c1 = colorAt(ix, iy), c2 = colorAt(ix1, iy), c3 = colorAt(ix, iy1), c4 = colorAt(ix1, iy1);
                auto mix = [&](BYTE p1, BYTE p2, BYTE p3, BYTE p4) {
                    double v1 = p1 * (1 - dy) + p3 * dy;
                    double v2 = p2 * (1 - dy) + p4 * dy;
                    return Clamp8(static_cast<long long>(v1 * (1 - dx) + v2 * dx));
                };
                RGBQUAD c{mix(c1.rgbBlue, c2.rgbBlue, c3.rgbBlue, c4.rgbBlue),
                          mix(c1.rgbGreen, c2.rgbGreen, c3.rgbGreen, c4.rgbGreen),
                          mix(c1.rgbRed, c2.rgbRed, c3.rgbRed, c4.rgbRed), 0};
                work.SetPixelColor(x, y, c);
            }
        }
    }

    CImageObj& target = destination ? *destination : *this;
    return target.Transfer(work);
}
