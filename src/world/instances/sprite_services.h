// The sprite record and what instances ask of it: the collision box, origin,
// size, frame count, playback speed and precise flag of a sprite, and its
// per-pixel hit tests. The record is declared here, where the instances and
// the collision pass read it; the sprite module (src/sprites) defines every
// operation; the sprite table is src/sprites/sprite_table.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CBitmap32;
class IBitmap;
struct ZQTPageEntry;
class ImageReader;

// An inclusive integer rectangle (a bounding box).
struct SBoundingBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline constexpr int32_t SPRITE_KIND_BITMAP = 0;
inline constexpr int32_t SPRITE_KIND_VECTOR = 1;
inline constexpr int32_t SPRITE_KIND_SKELETON = 2;
// The frame count of a skeleton sprite: its frames are poses, without end.
inline constexpr int32_t SPRITE_SKELETON_FRAMES = 2147483647;

// Bounding-box modes.
inline constexpr int32_t SPRITE_BBOX_AUTOMATIC = 0;
inline constexpr int32_t SPRITE_BBOX_FULL = 1;
inline constexpr int32_t SPRITE_BBOX_MANUAL = 2;

// Mask shapes of sprite_collision_mask.
inline constexpr int32_t SPRITE_MASK_PRECISE = 0;
inline constexpr int32_t SPRITE_MASK_RECTANGLE = 1;
inline constexpr int32_t SPRITE_MASK_ELLIPSE = 2;
inline constexpr int32_t SPRITE_MASK_DIAMOND = 3;

// A collision mask: one byte per frame pixel, rows from the top, non-zero
// where the frame is solid. Every mask of a sprite holds exactly width ×
// height bytes while the masks are built.
struct CMask {
    std::vector<uint8_t> bits;
};

class CSprite {
public:
    // Defaults: 1 × 1, no frames, precise, transparent and preload set,
    // playback speed 30 frames per second, a bitmap sprite.
    CSprite();
    virtual ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    int32_t m_bboxmode = SPRITE_BBOX_AUTOMATIC;
    SBoundingBox m_bbox; // frame pixels, inclusive
    int32_t m_numb = 0;  // frame count
    int32_t m_width = 1;
    int32_t m_height = 1;
    int32_t m_xorigin = 0;
    int32_t m_yorigin = 0;
    // Smallest integer not below the origin's largest distance to a frame corner.
    int32_t m_cullRadius = 0;
    bool m_precise = true;
    bool m_transparent = true;
    bool m_smooth = false;
    bool m_preload = true;
    // Playback speed, in frames per game step (type 1) or per second of game
    // time (any other type).
    float m_playbackSpeed = 30.0f;
    int32_t m_playbackSpeedType = 0;
    int32_t m_kind = SPRITE_KIND_BITMAP;
    const char* m_name = nullptr; // owned by the sprite table

    // Frames on the data file's texture pages: the file offset of each
    // frame's texture-page entry (0: none), resolved through the renderer
    // (TPageEntry_AtOffset) when drawn. Empty for run-time sprites.
    std::vector<uint32_t> m_pageEntryOffsets;
    bool m_dataFileEntries = false;
    // Frame bitmaps of run-time and stream sprites (null where a frame has none).
    std::vector<std::unique_ptr<CBitmap32>> m_bitmaps;
    // Texture-table ids of the frame bitmaps' textures (-1 once freed), and
    // the local page entries made for them (owned, registered for scripts;
    // null where a frame has no texture). Empty for data-file sprites.
    std::vector<int32_t> m_textures;
    std::vector<std::unique_ptr<ZQTPageEntry>> m_localEntries;

    // While set no sprite is culled (projections and room drawing set it).
    static bool ms_ignoreCull;

    // Masks stored packed in the data file image (which outlives every
    // sprite): count, and `count` masks of height rows of (width + 7) / 8
    // bytes each, checked against the image when the record was read. The
    // size they were stored for is kept with them: a sprite refilled at
    // another size never unpacks them.
    int32_t m_packedMaskCount = 0;
    const uint8_t* m_packedMasks = nullptr;
    int32_t m_packedWidth = 0;
    int32_t m_packedHeight = 0;

    // The masks; the mask of frame f is m_masks[f mod count]. Unpacking the
    // stored masks on first use is not a change a caller can see, so the
    // collision tests may do it on a const sprite.
    mutable bool m_maskCreated = false;
    mutable std::vector<CMask> m_masks;

    // ---- the record (sprite.cpp)

    // Frees what the sprite holds and returns every field to its default,
    // keeping the packed masks and the playback speed.
    void Clear();
    // One "SPRT" record, the reader at its first word (the name's offset,
    // which the table reads). Every count and offset is checked against the
    // chunk; a record that does not fit throws GameDataError.
    void LoadFromChunk(ImageReader& record);
    // The legacy stream forms (versions 542 and 800) in `length` bytes;
    // false (the sprite left cleared) for any other version or damaged data.
    // *consumed (when given) gets the bytes the form took, 0 on failure.
    bool LoadFromStream(const uint8_t* data, size_t length, size_t* consumed = nullptr);
    // A copy of a bitmap sprite (see Assign in sprite.cpp).
    void Assign(const CSprite* source);
    // The frame wrapped into 0 … frame count − 1; -1 without frames.
    int WrapFrame(int frame) const;
    // The data-file texture-page entry offset of a frame (wrapped); 0 for none.
    uint32_t PageEntryOffset(int frame) const;
    // That entry, resolved through the texture pages; null for none.
    ZQTPageEntry* GetPageEntry(int frame) const;
    void ComputeCullRadius();
    // The entry a frame (wrapped) draws with: its local entry, else its
    // data-file entry; null when it has neither.
    ZQTPageEntry* FrameEntry(int frame) const;
    // -1 for vector and skeleton sprites and sprites without frames; else the
    // frame's (wrapped) texture id when the sprite has its own textures, or
    // the script handle of its data-file page entry.
    int64_t GetTexture(int frame) const;
    // Textures from the frame bitmaps (none for data-file, vector and
    // skeleton sprites), and a local page entry for each of them.
    void InitTexture();
    void InitLocalTPE();
    void FreeLocalTPE();
    // Frees every texture and marks it -1, keeping the list.
    void FreeTexture();
    // The frame's own bounds: its page entry's stored rectangle inside the
    // untrimmed frame, else the bounds of its bitmap's non-transparent pixels;
    // all 0 for a frame out of range or without either.
    SBoundingBox GetBoundingBoxImg(int frame) const;
    // A new platform bitmap (32- or 24-bit) holding a copy of the frame's
    // bitmap; null for a frame out of range, a frame without a bitmap or a
    // sprite that is not a bitmap sprite.
    std::unique_ptr<IBitmap> GetBitmap32(int frame) const;
    std::unique_ptr<IBitmap> GetBitmap24(int frame) const;

    // ---- bounding box and masks (sprite_mask.cpp)

    void SetBoundingBox(const SBoundingBox& box);
    void SetBoundingBoxMode(int mode);
    void ComputeBoundingBox();
    void SetCollisionChecking(bool precise);
    void CreateMask();
    void FreeMask();
    void ComputeMask(bool separate, int bboxMode, const SBoundingBox& rect, int kind, uint32_t tolerance);
    void TMaskCreate(const CMask* other, CMask* target, const CBitmap32* bitmap, int kind,
                     uint32_t tolerance) const;
    void UnpackWADMask() const;
    // The mask the collision tests read for a frame, or null when the
    // sprite counts as solid over its frame (no masks).
    const uint8_t* CollisionMask(int frame) const;

    // ---- drawing (sprite_draw.cpp): frames wrap; angles in degrees, colours
    // 0xBBGGRR, alpha 0..1. Nothing is drawn for a sprite without frames;
    // vector and skeleton sprites draw nothing until those modules exist.
    void Draw(int frame, float x, float y, float xscale, float yscale, float angle, uint32_t colour,
              float alpha) const;
    void DrawSimple(int frame, float x, float y) const;
    void DrawStretched(int frame, float x, float y, float w, float h, uint32_t colour, float alpha) const;
    // Four corners clockwise from the top left.
    void DrawPos(int frame, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                 uint32_t colour, float alpha) const;
    void DrawPart(int frame, float left, float top, float width, float height, float x, float y, float xscale,
                  float yscale, uint32_t colour, float alpha) const;
    void DrawGeneral(int frame, float left, float top, float width, float height, float x, float y,
                     float xscale, float yscale, float angle, uint32_t c1, uint32_t c2, uint32_t c3,
                     uint32_t c4, float alpha) const;
    void DrawTiled(int frame, float x, float y, float xscale, float yscale, bool htiled, bool vtiled,
                   float regionLeft, float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                   float alpha) const;

    // ---- per-pixel tests (sprite_collision.cpp), each true on a hit.
    // Positions and images are integers, rectangles inclusive, angles in degrees.
    bool PreciseCollisionPoint(int image, const SBoundingBox& box, int x, int y, float xscale, float yscale,
                               float angle, int px, int py) const;
    bool PreciseCollisionRectangle(int image, const SBoundingBox& box, int x, int y, float xscale,
                                   float yscale, float angle, const SBoundingBox& rect) const;
    bool PreciseCollisionEllipse(int image, const SBoundingBox& box, int x, int y, float xscale, float yscale,
                                 float angle, const SBoundingBox& rect) const;
    bool PreciseCollisionLine(int image, const SBoundingBox& box, int x, int y, float xscale, float yscale,
                              float angle, int x1, int y1, int x2, int y2) const;
    bool PreciseCollision(int image, const SBoundingBox& box, int x, int y, float xscale, float yscale,
                          float angle, const CSprite* other, int otherImage, const SBoundingBox& otherBox,
                          int otherX, int otherY, float otherXscale, float otherYscale,
                          float otherAngle) const;

    // ---- frames from images, bitmaps and other sprites (sprite_frames.cpp).
    // Every loader but the three that append starts by clearing the sprite;
    // false leaves it without frames. Pixels are bytes red, green, blue,
    // alpha, rows packed from the top.
    bool LoadFromFile(const char* path, int frames, bool precise, bool removeBackground, bool smooth,
                      bool preload, int xorigin, int yorigin, bool keepAlpha);
    bool LoadFromJPEGData(const uint8_t* data, size_t length, int frames, bool precise, bool removeBackground,
                          bool smooth, int xorigin, int yorigin, bool keepAlpha);
    bool LoadFromGIFData(const uint8_t* data, size_t length, int frames, bool precise, bool removeBackground,
                         bool smooth, int xorigin, int yorigin, bool keepAlpha);
    bool LoadFromPNGData(const uint8_t* data, size_t length, int frames, bool precise, bool removeBackground,
                         bool smooth, int xorigin, int yorigin, bool keepAlpha);
    // The image data sniffed by its first bytes (JPEG, GIF, else PNG).
    bool LoadFromImageData(const uint8_t* data, size_t length, int frames, bool precise,
                           bool removeBackground, bool smooth, int xorigin, int yorigin, bool keepAlpha);
    bool LoadFromData(const uint8_t* rgba, int width, int height, int frames, bool precise,
                      bool removeBackground, bool smooth, int xorigin, int yorigin, bool keepAlpha);
    bool CreateFromBitmap(IBitmap* bitmap, bool precise, bool removeBackground, bool smooth, bool preload,
                          int xorigin, int yorigin, bool keepAlpha);
    // Appends one frame, stretched to the sprite's size; false for a sprite
    // whose frames live on the data file's pages.
    bool AddFromBitmap(IBitmap* bitmap, bool removeBackground, bool smooth, bool keepAlpha);
    void AddFromSprite(const CSprite* source);
    void SetAlphaFromSprite(const CSprite* source);
    // ---- vector sprites. A vector sprite file (".zqs") from the save area,
    // else the bundle, with the given origin; false when the file is in
    // neither or its data does not build.
    bool LoadFromZQSFile(const char* path, int xorigin, int yorigin);

    // Rebuilds every frame as a bitmap read back from its texture page.
    bool GenerateBitmapData();
    // True when the frames are on the data file's pages and have no bitmaps.
    bool UsesDataFileFrames() const;

private:
    // After the frames changed: box, masks and cull radius follow them.
    void FramesChanged();
};

// a wrapped into [0, b) for b > 0; a itself otherwise.
float fwrap(float a, float b);

// True when the index is within the sprite table and names a sprite.
bool Sprite_Exists(int index);
// The sprite record, or null.
CSprite* Sprite_Data(int index);
