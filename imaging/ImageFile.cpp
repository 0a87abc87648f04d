// The file side of CImageObj: load and save by image type, and the dispatch
// to the codecs.
#include "imaging/ImageObj.h"

#include "imaging/ImageCodecs.h"
#include "imaging/ImageIOFile.h"
#include "imaging/ImageMemoryStream.h"
#include "platform/base/AtomicWrite.h"

#include <cstring>
#include <vector>

namespace {

// "Invalid file!" and "Invalid picture!" in GBK.
const char kInvalidFile[] = "\xCE\xDE\xD0\xA7\xCE\xC4\xBC\xFE\xA3\xA1";
const char kInvalidImage[] = "\xCE\xDE\xD0\xA7\xCD\xBC\xC6\xAC\xA3\xA1";

} // namespace

bool CImageObj::EncodeSafeCheck(CImageStream* stream)
{
    if (!stream) {
        SetLastError(kInvalidFile);
        return true;
    }
    if (!BlockExists()) {
        SetLastError(kInvalidImage);
        return true;
    }
    return false;
}

bool CImageObj::Encode(CImageStream& stream, DWORD imageType)
{
    const tavrin::ImageCodec* codec = imageType != IMAGE_TYPE_ANY ? tavrin::FindImageCodec(imageType) : nullptr;
    if (!codec || !codec->encode) {
        SetLastError("Encode: Unknown format");
        return false;
    }
    return codec->encode(*this, stream);
}

bool CImageObj::Decode(CImageStream& stream, DWORD imageType)
{
    if (imageType == IMAGE_TYPE_ANY) {
        LONG start = stream.Tell();
        for (const DWORD* type = tavrin::ImageCodecTrialOrder(); *type; ++type) {
            const tavrin::ImageCodec* codec = tavrin::FindImageCodec(*type);
            if (!codec || !codec->decode)
                continue;
            if (codec->decode(*this, stream))
                return true;
            stream.Seek(start, SEEK_SET);
        }
        SetLastError("Decode: Unknown or wrong format");
        return false;
    }
    const tavrin::ImageCodec* codec = tavrin::FindImageCodec(imageType);
    if (!codec || !codec->decode) {
        SetLastError("Decode: Unknown or wrong format");
        return false;
    }
    return codec->decode(*this, stream);
}

bool CImageObj::Encode(FILE* file, DWORD imageType)
{
    CImageIOFile stream(file);
    return Encode(stream, imageType);
}

bool CImageObj::Decode(FILE* file, DWORD imageType)
{
    CImageIOFile stream(file);
    return Decode(stream, imageType);
}

bool CImageObj::Load(const char* path, DWORD imageType)
{
    if (imageType == IMAGE_TYPE_GIF || imageType == IMAGE_TYPE_JPEG) {
        CImageIOFile file;
        if (!file.Open(path, "rb"))
            return false;
        if (Decode(file, imageType))
            return true;
    }
    char firstError[sizeof m_info.lastError];
    std::memcpy(firstError, m_info.lastError, sizeof firstError);
    CImageIOFile file;
    if (!file.Open(path, "rb"))
        return false;
    bool ok = Decode(file, IMAGE_TYPE_ANY);
    // The error of the named format says more than "unknown format".
    if (!ok && (imageType == IMAGE_TYPE_GIF || imageType == IMAGE_TYPE_JPEG))
        std::memcpy(m_info.lastError, firstError, sizeof firstError);
    return ok;
}

bool CImageObj::Save(const char* path, DWORD imageType)
{
    if (!path || !*path)
        return false;
    // Encoded in memory and written in one step: a failed encode or write
    // leaves no partial picture behind and keeps an old file as it was.
    tavrin::ImageMemoryStream encoded;
    if (!Encode(encoded, imageType))
        return false;
    // A file that cannot be written is reported by the result alone.
    const std::vector<BYTE>& bytes = encoded.Bytes();
    return tavrin::WriteFileAtomic(path, bytes.data(), bytes.size());
}
