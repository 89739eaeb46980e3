// Legacy tiles of a running room: ids and the lookup cache, growth by ten,
// the stable descending sort, the depth operations (NaN matches every tile)
// and the nearest tile at a point.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "room/room.h"

namespace {

RTile At(float x, float y, float depth, int width = 10, int height = 10, float xscale = 1.0f) {
    RTile t;
    t.x = x;
    t.y = y;
    t.depth = depth;
    t.width = width;
    t.height = height;
    t.xscale = xscale;
    return t;
}

std::vector<int> Ids(const CRoom& room) {
    std::vector<int> ids;
    for (const RTile& t : room.m_tiles) ids.push_back(t.id);
    return ids;
}

TEST(LegacyTiles, IdsCacheAndGrowth) {
    CRoom room;
    room_maxtileid = 500;
    RTile t = At(0, 0, 0);
    t.id = 7; // replaced
    EXPECT_EQ(room.AddTile(t), 0);
    EXPECT_EQ(room.m_tiles[0].id, 501);
    EXPECT_EQ(room.TileCapacity(), 10);
    for (int i = 1; i < 10; ++i) room.AddTile(t);
    EXPECT_EQ(room.TileCapacity(), 10);
    room.AddTile(t);
    EXPECT_EQ(room.TileCapacity(), 20);
    EXPECT_EQ(room_maxtileid, 511);
    EXPECT_EQ(room.FindTile(505), 4);
    room.DeleteTile(1);
    EXPECT_EQ(room.FindTile(505), 3) << "a stale cached index is not trusted";
    EXPECT_EQ(room.FindTile(12345), -1);
    room.DeleteTile(-1);
    room.DeleteTile(10);
    EXPECT_EQ(room.TileCount(), 10);
    room.DeleteTilesDepth(0.0f);
    EXPECT_EQ(room.TileCount(), 0);
    EXPECT_EQ(room.TileCapacity(), 0);
    room.AddTile(t);
    EXPECT_EQ(room.TileCapacity(), 10);
}

TEST(LegacyTiles, SortIsDescendingAndStable) {
    CRoom room;
    room.AddTile(At(0, 0, 100));
    room.AddTile(At(0, 0, 200));
    room.AddTile(At(0, 0, 100));
    const std::vector<int> ids = Ids(room);
    room.SortTiles();
    EXPECT_EQ(Ids(room), (std::vector<int>{ids[1], ids[0], ids[2]}));
    room.SortTiles();
    EXPECT_EQ(Ids(room), (std::vector<int>{ids[1], ids[0], ids[2]}));
}

TEST(LegacyTiles, DepthOperations) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    CRoom room;
    room.AddTile(At(0, 0, 1));
    room.AddTile(At(0, 0, 2));
    room.AddTile(At(0, 0, 1));
    room.HideTilesDepth(1);
    EXPECT_FALSE(room.m_tiles[0].visible);
    EXPECT_TRUE(room.m_tiles[1].visible);
    room.ShowTilesDepth(nan);
    EXPECT_TRUE(room.m_tiles[0].visible && room.m_tiles[2].visible);
    room.ShiftTilesDepth(2, 5, -3);
    EXPECT_EQ(room.m_tiles[1].x, 5.0f);
    EXPECT_EQ(room.m_tiles[1].y, -3.0f);
    room.ChangeTilesDepth(1, 9);
    EXPECT_EQ(room.m_tiles[2].depth, 9.0f);
    room.ChangeTilesDepth(nan, 4);
    for (const RTile& t : room.m_tiles) EXPECT_EQ(t.depth, 4.0f);
    room.DeleteTilesDepth(nan);
    EXPECT_EQ(room.TileCount(), 0);
}

TEST(LegacyTiles, TileAtAPoint) {
    CRoom room;
    // A negative scale covers x - width up to x: its right edge x is outside.
    room.AddTile(At(100, 0, 0, 10, 10, -1.0f));
    EXPECT_EQ(room.FindTileAtDepth(0, 90, 5), 0);
    EXPECT_EQ(room.FindTileAtDepth(0, 100, 5), -1);
    EXPECT_EQ(room.FindTileAtDepth(1, 95, 5), -1);
    // Two tiles with centres at the same distance: the lower index wins;
    // a nearer centre wins over an earlier tile.
    room.AddTile(At(0, 0, 5, 20, 20));
    room.AddTile(At(0, 0, 5, 20, 20));
    room.AddTile(At(4, 4, 5, 8, 8));
    EXPECT_EQ(room.FindTileAtDepth(5, 7, 7), 3);
    EXPECT_EQ(room.FindTileAtDepth(5, 1, 1), 1);
    room.DeleteTilesAtDepth(5, 1, 1);
    EXPECT_EQ(room.TileCount(), 2);
    EXPECT_EQ(room.m_tiles[1].x, 4.0f);
    room.ClearTiles();
    EXPECT_EQ(room.TileCount(), 0);
    EXPECT_EQ(room.m_lastTile, -1);
}

} // namespace
