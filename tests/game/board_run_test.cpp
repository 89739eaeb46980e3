// The whole delivery with graphics open (the pile samples its picture
// through a surface): with no player and no enemies, the carriers place all
// 100 pieces, each tinted with the picture's pixel at its place on the grid,
// the board arms its alarm in the first Step that counts 100 and the win
// room follows 180 steps later with the picture as `pic`.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "game_fixture.h"
#include "render/image_decode.h"
#include "world/lifecycle/instance_life.h"

namespace {

// The picture sprites' art, as the manifest lists them.
std::string PictureFile(int sprite) {
    static const std::map<int, std::string> files = {
        {10, "picture_heart"}, {11, "picture_mushroom"}, {12, "picture_landscape"}, {15, "picture_fish"}};
    auto it = files.find(sprite);
    return it == files.end() ? "" : std::string(ZQ_SOURCE_DIR) + "/assets/art/" + it->second + ".png";
}

class Board : public GameRun {};

TEST_F(Board, AHundredPlacementsAndThenTheWinRoom) {
    {
        FixRandomize(7);
        StartIn(2);
        // Nothing but the pile, its carriers and the board.
        for (int object : {OBJ_player, OBJ_game_controller, OBJ_enemy})
            for (CInstance* i : InstancesOf(object)) ZQVTL_instance_destroy(i, nullptr, 0, nullptr);
        Step();
        CInstance* pile = The(OBJ_piece_pile);
        CInstance* goal = The(OBJ_goal);
        ASSERT_NE(pile, nullptr);
        ASSERT_NE(goal, nullptr);
        const int picture = static_cast<int>(Slot(pile, SLOT_my_image));

        int steps = 1;
        while (Alarm(goal, 0) == -1 && steps < 20000) {
            const double placed = Slot(goal, SLOT_num_pieces);
            Step();
            ++steps;
            ASSERT_LE(Slot(goal, SLOT_num_pieces), 100);
            if (Slot(goal, SLOT_num_pieces) == 100) {
                EXPECT_LT(placed, 100) << "armed in the first Step that counts 100";
            }
        }
        ASSERT_EQ(Alarm(goal, 0), 180) << "after " << steps << " steps";
        EXPECT_EQ(Slot(goal, SLOT_num_pieces), 100);

        // Every placed piece carries the picture's pixel at its grid place.
        std::ifstream in(PictureFile(picture), std::ios::binary);
        ASSERT_TRUE(in) << PictureFile(picture);
        const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
        PNGImage image;
        ASSERT_TRUE(image.Decode(png.data(), png.size(), false));
        const int cols = static_cast<int>(Slot(pile, SLOT_num_cols)),
                  rows = static_cast<int>(Slot(pile, SLOT_num_rows));
        ASSERT_EQ(cols, image.Width());
        ASSERT_EQ(rows, image.Height());
        std::vector<CInstance*> pieces = InstancesOf(OBJ_piece);
        ASSERT_EQ(pieces.size(), 100u);
        std::set<int> seen;
        for (CInstance* p : pieces) {
            const double gx = (p->i_x - goal->i_x + cols / 2.0 * 8 - 8) / 8;
            const double gy = (p->i_y - goal->i_y + rows / 2.0 * 8 - 8) / 8;
            const int col = static_cast<int>(gx), row = static_cast<int>(gy);
            ASSERT_EQ(gx, col) << "on the grid";
            ASSERT_EQ(gy, row) << "on the grid";
            ASSERT_TRUE(col >= 0 && col < cols && row >= 0 && row < rows);
            EXPECT_TRUE(seen.insert(row * cols + col).second) << "one piece per place";
            const uint8_t* px = image.Pixels() + (static_cast<size_t>(row) * cols + col) * 4;
            const uint32_t expected = px[0] | (px[1] << 8) | (px[2] << 16);
            EXPECT_EQ(Game_Get(p, VAR_image_blend).ToInt64(), expected) << "at " << col << ", " << row;
        }

        Step(179);
        EXPECT_EQ(Current_Room, 2);
        Step();
        EXPECT_EQ(Current_Room, 3);
        EXPECT_EQ(REAL_RValue(&Game_Global(SLOT_pic)), picture);
    }
}

} // namespace
