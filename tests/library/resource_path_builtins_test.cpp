// The path and timeline resource built-ins through the function table: a
// path built point by point and queried, edits of missing paths, appends
// and their reports; timelines made, filled with script moments, measured
// and cleared.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "core/error.h"
#include "core/run_state.h"
#include "error_capture.h"
#include "resource_fixture.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"
#include "world/objects/timeline.h"

namespace {

class PathBuiltins : public ResourceFixture<::testing::Test> {
protected:
    void TearDown() override {
        Path_Init();
        TimeLine_Init();
        aborterror = false;
        New_Room = ROOM_NONE;
    }
};

TEST_F(PathBuiltins, PathBuiltPointByPoint) {
    const int p = static_cast<int>(Num("path_add"));
    ASSERT_TRUE(Path_Exists(p));
    const ZQRValue id(static_cast<double>(p));
    EXPECT_EQ(Text(CallBuiltin("path_get_name", {id})), Path_Name(p));
    EXPECT_EQ(Num("path_get_number", {id}), 0);
    EXPECT_EQ(CallBuiltin("path_set_closed", {id, ZQRValue(0.0)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Num("path_get_closed", {id}), 0);

    for (const auto& pt : {std::vector<double>{0, 0, 100}, {100, 0, 50}, {100, 100, 100}})
        EXPECT_EQ(
            CallBuiltin("path_add_point", {id, ZQRValue(pt[0]), ZQRValue(pt[1]), ZQRValue(pt[2])}).Kind(),
            VALUE_UNDEFINED);
    EXPECT_EQ(Num("path_get_number", {id}), 3);
    EXPECT_EQ(Num("path_get_kind", {id}), 0);
    EXPECT_FLOAT_EQ(Num("path_get_length", {id}), 200.0f);
    EXPECT_EQ(Num("path_get_point_x", {id, ZQRValue(1.0)}), 100);
    EXPECT_EQ(Num("path_get_point_speed", {id, ZQRValue(1.0)}), 50);
    // A point outside the path reads as (0, 0) with speed 1.
    EXPECT_EQ(Num("path_get_point_x", {id, ZQRValue(99.0)}), 0);
    EXPECT_EQ(Num("path_get_point_speed", {id, ZQRValue(99.0)}), 1);
    EXPECT_FLOAT_EQ(Num("path_get_x", {id, ZQRValue(0.5)}), 100.0f);
    EXPECT_FLOAT_EQ(Num("path_get_y", {id, ZQRValue(0.75)}), 50.0f);
    const double time = Path_Data(p)->GetPathTime();
    EXPECT_FLOAT_EQ(Num("path_get_time", {id, ZQRValue(0.5)}), static_cast<float>(time * 0.5));

    CallBuiltin("path_insert_point", {id, ZQRValue(0.0), ZQRValue(-10.0), ZQRValue(0.0), ZQRValue(100.0)});
    CallBuiltin("path_change_point", {id, ZQRValue(3.0), ZQRValue(100.0), ZQRValue(200.0), ZQRValue(100.0)});
    CallBuiltin("path_delete_point", {id, ZQRValue(1.0)});
    EXPECT_EQ(Num("path_get_number", {id}), 3);
    EXPECT_EQ(Num("path_get_point_x", {id, ZQRValue(0.0)}), -10);
    EXPECT_EQ(Num("path_get_point_y", {id, ZQRValue(2.0)}), 200);
    CallBuiltin("path_shift", {id, ZQRValue(10.0), ZQRValue(0.0)});
    EXPECT_EQ(Num("path_get_point_x", {id, ZQRValue(0.0)}), 0);
    CallBuiltin("path_set_precision", {id, ZQRValue(2.0)});
    CallBuiltin("path_set_kind", {id, ZQRValue(1.0)});
    EXPECT_EQ(Num("path_get_precision", {id}), 2);
    EXPECT_EQ(Num("path_get_kind", {id}), 1);
    CallBuiltin("path_clear_points", {id});
    EXPECT_EQ(Num("path_get_number", {id}), 0);
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(PathBuiltins, MissingPathsAnswerFixedValuesAndReport) {
    const ZQRValue missing(7.0);
    struct Case {
        const char* name;
        double expected;
    };
    for (const Case& c :
         {Case{"path_exists", 0}, Case{"path_get_length", -1}, Case{"path_get_kind", -1},
          Case{"path_get_closed", 0}, Case{"path_get_precision", -1}, Case{"path_get_number", -1}})
        EXPECT_EQ(Num(c.name, {missing}), c.expected) << c.name;
    EXPECT_EQ(Num("path_get_time", {missing, ZQRValue(0.5)}), -1);
    EXPECT_EQ(Num("path_get_point_x", {missing, ZQRValue(0.0)}), -1);
    EXPECT_EQ(Num("path_get_speed", {missing, ZQRValue(0.0)}), -1);
    EXPECT_EQ(Text(CallBuiltin("path_name", {missing})), "<undefined>");
    // Edits of a missing path do nothing and report nothing.
    EXPECT_EQ(CallBuiltin("path_add_point", {missing, ZQRValue(1.0), ZQRValue(1.0), ZQRValue(1.0)}).Kind(),
              VALUE_UNDEFINED);
    CallBuiltin("path_reverse", {missing});
    EXPECT_EQ(errors.Shown().size(), 0u);

    EXPECT_EQ(Num("path_duplicate", {missing}), 0) << "0, not -1";
    EXPECT_EQ(TakeError(), "Trying to duplicate non-existing path.");
    EXPECT_EQ(Num("path_delete", {missing}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing path.");
}

TEST_F(PathBuiltins, AppendAssignDuplicateDelete) {
    const int a = Path_Add();
    const int b = Path_Add();
    Path_Data(a)->AddPoint(1, 2, 100);
    Path_Data(b)->AddPoint(3, 4, 100);
    Path_Data(b)->AddPoint(5, 6, 100);
    const ZQRValue ia(static_cast<double>(a)), ib(static_cast<double>(b)), missing(42.0);

    CallBuiltin("path_append", {ia, missing});
    EXPECT_EQ(TakeError(), "Appending a non-existing path.");
    EXPECT_EQ(Path_Data(a)->GetCount(), 1) << "left unchanged";
    CallBuiltin("path_append", {missing, ia});
    EXPECT_EQ(TakeError(), "Appending to non-existing path.");
    CallBuiltin("path_append", {ia, ib});
    EXPECT_EQ(Path_Data(a)->GetCount(), 3);
    EXPECT_EQ(Path_Data(a)->GetPoint(2).x, 5);

    const int copy = static_cast<int>(Num("path_duplicate", {ib}));
    ASSERT_TRUE(Path_Exists(copy));
    EXPECT_EQ(Path_Data(copy)->GetCount(), 2);
    CallBuiltin("path_assign", {ZQRValue(static_cast<double>(copy)), ia});
    EXPECT_EQ(Path_Data(copy)->GetCount(), 3);
    CallBuiltin("path_assign", {ia, missing});
    EXPECT_EQ(TakeError(), "Error assigning a path.");
    EXPECT_EQ(Num("path_delete", {ib}), 1);
    EXPECT_FALSE(Path_Exists(b));
}

TEST_F(PathBuiltins, IndicesOutsideThePathChangeNothing) {
    const int p = Path_Add();
    Path_Data(p)->AddPoint(1, 1, 100);
    const ZQRValue id(static_cast<double>(p));
    for (double at : {-5.0, 7.0, 1e12, -1e12}) {
        CallBuiltin("path_insert_point", {id, ZQRValue(at), ZQRValue(9.0), ZQRValue(9.0), ZQRValue(100.0)});
        CallBuiltin("path_change_point", {id, ZQRValue(at), ZQRValue(9.0), ZQRValue(9.0), ZQRValue(100.0)});
        CallBuiltin("path_delete_point", {id, ZQRValue(at)});
    }
    EXPECT_EQ(Num("path_get_number", {id}), 1);
    EXPECT_EQ(Num("path_get_point_x", {id, ZQRValue(0.0)}), 1);
    CallBuiltin("path_set_precision", {id, ZQRValue(100.0)});
    EXPECT_EQ(Num("path_get_precision", {id}), 8) << "clamped";
    EXPECT_EQ(Num("path_get_x", {id, ZQRValue(std::nan(""))}), 1);
    CallBuiltin("path_append", {id, id});
    EXPECT_EQ(Num("path_get_number", {id}), 2) << "a path may append itself";
}

// ---- timelines

TEST_F(PathBuiltins, TimelineMomentsByScript) {
    const int t = static_cast<int>(Num("timeline_add"));
    const ZQRValue id(static_cast<double>(t));
    EXPECT_EQ(Num("timeline_exists", {id}), 1);
    EXPECT_EQ(Text(CallBuiltin("timeline_get_name", {id})), TimeLine_Name(t));
    EXPECT_EQ(Num("timeline_size", {id}), 0);
    EXPECT_EQ(Num("timeline_max_moment", {id}), 0) << "an empty timeline";

    CallBuiltin("timeline_moment_add_script", {id, ZQRValue(30.0), ZQRValue(2.0)});
    CallBuiltin("timeline_moment_add_script", {id, ZQRValue(5.0), ZQRValue(1.0)});
    EXPECT_EQ(Num("timeline_size", {id}), 2);
    EXPECT_EQ(Num("timeline_max_moment", {id}), 30);
    const CTimeLine* line = TimeLine_Data(t);
    EXPECT_EQ(line->GetStep(0), 5) << "kept in step order";

    // The same step again: still one moment there, now running the second script.
    CallBuiltin("timeline_moment_add_script", {id, ZQRValue(5.0), ZQRValue(4.0)});
    EXPECT_EQ(line->GetCount(), 2);
    ASSERT_EQ(line->Find(5), 0);
    EXPECT_TRUE(TimeLine_EntryIsScript(line->GetEvent(0)));
    EXPECT_EQ(line->GetEvent(0) >> 1, 4u);

    CallBuiltin("timeline_moment_clear", {id, ZQRValue(30.0)});
    EXPECT_EQ(Num("timeline_size", {id}), 1);
    CallBuiltin("timeline_clear", {id});
    EXPECT_EQ(Num("timeline_size", {id}), 0);
    EXPECT_EQ(Num("timeline_delete", {id}), 1);
    EXPECT_EQ(Num("timeline_exists", {id}), 0);
    EXPECT_EQ(errors.Shown().size(), 0u);

    const ZQRValue missing(99.0);
    EXPECT_EQ(Num("timeline_size", {missing}), -1);
    EXPECT_EQ(Num("timeline_max_moment", {missing}), -1);
    EXPECT_EQ(Text(CallBuiltin("timeline_name", {missing})), "<undefined>");
    EXPECT_EQ(CallBuiltin("timeline_moment_add_script", {missing, ZQRValue(1.0), ZQRValue(1.0)}).Kind(),
              VALUE_UNDEFINED);
    EXPECT_EQ(Num("timeline_delete", {missing}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing timeline.");
}

} // namespace
