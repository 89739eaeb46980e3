// What instances ask of sprites: the collision box, origin, size, frame count,
// playback speed and precise flag of a sprite, and its per-pixel hit tests.
// Until the sprite module exists, its stand-ins (src/sprites/stand_ins.cpp)
// answer from a table the caller installs, for the instances, the step and the
// room alike; the sprite module deletes them as it defines these itself.
#pragma once

#include <cstdint>

// An inclusive integer rectangle (a bounding box).
struct SBoundingBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline constexpr int32_t SPRITE_KIND_SKELETON = 2;

class CSprite {
public:
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_xorigin = 0;
    int32_t m_yorigin = 0;
    int32_t m_numb = 0; // frame count
    // Playback speed, in frames per game step (type 1) or per second of game
    // time (any other type).
    float m_playbackSpeed = 1.0f;
    int32_t m_playbackSpeedType = 1;
    SBoundingBox m_bbox;
    bool m_precise = false;
    int32_t m_kind = 0;

    // Per-pixel tests, each true on a hit. Positions and images are integers,
    // rectangles inclusive.
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
};

// True when the index is within the sprite table and names a sprite.
bool Sprite_Exists(int index);
// The sprite record, or null.
CSprite* Sprite_Data(int index);

// Stand-in table (until the sprite module exists): the sprites by index (null entries name none).
// The caller keeps the records alive while installed.
void Sprite_SeamInstall(CSprite* const* sprites, int count);
