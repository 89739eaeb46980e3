// The platform bitmap: a CPU image in one memory block (a 52-byte DIB header
// and the pixel rows), with a pixel format, size and row stride. 32-bit
// bitmaps are converted from and into it.
#pragma once

#include <cstdint>
#include <memory>

// TPixelFormat: 1 one bit, 2 four bits, 3 eight bits, 4 fifteen bits, 5 sixteen
// bits, 6 twenty-four bits (bytes blue, green, red), 7 thirty-two bits (blue,
// green, red, alpha).
inline constexpr int kPixelFormat24 = 6;
inline constexpr int kPixelFormat32 = 7;

class IBitmap {
public:
    virtual ~IBitmap() = default;
    // A new empty bitmap (format 7, 0 × 0).
    static std::unique_ptr<IBitmap> Create();

    virtual void SetWidth(int width) = 0;
    virtual int GetWidth() const = 0;
    virtual void SetHeight(int height) = 0;
    virtual int GetHeight() const = 0;
    virtual void SetPixelFormat(int format) = 0;
    virtual int GetPixelFormat() const = 0;
    // Makes the pixel block on first use (zero-filled); gives the address of
    // `row` and the stride; returns the address of the first row, or null
    // when the bitmap has no size or the block cannot be made.
    virtual void* LockBits(int row, void** pixels, int* stride) = 0;
    virtual void UnlockBits(void* token) = 0;
    // Converts another bitmap into this one, keeping this one's format.
    virtual void FromBitmap(IBitmap* source) = 0;
    // Non-null when a native image backs the bitmap (never on this platform).
    virtual void* GetNative() const = 0;
};

// A format-7 bitmap of decoded `rgba` pixels (bytes red, green, blue, alpha,
// rows of `width`); null when it cannot be made.
std::unique_ptr<IBitmap> BitmapFromRGBA(const uint8_t* rgba, int width, int height);

class TBitmap final : public IBitmap {
public:
    TBitmap() { Recompute(); }
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void SetWidth(int width) override;
    int GetWidth() const override { return m_width; }
    void SetHeight(int height) override;
    int GetHeight() const override { return m_height; }
    void SetPixelFormat(int format) override;
    int GetPixelFormat() const override { return m_format; }
    void* LockBits(int row, void** pixels, int* stride) override;
    void UnlockBits(void*) override {}
    void FromBitmap(IBitmap* source) override;
    void* GetNative() const override { return nullptr; }

    int Stride() const { return m_stride; }
    int BlockLength() const { return m_blockLength; }

private:
    void Recompute();
    void DropBlock();

    uint8_t* m_block = nullptr; // header and rows, from the memory manager
    int m_blockLength = 0;
    uint8_t* m_pixels = nullptr;
    int m_format = kPixelFormat32;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};
