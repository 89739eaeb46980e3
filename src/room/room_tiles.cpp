// Legacy tiles of a running room: one array of run-time tiles addressed by id
// (with a one-entry cache) or by depth, kept in descending depth for drawing.
#include <cmath>
#include <utility>

#include "room/room.h"

namespace {

// Depths compare as floats; an unordered comparison (a NaN on either side)
// counts as equal, so a NaN argument matches every tile.
bool SameDepth(float a, float b) {
    return !(a < b) && !(a > b);
}

struct TileArea {
    float x1, x2, y1, y2;
};

TileArea AreaOf(const RTile& t) {
    const float xa = t.x, xb = t.x + static_cast<float>(t.width) * t.xscale;
    const float ya = t.y, yb = t.y + static_cast<float>(t.height) * t.yscale;
    return {std::fmin(xa, xb), std::fmax(xa, xb), std::fmin(ya, yb), std::fmax(ya, yb)};
}

// Half-open on the far edges: a point on the left or top edge is inside.
bool Holds(const TileArea& a, float x, float y) {
    return a.x1 <= x && x < a.x2 && a.y1 <= y && y < a.y2;
}

} // namespace

int CRoom::AddTile(const RTile& tile) {
    if (m_tiles.size() == m_tiles.capacity()) m_tiles.reserve(m_tiles.size() + 10);
    m_tiles.push_back(tile);
    m_tiles.back().id = ++room_maxtileid;
    m_lastTile = static_cast<int32_t>(m_tiles.size() - 1);
    return m_lastTile;
}

int CRoom::FindTile(int id) {
    const int count = TileCount();
    if (m_lastTile >= 0 && m_lastTile < count && m_tiles[m_lastTile].id == id) return m_lastTile;
    for (int i = 0; i < count; ++i) {
        if (m_tiles[i].id == id) {
            m_lastTile = i;
            return i;
        }
    }
    return -1;
}

void CRoom::DeleteTile(int index) {
    if (index < 0 || index >= TileCount()) return;
    m_tiles.erase(m_tiles.begin() + index);
    if (m_tiles.empty()) std::vector<RTile>().swap(m_tiles);
}

// Insertion sort after a check: the room draw calls this every frame, and a
// frame without depth changes finds the array in order in one pass.
void CRoom::SortTiles() {
    const size_t n = m_tiles.size();
    bool ordered = true;
    for (size_t i = 1; i < n && ordered; ++i) ordered = !(m_tiles[i].depth > m_tiles[i - 1].depth);
    if (ordered) return;
    for (size_t i = 1; i < n; ++i)
        for (size_t j = i; j > 0 && m_tiles[j].depth > m_tiles[j - 1].depth; --j)
            std::swap(m_tiles[j], m_tiles[j - 1]);
}

void CRoom::HideTilesDepth(float depth) {
    for (RTile& t : m_tiles)
        if (SameDepth(t.depth, depth)) t.visible = false;
}

void CRoom::ShowTilesDepth(float depth) {
    for (RTile& t : m_tiles)
        if (SameDepth(t.depth, depth)) t.visible = true;
}

template <typename Match>
void CRoom::RemoveTilesIf(Match match) {
    size_t kept = 0;
    for (size_t i = 0; i < m_tiles.size(); ++i)
        if (!match(m_tiles[i])) m_tiles[kept++] = m_tiles[i];
    m_tiles.resize(kept);
    if (m_tiles.empty()) std::vector<RTile>().swap(m_tiles);
}

void CRoom::DeleteTilesDepth(float depth) {
    RemoveTilesIf([depth](const RTile& t) { return SameDepth(t.depth, depth); });
}

void CRoom::ShiftTilesDepth(float depth, float dx, float dy) {
    for (RTile& t : m_tiles) {
        if (!SameDepth(t.depth, depth)) continue;
        t.x += dx;
        t.y += dy;
    }
}

int CRoom::FindTileAtDepth(float depth, float x, float y) {
    int best = -1;
    float bestDistance = 3.4028235e38f;
    for (int i = 0; i < TileCount(); ++i) {
        const RTile& t = m_tiles[i];
        if (!SameDepth(t.depth, depth)) continue;
        const TileArea a = AreaOf(t);
        if (!Holds(a, x, y)) continue;
        const float dx = (a.x1 + a.x2) * 0.5f - x;
        const float dy = (a.y1 + a.y2) * 0.5f - y;
        const float distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void CRoom::DeleteTilesAtDepth(float depth, float x, float y) {
    RemoveTilesIf([=](const RTile& t) { return SameDepth(t.depth, depth) && Holds(AreaOf(t), x, y); });
}

void CRoom::ChangeTilesDepth(float depth, float newDepth) {
    for (RTile& t : m_tiles)
        if (SameDepth(t.depth, depth)) t.depth = newDepth;
}

void CRoom::ClearTiles() {
    std::vector<RTile>().swap(m_tiles);
    m_lastTile = -1;
}
