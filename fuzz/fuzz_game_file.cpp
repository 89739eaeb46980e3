// Arbitrary bytes through both walks over the game data file, the binding of
// a small compiled record (two variables, one built-in function, two
// scripts and an event), the preparation of the scripts the file declares,
// and the room table and order.
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
#include "room/room.h"
#include "room/room_table.h"
#include "world/code_binding.h"
#include "world/game_file.h"
#include "world/game_header.h"

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

const SCompiledFunction code[] = {{"gml_Script_scr_first", Script, nullptr},
                                  {"gml_Script_scr_second", Script, nullptr},
                                  {"gml_GlobalScript", nullptr, Event}};

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
        // Entering each room creates its stored instances and tiles.
        for (int i = 0; i < Room_Number() && i < 64; ++i) {
            CRoom run;
            run.Assign(Room_Data(i), true);
        }
    }
    Room_Free();
    Code_UnbindGameData();
    aborterror = false;
    return 0;
}
