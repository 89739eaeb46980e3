// The sound, font and script resource built-ins. Sound rows answer for the
// audio system's sounds or for the legacy sound assets, whichever the game
// uses (g_UseNewAudio, tested on every call); fonts are the font table's; and
// script_execute calls a script chosen at run time with up to 15 arguments.
//
// [SECTION] sounds
// [SECTION] fonts
// [SECTION] scripts
// [SECTION] table
#include <algorithm>

#include "audio/legacy_sound.h"
#include "audio/sound_assets.h"
#include "core/arguments.h"
#include "core/builtin_services.h"
#include "core/collector.h"
#include "core/error.h"
#include "core/js_convert.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "library/resource_args.h"
#include "library/resource_builtins.h"
#include "library/resource_services.h"
#include "sprites/font.h"
#include "sprites/font_table.h"
#include "world/datafile/options.h"
#include "world/instances/sprite_services.h"

namespace {

using namespace resource_args;

const char* Text(const RValue* a, int i) {
    const char* s = ZQGetString(a, i);
    return s != nullptr ? s : "";
}

// ---------------------------------------------------------------------------
// [SECTION] sounds
//
// The legacy assets on this platform: the table has no loader (its chunk
// loaders stand in) and no playback service, so no legacy sound ever exists.
// Adding one fails (-1) and the rows that act on an existing one find none.

const CSound* LegacySound(const RValue* a) {
    return Sound_Data(Int(a, 0));
}

ZQ_RESOURCE(F_SoundExists) {
    const int index = Int(a, 0);
    Real(r, (g_UseNewAudio ? Audio_Exists(index) : Sound_Data(index) != nullptr) ? 1 : 0);
}

ZQ_RESOURCE(F_SoundGetName) {
    const int index = Int(a, 0);
    if (g_UseNewAudio) {
        ZQCreateString(&r, Audio_GetName(index));
        return;
    }
    const CSound* sound = Sound_Data(index);
    ZQCreateString(&r, sound != nullptr && sound->fileName ? sound->fileName->c_str() : "<undefined>");
}

// The legacy record keeps no kind or preload flag of its own: an existing
// sound is a normal (kind 0) sound that is loaded.
ZQ_RESOURCE(F_SoundGetKind) {
    Real(r, LegacySound(a) != nullptr ? 0 : -1);
}

ZQ_RESOURCE(F_SoundGetPreload) {
    Real(r, LegacySound(a) != nullptr ? 1 : 0);
}

// A legacy sound keeps no data of its own apart from its playback slot, so
// there is nothing to discard or restore; the sound stays as it is.
ZQ_RESOURCE(F_SoundDiscard) {
    (void)r;
    (void)a;
}

ZQ_RESOURCE(F_SoundRestore) {
    (void)r;
    (void)a;
}

ZQ_RESOURCE(F_SoundAdd) {
    (void)a;
    if (g_UseNewAudio) return;
    Real(r, -1);
}

ZQ_RESOURCE(F_SoundReplace) {
    (void)a;
    if (g_UseNewAudio) return;
    Real(r, 0);
}

ZQ_RESOURCE(F_SoundDelete) {
    if (g_UseNewAudio) return;
    Real(r, 0);
    if (LegacySound(a) == nullptr) Error_Show_Action("Trying to delete non-existing sound.", false);
}

// ---------------------------------------------------------------------------
// [SECTION] fonts

const CFontVT* FontArg(const RValue* a) {
    return Font_Data(Int(a, 0));
}

ZQ_RESOURCE_EXISTS(F_FontExists, Font_Exists)

ZQ_RESOURCE_NAME(F_FontGetName, Font_Name)

ZQ_RESOURCE(F_FontGetFontName) {
    const CFontVT* font = FontArg(a);
    ZQCreateString(&r, font != nullptr ? font->GetName() : "");
}

ZQ_RESOURCE(F_FontGetSize) {
    const CFontVT* font = FontArg(a);
    Real(r, font != nullptr ? font->GetSize() : 0);
}

ZQ_RESOURCE(F_FontGetBold) {
    const CFontVT* font = FontArg(a);
    Real(r, font != nullptr && font->GetBold() ? 1 : 0);
}

ZQ_RESOURCE(F_FontGetItalic) {
    const CFontVT* font = FontArg(a);
    Real(r, font != nullptr && font->GetItalic() ? 1 : 0);
}

ZQ_RESOURCE(F_FontGetFirst) {
    const CFontVT* font = FontArg(a);
    Real(r, font != nullptr ? font->GetFirst() : -1);
}

ZQ_RESOURCE(F_FontGetLast) {
    const CFontVT* font = FontArg(a);
    Real(r, font != nullptr ? font->GetLast() : -1);
}

ZQ_RESOURCE(F_FontAddEnableAa) {
    (void)r;
    g_FontAntialias = ZQGetBool(a, 0);
}

ZQ_RESOURCE(F_FontAddGetEnableAa) {
    (void)a;
    Real(r, g_FontAntialias ? 1 : 0);
}

ZQ_RESOURCE(F_FontAdd) {
    Real(r, Font_Add(Text(a, 0), Int(a, 1), ZQGetBool(a, 2), ZQGetBool(a, 3), Int(a, 4), Int(a, 5)));
}

ZQ_RESOURCE(F_FontAddSprite) {
    const int sprite = Int(a, 0);
    if (!Sprite_Exists(sprite)) {
        Real(r, -1);
        Error_Show_Action("Trying to create font from non-existing sprite.", false);
        return;
    }
    Real(r, Font_AddSprite(sprite, Int(a, 1), ZQGetBool(a, 2), Int(a, 3)));
}

ZQ_RESOURCE(F_FontAddSpriteExt) {
    const int sprite = Int(a, 0);
    if (!Sprite_Exists(sprite)) {
        Real(r, -1);
        Error_Show_Action("Trying to create font from non-existing sprite.", false);
        return;
    }
    Real(r, Font_AddSpriteExt(sprite, Text(a, 1), ZQGetBool(a, 2), Int(a, 3)));
}

// A missing font is reported and the replace still runs (it refuses an index
// outside the table with 0); a missing sprite ends the call with 0.
bool ReplaceChecks(RValue& r, const RValue* a) {
    if (!Font_Exists(Int(a, 0))) Error_Show_Action("Trying to replace non-existing font.", false);
    if (!Sprite_Exists(Int(a, 1))) {
        Real(r, 0);
        Error_Show_Action("Trying to replace font from non-existing sprite.", false);
        return false;
    }
    return true;
}

ZQ_RESOURCE(F_FontReplaceSprite) {
    if (!ReplaceChecks(r, a)) return;
    Real(r, Font_ReplaceSprite(Int(a, 0), Int(a, 1), Int(a, 2), ZQGetBool(a, 3), Int(a, 4)) ? 1 : 0);
}

ZQ_RESOURCE(F_FontReplaceSpriteExt) {
    if (!ReplaceChecks(r, a)) return;
    Real(r, Font_ReplaceSpriteExt(Int(a, 0), Int(a, 1), Text(a, 2), ZQGetBool(a, 3), Int(a, 4)) ? 1 : 0);
}

ZQ_RESOURCE(F_FontDelete) {
    const int index = Int(a, 0);
    if (!Font_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to delete non-existing font.", false);
        return;
    }
    Real(r, Font_Delete(index) ? 1 : 0);
}

ZQ_RESOURCE(F_FontSetDynamicTextureSize) {
    (void)r;
    g_nFontTextureSize = Int(a, 0);
}

ZQ_RESOURCE(F_FontGetDynamicTextureSize) {
    (void)a;
    Real(r, g_nFontTextureSize);
}

// ---------------------------------------------------------------------------
// [SECTION] scripts

ZQ_RESOURCE_EXISTS(F_ScriptExists, Script_Exists)

ZQ_RESOURCE_NAME(F_ScriptGetName, Script_Name)

ZQ_RESOURCE(F_ScriptGetText) {
    const CScript* script = Script_Data(Int(a, 0));
    ZQCreateString(&r, script != nullptr ? script->GetText() : "");
}

// The block a called script receives: its arguments, at most 15 (the
// block's first slot is the script index's place).
constexpr int kScriptArgumentBlock = 16;

// script_execute(target, arguments...): a callable object (with the script
// object runtime on) is called directly; otherwise the target is a script
// index. A call without even the target names no script.
void F_ScriptExecute(RValue& r, CInstance* self, CInstance* other, int argc, Args a) {
    if (argc < 1) {
        Error_Show_Action("Trying to execute non-existing script.", false);
        return;
    }
    if (g_fJSGarbageCollection && a[0].Kind() == VALUE_OBJECT && a[0].pObj != nullptr &&
        JS_IsCallable_Object(a[0].pObj)) {
        Call_RValue(self, r, a[0], argc - 1, a + 1);
        return;
    }
    const int script = Int(a, 0);
    if (!Script_Exists(script)) {
        Error_Show_Action("Trying to execute non-existing script.", false);
        return;
    }
    RValue block[kScriptArgumentBlock];
    for (RValue& v : block) v = RValue_Undefined();
    const int count = std::min(argc, kScriptArgumentBlock) - 1;
    for (int i = 0; i < count; ++i) COPY_RValue(&block[i], &a[i + 1]);
    DynamicArrayOfRValue args{count, block};

    RValue local = RValue_Undefined();
    // Only an error this call raises is reported: a flag an earlier error
    // left set would otherwise be reported again by every later call.
    Code_Error_Occured = false;
    const int savedCount = g_ArgumentCount;
    g_ArgumentCount = count;
    // The call releases every value of the block, whether or not it ran.
    Script_Perform(script, self, other, count, &local, &args);
    g_ArgumentCount = savedCount;
    for (RValue& v : block) FREE_RValue(&v);

    if (Code_Error_Occured)
        Error_Show_Action(Code_Error_String != nullptr && Code_Error_String->Get() != nullptr
                              ? Code_Error_String->Get()
                              : "",
                          false);
    FREE_RValue(&r);
    COPY_RValue(&r, &local);
    FREE_RValue(&local);
}

// ---------------------------------------------------------------------------
// [SECTION] table

const LibraryBuiltinRow kSoundRows[] = {
    {"sound_name", F_SoundGetName},
    {"sound_exists", F_SoundExists},
    {"sound_get_name", F_SoundGetName},
    {"sound_get_kind", F_SoundGetKind},
    {"sound_get_preload", F_SoundGetPreload},
    {"sound_discard", F_SoundDiscard},
    {"sound_restore", F_SoundRestore},
    {"sound_add", F_SoundAdd},
    {"sound_replace", F_SoundReplace},
    {"sound_delete", F_SoundDelete},
    {"audio_delete", F_SoundDelete},
    {"font_name", F_FontGetName},
    {"font_exists", F_FontExists},
    {"font_get_name", F_FontGetName},
    {"font_get_fontname", F_FontGetFontName},
    {"font_get_size", F_FontGetSize},
    {"font_get_bold", F_FontGetBold},
    {"font_get_italic", F_FontGetItalic},
    {"font_get_first", F_FontGetFirst},
    {"font_get_last", F_FontGetLast},
    {"font_add_enable_aa", F_FontAddEnableAa},
    {"font_add_get_enable_aa", F_FontAddGetEnableAa},
    {"font_add", F_FontAdd},
    {"font_add_sprite", F_FontAddSprite},
    {"font_add_sprite_ext", F_FontAddSpriteExt},
    {"font_replace_sprite", F_FontReplaceSprite},
    {"font_replace_sprite_ext", F_FontReplaceSpriteExt},
    {"font_delete", F_FontDelete},
    {"font_set_dynamic_texture_size", F_FontSetDynamicTextureSize},
    {"font_get_dynamic_texture_size", F_FontGetDynamicTextureSize},
    {"script_name", F_ScriptGetName},
    {"script_exists", F_ScriptExists},
    {"script_get_name", F_ScriptGetName},
    {"script_get_text", F_ScriptGetText},
    {"script_execute", F_ScriptExecute},
};

} // namespace

std::span<const LibraryBuiltinRow> SoundResourceBuiltins() {
    return kSoundRows;
}
