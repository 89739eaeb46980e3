// CBackground: an image resource drawn whole, in part, stretched or tiled by
// rooms, legacy tiles and scripts, and (new-generation data) a tileset that
// says how its image is cut into tiles and how they animate. A background of
// the data file shows a region of a texture page; one made at run time (from
// an image file, a colour, a gradient or a copy) owns a 32-bit bitmap, a
// texture made from it and a local page entry describing the whole bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CBitmap32;
class IBitmap;
class ImageReader;
struct ZQTPageEntry;

class CBackground {
public:
    CBackground();
    ~CBackground();
    CBackground(const CBackground&) = delete;
    CBackground& operator=(const CBackground&) = delete;

    // Reads a "BGND" record at the reader's cursor (the name word included,
    // which the table reads). Throws GameDataError for a page entry that is
    // not one of "TPAG", negative tile or frame counts, or tile data that
    // does not fit the chunk; the background holds nothing then.
    void LoadFromChunk(ImageReader& record);
    // Releases the bitmap, texture and owned entry; sizes, flags and the
    // tileset fields return to 0.
    void Clear();

    // From a file in the save area, else the bundle; true only when it was
    // read and decoded. The trailing flag of these loaders has no effect.
    bool LoadFromFile(const char* path, bool transparent, bool smooth, bool preload, bool flag);
    // Decodes by the first bytes (JPEG, GIF, PNG); anything else, or data too
    // short to tell, fails with a line on the debug console naming `path`.
    bool LoadFromFileData(const char* path, const uint8_t* data, size_t length, bool transparent, bool smooth,
                          bool preload, bool flag);
    bool LoadFromJPEGData(const uint8_t* data, size_t length, bool transparent, bool smooth, bool preload,
                          bool flag);
    bool LoadFromGIFData(const uint8_t* data, size_t length, bool transparent, bool smooth, bool preload,
                         bool flag);
    bool LoadFromPNGData(const uint8_t* data, size_t length, bool transparent, bool smooth, bool preload,
                         bool flag);
    // From width × height pixels, bytes red, green, blue, alpha.
    bool LoadFromData(const uint8_t* rgba, int width, int height, bool transparent, bool smooth, bool preload,
                      bool flag);
    // Builds the bitmap, texture and local entry from an image. An image
    // larger than the largest texture becomes a clamped opaque-blue
    // placeholder (pixel 0xFF0000FF), with an error line.
    bool CreateFromBitmap(IBitmap* image, bool transparent, bool smooth, bool preload, bool flag);
    bool CreateColor(int width, int height, uint32_t colour, bool preload);
    bool CreateGradient(int width, int height, uint32_t colour1, uint32_t colour2, int kind, bool preload);
    void SetAlphaFromBackground(const CBackground* other);
    // Becomes a copy of `source` (not its tileset fields): a data-image entry
    // is shared, a bitmap copied. Assigning a background to itself changes
    // nothing.
    void Assign(const CBackground* source);
    // Reads the image back from its texture page into a bitmap of its own
    // (after a duplication); false when it already has one or the page
    // cannot be read.
    bool GenerateBitmapData();

    void InitTexture();
    void FreeTexture();
    // Lets go of the texture id without freeing it (at shut-down the texture
    // table frees every texture itself, after the display has gone).
    void ForgetTexture() { m_texture = -1; }
    void InitLocalTPE();

    // The page entry it draws with (null: draw by texture id).
    ZQTPageEntry* GetTPE() const { return m_tpe; }
    int GetTextureId() const { return m_texture; }
    const CBitmap32* GetBitmap() const { return m_bitmap.get(); }
    std::unique_ptr<IBitmap> GetBitmap24() const;
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool GetTransparent() const { return m_transparent; }
    bool Smooth() const { return m_smooth; }
    bool GetPreload() const { return m_preload; }
    bool OwnsTPE() const { return m_ownsTPE; }

    // Tileset fields (0 unless a new-generation record of version 2 or more).
    int TileWidth() const { return m_tileWidth; }
    int TileHeight() const { return m_tileHeight; }
    int BorderX() const { return m_borderX; }
    int BorderY() const { return m_borderY; }
    int Columns() const { return m_columns; }
    int FramesPerTile() const { return m_framesPerTile; }
    int TileCount() const { return m_tileCount; }
    int64_t FrameTime() const { return m_frameTime; }
    // The image tile shown for `tile` in animation `frame`; 0 (the empty
    // tile) outside the tile data.
    uint32_t TileImage(int tile, int frame) const;

    // Drawing, by page entry when there is one, else by texture id. Angles
    // in degrees; colours are script colours; false when nothing was drawn.
    bool DrawSimple(float x, float y) const;
    bool Draw(float x, float y, float xscale, float yscale, float angle, uint32_t colour, float alpha) const;
    bool DrawStretched(float x, float y, float width, float height, uint32_t colour, float alpha) const;
    bool DrawPart(float left, float top, float width, float height, float x, float y, float xscale,
                  float yscale, uint32_t colour, float alpha) const;
    bool DrawGeneral(float left, float top, float width, float height, float x, float y, float xscale,
                     float yscale, float angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                     float alpha) const;
    bool DrawTiled(float x, float y, float xscale, float yscale, bool htiled, bool vtiled, float regionLeft,
                   float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                   float alpha) const;

private:
    void FreeOwnedTPE();
    void MakeLocalTPE();
    bool TakeBitmap(std::unique_ptr<CBitmap32> bitmap, bool preload);

    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_transparent = false;
    bool m_smooth = false;
    bool m_preload = false;
    int32_t m_texture = -1;
    std::unique_ptr<CBitmap32> m_bitmap;
    ZQTPageEntry* m_tpe = nullptr;
    bool m_ownsTPE = false;
    int32_t m_tileWidth = 0;
    int32_t m_tileHeight = 0;
    int32_t m_borderX = 0;
    int32_t m_borderY = 0;
    int32_t m_columns = 0;
    int32_t m_framesPerTile = 0;
    int32_t m_tileCount = 0;
    int64_t m_frameTime = 0;
    // Tile count × frames per tile little-endian words in the data image,
    // checked to lie inside the chunk when loaded.
    const uint8_t* m_tileData = nullptr;
};
