// Grids: sizes (refused when negative or too large, never overflowing),
// resizing, rectangles and disks at the edges, grid-to-grid operations on
// overlapping regions, the queries and searches in column order, sorting by
// a column, shuffling with a fixed seed, and the checked and release cell
// access of built-ins and compiled code.
#include <algorithm>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/random.h"
#include "core/run_state.h"
#include "data/ds_grid.h"
#include "ds_fixture.h"

namespace FDS = Function_Data_Structures;

namespace {

class DsGrid : public DsTest {
protected:
    int NewGrid(int w, int h) { return static_cast<int>(Call("ds_grid_create", {w, h}).val); }
    static CDS_Grid& G(int grid) { return *FDS::thegrids.Get(grid); }
    // The grid's real cells, rows top to bottom, as text: "0 1\n2 3\n".
    static std::string Picture(int grid) {
        std::string text;
        for (int y = 0; y < G(grid).Height(); ++y) {
            for (int x = 0; x < G(grid).Width(); ++x) {
                const RValue* cell = G(grid).Cell(x, y);
                if (x != 0) text += ' ';
                text += cell->kind == VALUE_REAL ? std::to_string(static_cast<int>(cell->val)) : "?";
            }
            text += "\n";
        }
        return text;
    }
    // Fills cell (x, y) with 10 * y + x.
    void Number(int grid) {
        for (int y = 0; y < G(grid).Height(); ++y)
            for (int x = 0; x < G(grid).Width(); ++x) Call("ds_grid_set", {grid, x, y, 10 * y + x});
    }
};

} // namespace

TEST_F(DsGrid, CreateResizeAndRefusedSizes) {
    int grid = NewGrid(3, 2);
    EXPECT_TRUE(IsReal(Call("ds_grid_width", {grid}), 3));
    EXPECT_TRUE(IsReal(Call("ds_grid_height", {grid}), 2));
    EXPECT_EQ(Picture(grid), "0 0 0\n0 0 0\n");
    Number(grid);
    Call("ds_grid_resize", {grid, 2, 3});
    EXPECT_EQ(Picture(grid), "0 1\n10 11\n0 0\n");

    // Negative, too large and overflowing sizes never reach the allocator.
    for (auto [w, h] : std::vector<std::pair<int, int>>{{-1, 5}, {5, -1}, {65536, 65536}, {2147483647, 2}}) {
        ClearOutput();
        int refused = NewGrid(w, h);
        EXPECT_EQ(G(refused).Width(), 0);
        EXPECT_EQ(G(refused).Height(), 0);
        EXPECT_EQ(Printed("is refused"), 1) << w << " x " << h;
    }
    Call("ds_grid_resize", {grid, 70000, 70000});
    EXPECT_EQ(G(grid).Width(), 2);
    EXPECT_EQ(m_errors.Count(), 0);
    Call("ds_grid_resize", {grid, 0, 3}); // reported with abort set
    EXPECT_TRUE(m_errors.ShownContains("Error: Can not resize a grid with a dimension of <=0"));
    EXPECT_TRUE(aborterror);
    aborterror = false;
    New_Room = ROOM_NONE;
    EXPECT_EQ(G(grid).Width(), 2);

    int empty = NewGrid(0, 4); // no cells at all
    Call("ds_grid_set_region", {empty, 0, 0, 10, 10, 1});
    Call("ds_grid_shuffle", {empty});
    EXPECT_TRUE(IsReal(Call("ds_grid_get_sum", {empty, 0, 0, 10, 10}), 0));
}

TEST_F(DsGrid, RectanglesAreCutToTheGrid) {
    int grid = NewGrid(4, 4);
    Call("ds_grid_set_region", {grid, 5, 5, -3, 1, 1});
    EXPECT_EQ(Picture(grid), "0 0 0 0\n1 1 1 1\n1 1 1 1\n1 1 1 1\n");
    Call("ds_grid_add_region", {grid, 0, 0, 1, 1, 2});
    Call("ds_grid_multiply_region", {grid, 3, 3, 3, 3, 5});
    EXPECT_EQ(Picture(grid), "2 2 0 0\n3 3 1 1\n1 1 1 1\n1 1 1 5\n");
    Call("ds_grid_set_region", {grid, 9, 9, 20, 20, 7}); // wholly outside
    Call("ds_grid_set_region", {grid, -2147483647 - 1, 0, 2147483647, 0, 8});
    EXPECT_EQ(Picture(grid), "8 8 8 8\n3 3 1 1\n1 1 1 1\n1 1 1 5\n");
    EXPECT_TRUE(IsReal(Call("ds_grid_get_sum", {grid, 0, 0, 3, 3}), 52));
    EXPECT_TRUE(IsReal(Call("ds_grid_get_mean", {grid, 0, 1, 1, 1}), 3));
}

TEST_F(DsGrid, DisksAreCellPositionsWithinTheRadius) {
    int grid = NewGrid(5, 5);
    Call("ds_grid_set_disk", {grid, 2, 2, 1, 1});
    EXPECT_EQ(Picture(grid), "0 0 0 0 0\n0 0 1 0 0\n0 1 1 1 0\n0 0 1 0 0\n0 0 0 0 0\n");
    Call("ds_grid_add_disk", {grid, 2, 2, 1.5, 1});
    EXPECT_EQ(Picture(grid), "0 0 0 0 0\n0 1 2 1 0\n0 2 2 2 0\n0 1 2 1 0\n0 0 0 0 0\n");
    Call("ds_grid_multiply_disk", {grid, 0, 0, 1, 9}); // at the corner: three cells
    EXPECT_TRUE(IsReal(Call("ds_grid_get_disk_sum", {grid, 0, 0, 1.5}), 1));
    EXPECT_TRUE(IsReal(Call("ds_grid_get_disk_mean", {grid, 2, 2, 1}), 2));
    EXPECT_TRUE(IsReal(Call("ds_grid_get_disk_max", {grid, 2, 2, 1.5}), 2));
    EXPECT_TRUE(IsReal(Call("ds_grid_value_disk_exists", {grid, 2, 2, 1, 2}), 1));
    EXPECT_TRUE(IsReal(Call("ds_grid_value_disk_x", {grid, 2, 2, 1.5, 1}), 1));
    EXPECT_TRUE(IsReal(Call("ds_grid_value_disk_y", {grid, 2, 2, 1.5, 1}), 1));
    EXPECT_TRUE(IsReal(Call("ds_grid_value_disk_x", {grid, 2, 2, 1.5, 7}), -1));

    // Centres and radii a conversion could not hold touch nothing.
    std::string before = Picture(grid);
    for (double centre : {1e300, -1e300, double(NAN), double(INFINITY)})
        Call("ds_grid_set_disk", {grid, centre, 2, 1, 5});
    for (double radius : {double(NAN), -1e300, -double(INFINITY)})
        Call("ds_grid_set_disk", {grid, 2, 2, radius, 5});
    EXPECT_EQ(Picture(grid), before);
    Call("ds_grid_set_disk", {grid, -1e9, 2, 2e9, 4}); // a disk that covers everything
    EXPECT_EQ(Picture(grid), "4 4 4 4 4\n4 4 4 4 4\n4 4 4 4 4\n4 4 4 4 4\n4 4 4 4 4\n");
}

TEST_F(DsGrid, QueriesAcrossKindsInColumnOrder) {
    int grid = NewGrid(3, 1);
    Call("ds_grid_set", {grid, 0, 0, 1});
    Call("ds_grid_set", {grid, 1, 0, "2"});
    Call("ds_grid_set", {grid, 2, 0, I32(3)});
    EXPECT_TRUE(IsReal(Call("ds_grid_get_sum", {grid, 0, 0, 2, 0}), 6));
    EXPECT_TRUE(IsReal(Call("ds_grid_get_mean", {grid, 0, 0, 2, 0}), 1)); // only the real counts
    EXPECT_TRUE(IsReal(Call("ds_grid_get_disk_sum", {grid, 1, 0, 1}), 1));

    int extremes = NewGrid(3, 1);
    Call("ds_grid_set", {extremes, 0, 0, 3});
    Call("ds_grid_set", {extremes, 1, 0, 7});
    Call("ds_grid_set", {extremes, 2, 0, 7.00000000001});
    EXPECT_TRUE(IsReal(Call("ds_grid_get_max", {extremes, 0, 0, 2, 0}), 7)); // the first visited
    EXPECT_TRUE(IsReal(Call("ds_grid_get_min", {extremes, 2, 0, 0, 0}), 3));
    EXPECT_TRUE(IsUndefined(Call("ds_grid_get_max", {extremes, 5, 5, 9, 9})));

    int search = NewGrid(3, 3);
    Call("ds_grid_set", {search, 1, 0, "v"});
    Call("ds_grid_set", {search, 0, 2, "v"});
    EXPECT_TRUE(IsReal(Call("ds_grid_value_x", {search, 0, 0, 2, 2, "v"}), 0)); // column order
    EXPECT_TRUE(IsReal(Call("ds_grid_value_y", {search, 0, 0, 2, 2, "v"}), 2));
    EXPECT_TRUE(IsReal(Call("ds_grid_value_exists", {search, 1, 1, 2, 2, "v"}), 0));
    EXPECT_TRUE(IsReal(Call("ds_grid_value_y", {search, 1, 1, 2, 2, "v"}), -1));

    // A mix of strings and numbers is pointed out in debug mode only.
    Call("ds_grid_get_max", {grid, 0, 0, 2, 0});
    EXPECT_EQ(Printed("Warning:: ds_grid_get_max called on grid with mix of strings and numerical values\n"),
              1);
    g_DebugMode = false;
    Call("ds_grid_get_min", {grid, 0, 0, 2, 0});
    EXPECT_EQ(Printed("Warning::"), 1);
}

TEST_F(DsGrid, GridRegionsOverlapAndCut) {
    int grid = NewGrid(4, 4);
    Number(grid);
    Call("ds_grid_set_grid_region", {grid, grid, 0, 0, 2, 2, 1, 1}); // shifted onto itself
    EXPECT_EQ(Picture(grid), "0 1 2 3\n10 0 1 2\n20 10 11 12\n30 20 21 22\n");
    Number(grid);
    Call("ds_grid_set_grid_region", {grid, grid, 1, 1, 3, 3, 0, 0}); // the other way
    EXPECT_EQ(Picture(grid), "11 12 13 3\n21 22 23 13\n31 32 33 23\n30 31 32 33\n");

    int source = NewGrid(4, 2);
    Number(source);
    int target = NewGrid(3, 3);
    Call("ds_grid_set_grid_region", {target, source, 0, 0, 3, 1, -2, 1}); // first two columns dropped
    EXPECT_EQ(Picture(target), "0 0 0\n2 3 0\n12 13 0\n");
    Call("ds_grid_add_grid_region", {target, source, 0, 0, 3, 1, 1, 1}); // cut at the far edge
    Call("ds_grid_multiply_grid_region", {target, source, 2, 0, 2, 0, 0, 1});
    EXPECT_EQ(Picture(target), "0 0 0\n4 3 1\n12 23 11\n");
    Call("ds_grid_set_grid_region", {target, source, 0, 0, 3, 1, -2147483647 - 1, 2147483647});
    Call("ds_grid_set_grid_region", {target, 99, 0, 0, 1, 1, 0, 0});
    EXPECT_EQ(NoSuchStructureReports(), 1);
    EXPECT_EQ(Picture(target), "0 0 0\n4 3 1\n12 23 11\n");
}

TEST_F(DsGrid, SortMovesWholeRows) {
    int grid = NewGrid(3, 4);
    const double keys[] = {5, 1, 9, 1};
    for (int y = 0; y < 4; ++y) {
        Call("ds_grid_set", {grid, 0, y, y});
        Call("ds_grid_set", {grid, 1, y, keys[y]});
        Call("ds_grid_set", {grid, 2, y, 100 + y});
    }
    Call("ds_grid_sort", {grid, 1, false});
    EXPECT_EQ(Picture(grid), "2 9 102\n0 5 100\n1 1 101\n3 1 103\n");
    Call("ds_grid_sort", {grid, 1, true});
    EXPECT_EQ(Picture(grid), "1 1 101\n3 1 103\n0 5 100\n2 9 102\n");
    Call("ds_grid_sort", {grid, 9, true});
    Call("ds_grid_sort", {grid, -1, true});
    EXPECT_EQ(Picture(grid), "1 1 101\n3 1 103\n0 5 100\n2 9 102\n");

    // Reals before strings, strings by their bytes.
    int mixed = NewGrid(1, 4);
    Call("ds_grid_set", {mixed, 0, 0, "b"});
    Call("ds_grid_set", {mixed, 0, 1, 2});
    Call("ds_grid_set", {mixed, 0, 2, "a"});
    Call("ds_grid_set", {mixed, 0, 3, 1});
    Call("ds_grid_sort", {mixed, 0, true});
    EXPECT_TRUE(IsReal(*G(mixed).Cell(0, 0), 1));
    EXPECT_TRUE(IsReal(*G(mixed).Cell(0, 1), 2));
    EXPECT_EQ(TextOf(*G(mixed).Cell(0, 2)), "a");
    EXPECT_EQ(TextOf(*G(mixed).Cell(0, 3)), "b");
}

TEST_F(DsGrid, ShuffleReplaysTheGeneratorsDraws) {
    int grid = NewGrid(3, 2);
    Number(grid);
    InitRandom(99);
    std::vector<int> expected = {0, 1, 2, 10, 11, 12}; // x + 3y order
    for (int k = 0; k < 8 * 6; ++k) {
        int x1 = ZQRandom(3), x2 = ZQRandom(3), y1 = ZQRandom(2), y2 = ZQRandom(2);
        std::swap(expected[x1 + 3 * y1], expected[x2 + 3 * y2]);
    }
    InitRandom(99);
    Call("ds_grid_shuffle", {grid});
    std::vector<int> got;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) got.push_back(static_cast<int>(G(grid).Cell(x, y)->val));
    EXPECT_EQ(got, expected);
}

TEST_F(DsGrid, CheckedAndReleaseCellAccess) {
    int grid = NewGrid(3, 3);
    EXPECT_TRUE(IsUndefined(Call("ds_grid_get", {grid, 10, 0})));
    EXPECT_EQ(Printed("Grid 0, index out of bounds reading [10,0] - size is [3,3]\n"), 1);
    Call("ds_grid_set", {grid, -1, 2, 5});
    EXPECT_EQ(Printed("Grid 0, index out of bounds writing [-1,2] - size is [3,3]\n"), 1);
    Call("ds_grid_add", {grid, 3, 0, 5});
    EXPECT_EQ(Printed("writing [3,0]"), 1);
    EXPECT_TRUE(IsUndefined(Call("ds_grid_set_post", {grid, 0, 3, 5})));
    EXPECT_TRUE(IsReal(Call("ds_grid_set_pre", {grid, 0, 3, 5}), 5));
    EXPECT_TRUE(IsReal(Call("ds_grid_set_post", {grid, 1, 1, 6}), 0));
    EXPECT_TRUE(IsReal(Call("ds_grid_set_post", {grid, 1, 1, 7}), 6));
    Call("ds_grid_multiply", {grid, 1, 1, 2});
    EXPECT_TRUE(IsReal(Call("ds_grid_get", {grid, 1, 1}), 14));

    // The release pair checks as well, without a word.
    Setup_SetupDataStructureFunctions(false);
    ClearOutput();
    Call("ds_grid_set", {grid, 1000000, 0, 5});
    Call("ds_grid_set", {99, 0, 0, 5});
    EXPECT_TRUE(IsUndefined(Call("ds_grid_get", {grid, 0, -7})));
    EXPECT_TRUE(IsUndefined(Call("ds_grid_get", {99, 0, 0})));
    Call("ds_grid_set", {grid, 2, 2, 8});
    EXPECT_TRUE(IsReal(Call("ds_grid_get", {grid, 2, 2}), 8));
    EXPECT_EQ(Output(), "");
    Setup_SetupDataStructureFunctions(true);
    Call("ds_grid_get", {99, 0, 0});
    EXPECT_EQ(NoSuchStructureReports(), 1);
}

TEST_F(DsGrid, CompiledEntriesNeverLeaveTheGrid) {
    int grid = ZQVTL_ds_grid_create(2, 2);
    ZQVTL_ds_grid_set(grid, 1, 1, ZQRValue("x"));
    EXPECT_EQ(TextOf(*ZQVTL_ds_grid_get(grid, 1, 1)), "x");
    ZQVTL_ds_grid_set(grid, 2, 0, ZQRValue(1.0));
    EXPECT_EQ(Printed("writing [2,0]"), 1);
    EXPECT_EQ(ZQVTL_ds_grid_get(grid, 0, -1), G(grid).Cell(0, 0)); // debug: cell (0, 0)
    EXPECT_EQ(Printed("reading [0,-1]"), 1);
    EXPECT_EQ(ZQVTL_ds_grid_get(99, 0, 0), nullptr);
    EXPECT_EQ(NoSuchStructureReports(), 1);
    int empty = ZQVTL_ds_grid_create(0, 0);
    EXPECT_TRUE(IsUndefined(*ZQVTL_ds_grid_get(empty, 0, 0)));

    g_DebugMode = false;
    ClearOutput();
    ZQVTL_ds_grid_set(grid, -5, 0, ZQRValue(1.0));
    ZQVTL_ds_grid_set(99, 0, 0, ZQRValue(1.0));
    EXPECT_TRUE(IsUndefined(*ZQVTL_ds_grid_get(grid, 5, 5)));
    EXPECT_TRUE(IsUndefined(*ZQVTL_ds_grid_get(99, 0, 0)));
    EXPECT_EQ(Output(), "");
}

TEST_F(DsGrid, CopyClearAndStringCells) {
    int grid = NewGrid(2, 2);
    Call("ds_grid_clear", {grid, "ab"});
    Call("ds_grid_add", {grid, 0, 0, "cd"});
    Call("ds_grid_add_region", {grid, 1, 0, 1, 1, 2}); // a number onto a string: the number
    Call("ds_grid_multiply", {grid, 0, 1, 3});         // a string is not multiplied
    EXPECT_EQ(TextOf(*G(grid).Cell(0, 0)), "abcd");
    EXPECT_TRUE(IsReal(*G(grid).Cell(1, 1), 2));
    EXPECT_EQ(TextOf(*G(grid).Cell(0, 1)), "ab");
    Call("ds_grid_copy", {grid, grid});
    EXPECT_EQ(TextOf(*G(grid).Cell(0, 0)), "abcd");
    int copy = NewGrid(5, 1);
    Call("ds_grid_copy", {copy, grid});
    EXPECT_EQ(G(copy).Width(), 2);
    EXPECT_EQ(TextOf(*G(copy).Cell(0, 0)), "abcd");
    Call("ds_grid_copy", {copy, 42});
    EXPECT_EQ(NoSuchStructureReports(), 1);
    Call("ds_grid_destroy", {grid});
    EXPECT_EQ(TextOf(*G(copy).Cell(0, 1)), "ab");
}
