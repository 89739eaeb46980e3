// CBitmap32: the runtime's CPU-side 32-bit image (pixels 0xAARRGGBB, rows
// from the top). Made from a legacy stream record, a platform bitmap, part of
// another bitmap, a colour or a gradient; keyed, smoothed, stretched and
// measured on the CPU before it becomes a texture or is saved.
//
// A pixel is transparent when its alpha is 0 (the word is at most
// 0x00FFFFFF) and opaque otherwise. Every operation on an invalid bitmap does
// nothing or returns nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class IBitmap;

struct tagZQRECT {
    int32_t left, top, right, bottom;
};

class CBitmap32 {
public:
    struct PixelArray {
        int32_t length; // bytes: width × height × 4 while valid
        uint32_t* data; // memory-manager block, zero-filled when made
    };

    // The legacy stream record at `record` (version 800: plain pixels; 540:
    // a validity flag and zlib-compressed pixels). Sizes are checked against
    // the data; *consumed (when given) gets the bytes read.
    CBitmap32(const uint8_t* record, size_t length, size_t* consumed = nullptr);
    explicit CBitmap32(const CBitmap32* other);
    // The w × h rectangle at (x, y) of other; invalid when it leaves other.
    CBitmap32(const CBitmap32* other, int x, int y, int w, int h);
    // Every pixel the script colour (0xBBGGRR), opaque; sides below 1 become 1.
    CBitmap32(int w, int h, uint32_t colour);
    // Opaque two-colour gradient of `kind` 0-5.
    CBitmap32(int w, int h, uint32_t colour1, uint32_t colour2, int kind);
    // Opaque conversion of a platform bitmap (formats 6 and 7 read directly,
    // others converted first), then optional keying and smoothing.
    CBitmap32(IBitmap* bitmap, bool removeBackground, bool smooth);
    // Copy keeping the platform bitmap's alpha (format 7 only).
    CBitmap32(IBitmap* bitmap, bool removeBackground, bool smooth, int);
    // The copy with alpha when keepAlpha, else the opaque conversion.
    CBitmap32(IBitmap* bitmap, bool removeBackground, bool smooth, bool keepAlpha);
    // The direct reader of formats 6 and 7.
    CBitmap32(int, IBitmap* bitmap, bool removeBackground, bool smooth);
    virtual ~CBitmap32();
    CBitmap32(const CBitmap32&) = delete;
    CBitmap32& operator=(const CBitmap32&) = delete;

    bool IsValid() const { return m_valid; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    PixelArray* GetData() { return &m_pixels; }
    uint32_t* Pixels() const { return m_pixels.data; }

    // Colour keying on the bottom-left pixel's colour, then ImproveBoundary.
    void RemoveBackground();
    // Transparent pixels next to opaque ones take the first opaque
    // neighbour's colour (left, right, above, below), staying transparent.
    void ImproveBoundary();
    // Each transparent pixel lowers the alpha of its 3 × 3 neighbours by 32.
    void SmoothEdges();
    void SetAlphaFromBitmap(const CBitmap32* other);
    // Nearest-neighbour resampling to w × h.
    void Stretch(int w, int h);
    // The opaque pixels' bounding box (a memory-manager block the caller frees).
    tagZQRECT* BoundingBox() const;
    std::unique_ptr<IBitmap> CreateBitmap24() const;
    std::unique_ptr<IBitmap> CreateBitmap32() const;

private:
    CBitmap32() = default;
    bool Allocate(int w, int h);
    void Free();
    void ReadDirect(IBitmap* bitmap);
    void CopyWithAlpha(IBitmap* bitmap);
    void KeyAndSmooth(bool removeBackground, bool smooth);
    void ColourKey();
    void TakeFrom(CBitmap32& other);
    std::unique_ptr<IBitmap> CreatePlatform(int format) const;

    bool m_valid = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    PixelArray m_pixels = {0, nullptr};
};
