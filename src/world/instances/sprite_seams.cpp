// Stand-in sprite table until the sprite module exists: records installed by
// the caller, and per-pixel tests that answer with the box test alone (every
// pixel of the box counts as set).
#include "world/instances/sprite_services.h"

namespace {
CSprite* const* s_sprites = nullptr;
int s_count = 0;
} // namespace

void Sprite_SeamInstall(CSprite* const* sprites, int count) {
    s_sprites = sprites;
    s_count = sprites != nullptr && count > 0 ? count : 0;
}

bool Sprite_Exists(int index) {
    return Sprite_Data(index) != nullptr;
}

CSprite* Sprite_Data(int index) {
    if (index < 0 || index >= s_count) return nullptr;
    return s_sprites[index];
}

bool CSprite::PreciseCollisionPoint(int, const SBoundingBox&, int, int, float, float, float, int, int) const {
    return true;
}
bool CSprite::PreciseCollisionRectangle(int, const SBoundingBox&, int, int, float, float, float,
                                        const SBoundingBox&) const {
    return true;
}
bool CSprite::PreciseCollisionEllipse(int, const SBoundingBox&, int, int, float, float, float,
                                      const SBoundingBox&) const {
    return true;
}
bool CSprite::PreciseCollisionLine(int, const SBoundingBox&, int, int, float, float, float, int, int, int,
                                   int) const {
    return true;
}
bool CSprite::PreciseCollision(int, const SBoundingBox&, int, int, float, float, float, const CSprite*, int,
                               const SBoundingBox&, int, int, float, float, float) const {
    return true;
}
