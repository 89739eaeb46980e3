// The path and timeline resource built-ins: thin handlers over the path and
// timeline tables. Every edit goes through the path's or timeline's own
// operation, which keeps what depends on the change (a path's polyline, a
// timeline's order of moments) right.
//
// [SECTION] paths
// [SECTION] timelines
// [SECTION] table
#include "core/arguments.h"
#include "core/error.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "library/resource_args.h"
#include "library/resource_builtins.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"
#include "world/objects/timeline.h"

namespace {

using namespace resource_args;

// ---------------------------------------------------------------------------
// [SECTION] paths

CPath* PathArg(const RValue* a) {
    return Path_Data(Int(a, 0));
}

ZQ_RESOURCE_EXISTS(F_PathExists, Path_Exists)

ZQ_RESOURCE_NAME(F_PathGetName, Path_Name)

#define ZQ_PATH_QUERY(name, missing, expr) ZQ_RESOURCE_QUERY(name, CPath, Path_Data, p, missing, expr)

ZQ_PATH_QUERY(F_PathGetLength, -1, p.GetPathLength())
// Position times the path's time, in single precision.
ZQ_PATH_QUERY(F_PathGetTime, -1, Float(a, 1) * p.GetPathTime())
ZQ_PATH_QUERY(F_PathGetKind, -1, p.GetKind())
ZQ_PATH_QUERY(F_PathGetClosed, 0, p.GetClosed() ? 1 : 0)
ZQ_PATH_QUERY(F_PathGetPrecision, -1, p.GetPrecision())
ZQ_PATH_QUERY(F_PathGetNumber, -1, p.GetCount())
ZQ_PATH_QUERY(F_PathGetPointX, -1, p.GetPoint(Int(a, 1)).x)
ZQ_PATH_QUERY(F_PathGetPointY, -1, p.GetPoint(Int(a, 1)).y)
ZQ_PATH_QUERY(F_PathGetPointSpeed, -1, p.GetPoint(Int(a, 1)).speed)
ZQ_PATH_QUERY(F_PathGetX, -1, p.XPosition(Float(a, 1)))
ZQ_PATH_QUERY(F_PathGetY, -1, p.YPosition(Float(a, 1)))
ZQ_PATH_QUERY(F_PathGetSpeed, -1, p.Speed(Float(a, 1)))

// An edit of an existing path; nothing for a missing one.
#define ZQ_PATH_EDIT(name, stmt)                                                                             \
    ZQ_RESOURCE(name) {                                                                                      \
        (void)r;                                                                                             \
        if (CPath* p = PathArg(a)) {                                                                         \
            stmt;                                                                                            \
        }                                                                                                    \
    }

ZQ_PATH_EDIT(F_PathSetKind, p->SetKind(Int(a, 1)))
ZQ_PATH_EDIT(F_PathSetClosed, p->SetClosed(ZQGetBool(a, 1)))
ZQ_PATH_EDIT(F_PathSetPrecision, p->SetPrecision(Int(a, 1)))
ZQ_PATH_EDIT(F_PathAddPoint, p->AddPoint(Float(a, 1), Float(a, 2), Float(a, 3)))
ZQ_PATH_EDIT(F_PathInsertPoint, p->InsertPoint(Int(a, 1), Float(a, 2), Float(a, 3), Float(a, 4)))
ZQ_PATH_EDIT(F_PathChangePoint, p->ChangePoint(Int(a, 1), Float(a, 2), Float(a, 3), Float(a, 4)))
ZQ_PATH_EDIT(F_PathDeletePoint, p->DeletePoint(Int(a, 1)))
ZQ_PATH_EDIT(F_PathClearPoints, p->Clear())
ZQ_PATH_EDIT(F_PathReverse, p->Reverse())
ZQ_PATH_EDIT(F_PathMirror, p->Mirror())
ZQ_PATH_EDIT(F_PathFlip, p->Flip())
ZQ_PATH_EDIT(F_PathRotate, p->Rotate(Float(a, 1)))
ZQ_PATH_EDIT(F_PathReScale, p->Scale(Float(a, 1), Float(a, 2)))
ZQ_PATH_EDIT(F_PathShift, p->Shift(Float(a, 1), Float(a, 2)))

ZQ_RESOURCE(F_PathAdd) {
    (void)a;
    Real(r, Path_Add());
}

ZQ_RESOURCE(F_PathDuplicate) {
    const int index = Int(a, 0);
    if (!Path_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to duplicate non-existing path.", false);
        return;
    }
    Real(r, Path_Duplicate(index));
}

ZQ_RESOURCE(F_PathAssign) {
    (void)r;
    if (!Path_Assign(Int(a, 0), Int(a, 1))) Error_Show_Action("Error assigning a path.", false);
}

ZQ_RESOURCE(F_PathAppend) {
    (void)r;
    CPath* destination = PathArg(a);
    if (destination == nullptr) {
        Error_Show_Action("Appending to non-existing path.", false);
        return;
    }
    const CPath* source = Path_Data(Int(a, 1));
    if (source == nullptr) {
        Error_Show_Action("Appending a non-existing path.", false);
        return;
    }
    destination->Append(source);
}

ZQ_RESOURCE(F_PathDelete) {
    const int index = Int(a, 0);
    if (!Path_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to delete non-existing path.", false);
        return;
    }
    Real(r, Path_Delete(index) ? 1 : 0);
}

// ---------------------------------------------------------------------------
// [SECTION] timelines

CTimeLine* TimeLineArg(const RValue* a) {
    return TimeLine_Data(Int(a, 0));
}

ZQ_RESOURCE_EXISTS(F_TimeLineExists, TimeLine_Exists)

ZQ_RESOURCE_NAME(F_TimeLineGetName, TimeLine_Name)

ZQ_RESOURCE(F_TimeLineAdd) {
    (void)a;
    Real(r, TimeLine_Add());
}

ZQ_RESOURCE(F_TimeLineDelete) {
    const int index = Int(a, 0);
    if (!TimeLine_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to delete non-existing timeline.", false);
        return;
    }
    Real(r, TimeLine_Delete(index) ? 1 : 0);
}

ZQ_RESOURCE(F_TimeLineMomentClear) {
    (void)r;
    if (CTimeLine* line = TimeLineArg(a)) line->DeleteMoment(Int(a, 1));
}

ZQ_RESOURCE(F_TimeLineClearAll) {
    (void)r;
    if (CTimeLine* line = TimeLineArg(a)) line->Clear();
}

// A new moment at the step, or the existing moment there made to run the
// script instead of what it ran (the timeline's MakeMomentScript leaves an
// existing moment as it is, so the moment is replaced here).
ZQ_RESOURCE(F_TimeLineMomentAddScript) {
    (void)r;
    CTimeLine* line = TimeLineArg(a);
    if (line == nullptr) return;
    const int32_t step = Int(a, 1);
    const int script = Int(a, 2);
    if (script < 0) return; // no moment can run it
    if (line->Find(step) >= 0) line->DeleteMoment(step);
    line->AddMomentScript(step, script);
}

ZQ_RESOURCE(F_TimeLineSize) {
    const CTimeLine* line = TimeLineArg(a);
    Real(r, line != nullptr ? line->GetCount() : -1);
}

ZQ_RESOURCE(F_TimeLineMaxMoment) {
    const CTimeLine* line = TimeLineArg(a);
    Real(r, line != nullptr ? line->GetStep(line->GetCount() - 1) : -1);
}

// ---------------------------------------------------------------------------
// [SECTION] table

const LibraryBuiltinRow kPathRows[] = {
    {"path_name", F_PathGetName},
    {"path_exists", F_PathExists},
    {"path_get_name", F_PathGetName},
    {"path_get_length", F_PathGetLength},
    {"path_get_time", F_PathGetTime},
    {"path_get_kind", F_PathGetKind},
    {"path_get_closed", F_PathGetClosed},
    {"path_get_precision", F_PathGetPrecision},
    {"path_get_number", F_PathGetNumber},
    {"path_get_point_x", F_PathGetPointX},
    {"path_get_point_y", F_PathGetPointY},
    {"path_get_point_speed", F_PathGetPointSpeed},
    {"path_get_x", F_PathGetX},
    {"path_get_y", F_PathGetY},
    {"path_get_speed", F_PathGetSpeed},
    {"path_set_kind", F_PathSetKind},
    {"path_set_closed", F_PathSetClosed},
    {"path_set_precision", F_PathSetPrecision},
    {"path_add", F_PathAdd},
    {"path_duplicate", F_PathDuplicate},
    {"path_assign", F_PathAssign},
    {"path_append", F_PathAppend},
    {"path_delete", F_PathDelete},
    {"path_add_point", F_PathAddPoint},
    {"path_insert_point", F_PathInsertPoint},
    {"path_change_point", F_PathChangePoint},
    {"path_delete_point", F_PathDeletePoint},
    {"path_clear_points", F_PathClearPoints},
    {"path_reverse", F_PathReverse},
    {"path_mirror", F_PathMirror},
    {"path_flip", F_PathFlip},
    {"path_rotate", F_PathRotate},
    {"path_rescale", F_PathReScale},
    {"path_shift", F_PathShift},
    {"timeline_name", F_TimeLineGetName},
    {"timeline_exists", F_TimeLineExists},
    {"timeline_get_name", F_TimeLineGetName},
    {"timeline_add", F_TimeLineAdd},
    {"timeline_delete", F_TimeLineDelete},
    {"timeline_moment_clear", F_TimeLineMomentClear},
    {"timeline_clear", F_TimeLineClearAll},
    {"timeline_moment_add_script", F_TimeLineMomentAddScript},
    {"timeline_size", F_TimeLineSize},
    {"timeline_max_moment", F_TimeLineMaxMoment},
};

} // namespace

std::span<const LibraryBuiltinRow> PathResourceBuiltins() {
    return kPathRows;
}
