// Game options: defaults, the two layouts of the "OPTN" chunk and the named
// constants with their "@@" settings.
//
// The chunk is read whole into a local record first and stored only once all
// of it has been checked, so a damaged chunk changes nothing.
#include "world/datafile/options.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/game_image.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/text_util.h"
#include "core/timing.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_header.h"

bool option_fullscreen = false;
bool option_interpolate = false;
bool g_UseNewAudio = false;
bool option_noborder = false;
bool option_showcursor = true;
int32_t option_scale = 100;
bool option_sizeable = false;
bool option_stayontop = false;
uint32_t option_windowcolor = 0xFFFFFF;
bool option_changeresolution = false;
int32_t option_colordepth = 0;
int32_t option_resolution = 0;
int32_t option_frequency = 0;
bool option_nobuttons = false;
bool option_freeze = false;
int32_t option_sync_vertex = 0;
bool option_screenkey = true;
bool option_helpkey = true;
bool option_quitkey = true;
bool option_savekey = true;
bool option_screenshotkey = true;
bool option_closeesc = true;
int32_t option_priority = 0;
bool option_showprogress = true;
bool option_loadtransparent = false;
int32_t option_loadalpha = 255;
bool option_scaleprogress = true;
uint32_t option_WADloadimage = 0;
bool option_writeerrors = false;
bool option_variableerrors = false;
bool option_CreationEventOrder = false;
bool option_use_front_touch = false;
bool option_use_rear_touch = false;
bool option_use_fast_collision = false;
bool option_fast_collision_compatibility = false;

int32_t option_const_numb = 0;
char** option_const_name = nullptr;
char** option_const_val = nullptr;

uint32_t Draw_Color = 0xFF000000;
uint32_t g_InitialDrawColor = 0xFFFFFFFF;
int32_t g_GameVersionMajor = 0;
int32_t g_GameVersionMinor = 0;

bool g_fCommandLineNoErrors = false;

namespace {

constexpr int32_t kNewLayoutVersion = 2;
// Format version from which the creation-order setting is read.
constexpr int kCreationOrderWadVersion = 5;

// Everything one chunk stores, gathered before any of it is.
struct OptionRecord {
    bool fullscreen, interpolate, newAudio, noborder, showcursor, sizeable, stayontop;
    bool changeresolution, nobuttons, screenkey, helpkey, quitkey, savekey, screenshotkey, closeesc;
    bool freeze, showprogress, loadtransparent, scaleprogress, writeerrors, aborterrors, variableerrors;
    bool creationOrder, frontTouch, rearTouch, fastCollision, fastCollisionCompatibility;
    int32_t scale, colordepth, resolution, frequency, syncVertex, priority, loadalpha;
    uint32_t windowcolor;
    uint32_t loadImage;
    // Constants as found: texts in the file image.
    std::vector<const char*> names, values;
};

// The settings that a chunk may leave untouched start from their current values.
OptionRecord CurrentSettings() {
    OptionRecord r{};
    r.creationOrder = option_CreationEventOrder;
    r.frontTouch = option_use_front_touch;
    r.rearTouch = option_use_rear_touch;
    r.fastCollision = option_use_fast_collision;
    r.fastCollisionCompatibility = option_fast_collision_compatibility;
    return r;
}

bool Bit(uint32_t flags, int bit) {
    return ((flags >> bit) & 1u) != 0;
}

// The load image is kept as its offset in the file, 0 for none, as every
// stored offset; any other must lie inside the file.
uint32_t LoadImage(const ImageReader& chunk, uint32_t offset) {
    if (offset != 0 && offset >= chunk.ImageLength())
        GameData_Fail(chunk.Chunk(), "load image offset %u at offset %zu lies outside the file", offset,
                      chunk.Position() - 4);
    return offset;
}

void ReadNewLayout(ImageReader& chunk, OptionRecord& r) {
    uint32_t flags = chunk.U32();
    r.fullscreen = Bit(flags, 0);
    r.interpolate = Bit(flags, 1);
    r.newAudio = Bit(flags, 2);
    r.noborder = Bit(flags, 3);
    r.showcursor = Bit(flags, 4);
    r.sizeable = Bit(flags, 5);
    r.stayontop = Bit(flags, 6);
    r.changeresolution = Bit(flags, 7);
    r.nobuttons = Bit(flags, 8);
    r.screenkey = Bit(flags, 9);
    r.helpkey = Bit(flags, 10);
    r.quitkey = Bit(flags, 11);
    r.savekey = Bit(flags, 12);
    r.screenshotkey = Bit(flags, 13);
    r.closeesc = Bit(flags, 14);
    r.freeze = Bit(flags, 15);
    r.showprogress = Bit(flags, 16);
    r.loadtransparent = Bit(flags, 17);
    r.scaleprogress = Bit(flags, 18);
    r.writeerrors = Bit(flags, 20);
    r.aborterrors = Bit(flags, 21);
    r.variableerrors = Bit(flags, 22);
    if (g_wadVersion >= kCreationOrderWadVersion) r.creationOrder = Bit(flags, 23);
    r.frontTouch = Bit(flags, 24);
    r.rearTouch = Bit(flags, 25);
    r.fastCollision = Bit(flags, 26);
    r.fastCollisionCompatibility = Bit(flags, 27);
    chunk.Skip(4);
    r.scale = chunk.S32();
    r.windowcolor = chunk.U32();
    r.colordepth = chunk.S32();
    r.resolution = chunk.S32();
    r.frequency = chunk.S32();
    r.syncVertex = chunk.S32();
    r.priority = chunk.S32();
    chunk.Skip(8);
    r.loadImage = LoadImage(chunk, chunk.U32());
    r.loadalpha = chunk.U32() != 0 ? 1 : 0;
}

void ReadOldLayout(ImageReader& chunk, OptionRecord& r) {
    auto flag = [&chunk] { return chunk.U32() != 0; };
    r.fullscreen = flag();
    r.interpolate = flag();
    r.newAudio = flag();
    r.noborder = flag();
    r.showcursor = flag();
    r.scale = chunk.S32();
    r.sizeable = flag();
    r.stayontop = flag();
    r.windowcolor = chunk.U32();
    r.changeresolution = flag();
    r.colordepth = chunk.S32();
    r.resolution = chunk.S32();
    r.frequency = chunk.S32();
    r.nobuttons = flag();
    r.syncVertex = chunk.S32();
    r.screenkey = flag();
    r.helpkey = flag();
    r.quitkey = flag();
    r.savekey = flag();
    r.screenshotkey = flag();
    r.closeesc = flag();
    r.priority = chunk.S32();
    r.freeze = flag();
    r.showprogress = flag();
    chunk.Skip(8);
    r.loadImage = LoadImage(chunk, chunk.U32());
    r.loadtransparent = flag();
    r.loadalpha = chunk.U32() != 0 ? 1 : 0;
    r.scaleprogress = flag();
    chunk.Skip(4);
    r.writeerrors = flag();
    r.aborterrors = flag();
    r.variableerrors = flag();
    bool creationOrder = flag();
    if (g_wadVersion >= kCreationOrderWadVersion) r.creationOrder = creationOrder;
    // The old layout knows no touch input.
    r.frontTouch = r.rearTouch = false;
}

// The count and its {name offset, value offset} pairs. A count of 0 or less is
// an empty list; a larger one must fit in the chunk. Every constant needs both
// texts: a constant without a name cannot be registered, and one without a
// value has nothing to register; nor can a constant with an empty name.
void ReadConstants(ImageReader& chunk, OptionRecord& r) {
    int32_t count = chunk.S32();
    if (count <= 0) return;
    if (static_cast<size_t>(count) > chunk.Remaining() / 8)
        GameData_Fail(chunk.Chunk(), "%d constants do not fit in the remaining %zu bytes", count,
                      chunk.Remaining());
    r.names.reserve(static_cast<size_t>(count));
    r.values.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const size_t at = chunk.Position();
        const char* name = chunk.StringAt();
        const char* value = chunk.StringAt();
        if (name == nullptr || value == nullptr)
            GameData_Fail(chunk.Chunk(), "constant %d at offset %zu has no %s text", i, at,
                          name == nullptr ? "name" : "value");
        if (name[0] == '\0')
            GameData_Fail(chunk.Chunk(), "constant %d at offset %zu has an empty name", i, at);
        r.names.push_back(name);
        r.values.push_back(value);
    }
}

void FreeConstants() {
    for (int32_t i = 0; i < option_const_numb; ++i) {
        if (option_const_name != nullptr) ZQ_Free(option_const_name[i]);
        if (option_const_val != nullptr) ZQ_Free(option_const_val[i]);
    }
    ZQ_Free(option_const_name);
    ZQ_Free(option_const_val);
    option_const_name = option_const_val = nullptr;
    option_const_numb = 0;
}

bool IsSpecialName(const char* name) {
    return std::strcmp(name, "@@SleepMargin") == 0 || std::strcmp(name, "@@DrawColour") == 0;
}

// Copies of the ordinary constants, all made before any is stored.
struct ConstantCopies {
    int32_t count = 0;
    char** names = nullptr;
    char** values = nullptr;
};

ConstantCopies CopyConstants(const OptionRecord& r, const char* chunkTag) {
    ConstantCopies c;
    size_t ordinary = 0;
    for (const char* name : r.names) ordinary += IsSpecialName(name) ? 0 : 1;
    if (ordinary == 0) return c;
    c.names = ZQ_AllocArray<char*>(ordinary);
    c.values = ZQ_AllocArray<char*>(ordinary);
    bool ok = c.names != nullptr && c.values != nullptr;
    for (size_t i = 0; ok && i < r.names.size(); ++i) {
        if (IsSpecialName(r.names[i])) continue;
        c.names[c.count] = ZQStrDup(r.names[i]);
        c.values[c.count] = ZQStrDup(r.values[i]);
        ++c.count;
        ok = c.names[c.count - 1] != nullptr && c.values[c.count - 1] != nullptr;
    }
    if (!ok) {
        for (int32_t i = 0; i < c.count; ++i) {
            ZQ_Free(c.names[i]);
            ZQ_Free(c.values[i]);
        }
        ZQ_Free(c.names);
        ZQ_Free(c.values);
        GameData_Fail(chunkTag, "no memory for %zu constants", ordinary);
    }
    return c;
}

void Store(const OptionRecord& r, ConstantCopies constants) {
    option_fullscreen = r.fullscreen && !g_fInAWindow;
    option_interpolate = r.interpolate;
    g_UseNewAudio = r.newAudio;
    option_noborder = r.noborder;
    option_showcursor = r.showcursor;
    option_scale = r.scale;
    option_sizeable = r.sizeable;
    option_stayontop = r.stayontop;
    option_windowcolor = r.windowcolor;
    option_changeresolution = r.changeresolution;
    option_colordepth = r.colordepth;
    option_resolution = r.resolution;
    option_frequency = r.frequency;
    option_nobuttons = r.nobuttons;
    option_sync_vertex = r.syncVertex;
    option_screenkey = r.screenkey;
    option_helpkey = r.helpkey;
    option_quitkey = r.quitkey;
    option_savekey = r.savekey;
    option_screenshotkey = r.screenshotkey;
    option_closeesc = r.closeesc;
    option_priority = r.priority;
    option_freeze = r.freeze;
    option_showprogress = r.showprogress;
    option_loadtransparent = r.loadtransparent;
    option_loadalpha = r.loadalpha;
    option_scaleprogress = r.scaleprogress;
    option_WADloadimage = r.loadImage;
    option_writeerrors = r.writeerrors;
    option_aborterrors = r.aborterrors;
    option_variableerrors = r.variableerrors;
    option_CreationEventOrder = r.creationOrder;
    option_use_front_touch = r.frontTouch;
    option_use_rear_touch = r.rearTouch;
    option_use_fast_collision = r.fastCollision;
    option_fast_collision_compatibility = r.fastCollisionCompatibility;
    GR_Window_Set_Color(option_windowcolor);

    // The "@@" entries are settings, not constants; the version entries are both.
    for (size_t i = 0; i < r.names.size(); ++i) {
        const char* name = r.names[i];
        const char* value = r.values[i];
        if (std::strcmp(name, "@@SleepMargin") == 0) {
            g_SleepMargin = TextToInt(value);
        } else if (std::strcmp(name, "@@DrawColour") == 0) {
            // Decimal, "0x" hexadecimal or leading-0 octal; the colour is 32 bits.
            Draw_Color = g_InitialDrawColor = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        } else if (std::strcmp(name, "VersionMajor") == 0) {
            g_GameVersionMajor = TextToInt(value);
        } else if (std::strcmp(name, "VersionMinor") == 0) {
            g_GameVersionMinor = TextToInt(value);
        }
    }
    FreeConstants();
    option_const_numb = constants.count;
    option_const_name = constants.names;
    option_const_val = constants.values;
}

} // namespace

void Option_Init() {
    option_fullscreen = false;
    option_interpolate = false;
    option_noborder = false;
    option_showcursor = true;
    option_scale = 100;
    option_sizeable = false;
    option_stayontop = false;
    option_windowcolor = 0xFFFFFF;
    option_changeresolution = false;
    option_colordepth = 0;
    option_resolution = 0;
    option_frequency = 0;
    option_nobuttons = false;
    option_freeze = false;
    option_sync_vertex = 0;
    option_screenkey = true;
    option_helpkey = true;
    option_quitkey = true;
    option_savekey = true;
    option_screenshotkey = true;
    option_closeesc = true;
    option_priority = 0;
    option_showprogress = true;
    option_loadtransparent = false;
    option_loadalpha = 255;
    option_scaleprogress = true;
    // The command line's "-noerrors" outlasts the options reset; the chunk
    // itself never stores this setting.
    option_displayerrors = !g_fCommandLineNoErrors;
    option_writeerrors = false;
    option_aborterrors = false;
    option_variableerrors = false;
    FreeConstants();
}

// New layout: word 0 negative, then version 2, the flag word and the values;
// old layout: 36 words of one setting each. The constants follow either.
bool Option_LoadChunk(ImageReader& chunk) {
    OptionRecord r = CurrentSettings();
    const size_t start = chunk.Position();
    if (chunk.S32() < 0) {
        if (chunk.S32() != kNewLayoutVersion) return false;
        ReadNewLayout(chunk, r);
    } else {
        chunk.Seek(start);
        ReadOldLayout(chunk, r);
    }
    ReadConstants(chunk, r);
    Store(r, CopyConstants(r, chunk.Chunk()));
    return true;
}

void Option_Load(ImageReader& chunk) {
    Option_LoadChunk(chunk);
}

void Option_Quit() {
    FreeConstants();
}

void Options_Reset() {
    g_fCommandLineNoErrors = false;
    Option_Init();
    g_UseNewAudio = false;
    option_WADloadimage = 0;
    option_CreationEventOrder = false;
    option_use_front_touch = false;
    option_use_rear_touch = false;
    option_use_fast_collision = false;
    option_fast_collision_compatibility = false;
    Draw_Color = 0xFF000000;
    g_InitialDrawColor = 0xFFFFFFFF;
    g_GameVersionMajor = 0;
    g_GameVersionMinor = 0;
    g_SleepMargin = 10;
}
