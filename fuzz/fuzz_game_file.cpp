// Arbitrary bytes through both walks over the game data file, the binding of
// a small compiled record (two variables, one built-in function, two
// scripts and an event), the preparation of the scripts, objects and
// timelines the file declares, the per-event lists, dispatch of events
// (inherited and collision-parent lookups) for every object and timeline,
// and entering every room of the room table with its layers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/code.h"
#include "core/console.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/script.h"
#include "core/variables.h"
#include "core/zq_rvalue.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"

namespace {

SNameIdRecord var_a{"a", -1};
SNameIdRecord var_b{"b", -1};
SNameIdRecord* vars[] = {&var_a, &var_b, nullptr};
SNameIdRecord fn_fuzz{"fuzz_fn", -1};
SNameIdRecord* funcs[] = {&fn_fuzz, nullptr};

ZQRValue& Script(CInstance*, CInstance*, ZQRValue& result, int, ZQRValue**) {
    result = 1.0;
    return result;
}
void Event(CInstance*, CInstance*) {}

const SCompiledFunction code[] = {{"vtl_Script_scr_first", Script, nullptr},
                                  {"vtl_Script_scr_second", Script, nullptr},
                                  {"vtl_Global_setup", nullptr, Event}};

void FuzzRecord(SLLVMVars* v) {
    v->nGlobalVariables = 2;
    v->nInstanceVariables = 2;
    v->nCodeEntries = 3;
    v->ppVars = vars;
    v->ppFuncs = funcs;
    v->pCodeFunctions = code;
}

void FuzzFunction(RValue&, CInstance*, CInstance*, int, RValue*) {}

bool SetUpOnce() {
    Function_Add("fuzz_fn", FuzzFunction, 0, false);
    Code_LoadCompiledRecord(FuzzRecord);
    g_fHeadless = true;
    option_displayerrors = false;
    return true;
}

// Raises a spread of events on each object (collisions with every object)
// and runs every timeline moment; no instances, so handlers get none.
void DispatchEverything() {
    const int objects = g_ObjectNumber < 64 ? g_ObjectNumber : 64;
    for (int i = 0; i < objects; ++i) {
        for (int type = 0; type < 15; ++type) {
            if (type == 4) continue;
            for (int subtype : {0, 1, 2, 10, 64, 200, 255})
                Perform_Event_Object(nullptr, nullptr, i, type, subtype);
        }
        for (int other = 0; other < objects; ++other) Perform_Event_Object(nullptr, nullptr, i, 4, other);
    }
    for (int t = 0; t < TimeLine_Number() && t < 64; ++t) {
        const CTimeLine* line = TimeLine_Data(t);
        for (int m = 0; line != nullptr && m < line->GetCount() && m < 64; ++m)
            Perform_Event_TimeLine(nullptr, nullptr, t, m);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SetUpOnce();
    (void)ready;
    std::vector<uint8_t> image(data, data + size);
    Header_Reset();
    for (SNameIdRecord** r = vars; *r != nullptr; ++r) (*r)->id = -1;
    fn_fuzz.id = -1;
    if (GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size())) {
        Script_Prepare();
        Object_Prepare();
        TimeLine_Prepare();
        // Lists for thousands of types are correct but slow to build; the
        // fuzzer learns more from many small inputs.
        if (g_ObjectNumber <= 512) {
            Create_Object_Lists();
            DispatchEverything();
        }
        // Entering each room creates its stored instances and tiles, copies
        // its layers and ties them to the instances; leaving undoes the ties.
        for (int i = 0; i < Room_Number() && i < 64; ++i) {
            CRoom run;
            run.Assign(Room_Data(i), true);
            CLayerManager::BuildRoomLayerRuntimeData(&run);
            CLayerManager::CleanRoomLayerRuntimeData(&run);
        }
    }
    Room_Free();
    FINALIZE_Object_Lists();
    Object_Init();
    TimeLine_Init();
    Code_UnbindGameData();
    aborterror = false;
    return 0;
}
