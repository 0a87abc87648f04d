// CImageExifInfo: reads the marker segments at the head of a JPEG file into
// sections and the camera and image data of its EXIF block; writes a file
// back from its sections. The input is treated as hostile: every read is
// bounded, and any failure only means "no EXIF".
#pragma once

#include "platform/base/Types.h"

class CImageStream;

// What the EXIF reader extracts. A unit is the number of inches per unit.
struct ImageExifBlock {
    char version[5];
    char cameraMake[32];
    char cameraModel[40];
    char dateTime[20];
    LONG height;
    LONG width;
    LONG orientation;      // 1-8, 0 when invalid
    LONG isColor;
    LONG process;          // the SOF marker code
    LONG flashUsed;
    float focalLength;
    float exposureTime;
    float apertureFNumber;
    float distance;
    float ccdWidth;
    float exposureBias;
    LONG whiteBalance;
    LONG meteringMode;
    LONG exposureProgram;
    LONG isoEquivalent;
    LONG compressionLevel;
    float focalPlaneXRes;
    float focalPlaneYRes;
    float focalPlaneUnits;
    float xResolution;
    float yResolution;
    float resolutionUnit;
    float brightness;
    char comments[1000];
    DWORD thumbnailOffset; // into the EXIF section's data
    DWORD thumbnailSize;
    BYTE isExif;
};

class CImageExifInfo {
public:
    enum { READ_EXIF = 1, READ_IMAGE = 2 };
    enum { MAX_SECTIONS = 20 };
    // Pseudo marker of the image data that follows the start of scan.
    enum { IMAGE_DATA_MARKER = 0x100 };

    struct Section {
        BYTE* data;  // the two length bytes and the content
        int type;    // the marker
        DWORD size;
    };

    explicit CImageExifInfo(ImageExifBlock* block = nullptr);
    ~CImageExifInfo();
    CImageExifInfo(const CImageExifInfo&) = delete;
    CImageExifInfo& operator=(const CImageExifInfo&) = delete;

    bool DecodeExif(CImageStream& stream, int mode = READ_EXIF);
    bool EncodeExif(CImageStream& stream);
    void DiscardAllButExif();
    const Section* FindSection(int marker) const;

    const ImageExifBlock& GetBlock() const { return *m_block; }
    const char* GetLastError() const { return m_lastError; }
    int GetSectionCount() const { return m_sectionCount; }
    const Section& GetSection(int index) const { return m_sections[index]; }
    DWORD GetExifImageWidth() const { return m_exifImageWidth; }

private:
    bool ProcessExif(const BYTE* content, DWORD length);
    bool ProcessDirectory(const BYTE* tiff, DWORD tiffLength, DWORD offset, DWORD tiffBase, int depth);
    void ProcessComment(const BYTE* data, DWORD size);
    void Error(const char* text);
    void FreeSection(int index);

    WORD Get16u(const BYTE* p) const;
    DWORD Get32u(const BYTE* p) const;
    LONG Get32s(const BYTE* p) const { return static_cast<LONG>(Get32u(p)); }
    double ConvertAnyFormat(const BYTE* p, int format) const;

    ImageExifBlock* m_block;
    char m_lastError[256];
    DWORD m_exifImageWidth;
    bool m_motorola;
    Section m_sections[MAX_SECTIONS];
    int m_sectionCount;
    bool m_ownsBlock;

    // One walk of linked directories: offsets seen, and whether a loop or too
    // deep a chain broke it.
    DWORD m_visited[64];
    int m_visitedCount;
    bool m_broken;
};
