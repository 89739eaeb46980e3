// The vertex format table and the vertex_format_* built-ins. The table is a
// Hash of 128 buckets with a one-entry cache of the last lookup; a delete
// clears the cache when it held the deleted format, so it never points at
// freed memory.
#include "render/vertex_format.h"

#include <cstdio>
#include <utility>

#include "core/arguments.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/hash.h"
#include "core/rvalue.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"

VertexFormat* g_ActiveVertexFormat = nullptr;
VertexFormat* g_NewFormat = nullptr;
uint32_t g_FormatBit = 0;
int32_t g_currVertexFormatID = 0;

namespace {

Hash<VertexFormat>& Table() {
    static Hash<VertexFormat> table(128);
    return table;
}

VertexFormat* g_lastVF = nullptr;
int32_t g_lastVFId = -1;

void ForgetCache() {
    g_lastVF = nullptr;
    g_lastVFId = -1;
}

struct TypeRow {
    int size;
    int words;
    GLenum glType;
    int components;
    bool normalised;
};

// Rows 1-6; row 0 stands for every invalid type.
const TypeRow kTypes[7] = {
    {0, 0, GL_FLOAT, 4, false},         {4, 1, GL_FLOAT, 1, false},  {8, 2, GL_FLOAT, 2, false},
    {12, 3, GL_FLOAT, 3, false},        {16, 4, GL_FLOAT, 4, false}, {4, 1, GL_UNSIGNED_BYTE, 4, true},
    {4, 1, GL_UNSIGNED_BYTE, 4, false},
};

const TypeRow& Row(int type) {
    return type >= 1 && type <= 6 ? kTypes[type] : kTypes[0];
}

void Swap4(unsigned char* p) {
    std::swap(p[0], p[3]);
    std::swap(p[1], p[2]);
}

} // namespace

int VertexFormat::GetTypeSize(int type) {
    return Row(type).size;
}

int VertexFormat::GetNumElementsInType(int type) {
    return Row(type).words;
}

int VertexFormat::GetElementSizeInType(int type) {
    return Row(type).size != 0 ? 4 : 0;
}

void VertexFormat::Add(int type, int usage, uint32_t elementBit) {
    elements.push_back({size, type, usage, elementBit});
    ++numElements;
    elementBits |= elementBit;
    size += GetTypeSize(type);
    usageBits |= 1u << (usage & 31);
}

int VertexFormat::EndianSwapBuffer(unsigned char* buffer, int count, int offset, int bufferSize,
                                   bool wrap) const {
    if (buffer == nullptr || count <= 0 || size <= 0 || offset < 0) return 0;
    if (wrap && bufferSize < 0) return 0;
    const int64_t stride = size;
    auto swapAt = [&](int64_t position, bool ring) {
        for (int e = 0; e < numElements; ++e) {
            const int words = GetNumElementsInType(elements[e].type);
            for (int w = 0; w < words; ++w) {
                const int64_t at = position + elements[e].offset + 4 * w;
                if (!ring) {
                    Swap4(buffer + at);
                    continue;
                }
                unsigned char* b[4];
                for (int k = 0; k < 4; ++k) b[k] = buffer + (at + k) % bufferSize;
                std::swap(*b[0], *b[3]);
                std::swap(*b[1], *b[2]);
            }
        }
    };
    if (!wrap) {
        if (bufferSize >= 0) {
            if (offset > bufferSize) return 0;
            const int64_t fit = (bufferSize - offset) / stride;
            if (count > fit) count = static_cast<int>(fit);
        }
        for (int v = 0; v < count; ++v) swapAt(offset + v * stride, false);
        return count;
    }
    if (bufferSize == 0) return 0;
    const int64_t fit = bufferSize / stride;
    if (count > fit) count = static_cast<int>(fit);
    const int64_t start = offset % bufferSize;
    const bool passesEnd = start + count * stride > bufferSize;
    for (int v = 0; v < count; ++v) swapAt(start + v * stride, passesEnd);
    return count;
}

VertexFormat* GetVertexFormat(int id) {
    if (g_lastVF != nullptr && g_lastVFId == id) return g_lastVF;
    VertexFormat* found = Table().Find(static_cast<uint32_t>(id));
    g_lastVF = found;
    g_lastVFId = id;
    return found;
}

bool VertexFormatExists(int id) {
    return GetVertexFormat(id) != nullptr;
}

void CreateNativeVertexFormat(VertexFormat* f) {
    if (f == nullptr) return;
    f->glElements.assign(static_cast<size_t>(f->numElements), {});
    for (int i = 0; i < f->numElements; ++i) {
        const TypeRow& row = Row(f->elements[i].type);
        int usageIndex = 0;
        for (int j = 0; j < i; ++j)
            if (f->elements[j].usage == f->elements[i].usage) ++usageIndex;
        f->glElements[i] = {row.glType, row.components, row.normalised, usageIndex};
    }
}

void FreeVertexFormat(VertexFormat* f) {
    if (f == nullptr) return;
    f->glElements.clear();
}

void AddVertexFormat(VertexFormat* f) {
    f->id = kVertexFormatIdBit | g_currVertexFormatID++;
    Table().Insert(static_cast<uint32_t>(f->id), f);
    // A miss cached for this id must not hide the new format.
    if (g_lastVFId == f->id) ForgetCache();
}

void DeleteVertexFormat(VertexFormat* f) {
    if (f == nullptr) return;
    if (g_lastVF == f || g_lastVFId == f->id) ForgetCache();
    if (g_ActiveVertexFormat == f) g_ActiveVertexFormat = nullptr;
    FreeVertexFormat(f);
    Table().Delete(static_cast<uint32_t>(f->id), eDelete_Delete);
}

void VertexFormat_Set(VertexFormat* f) {
    g_ActiveVertexFormat = f;
}

void ClearVertexFormats() {
    ForgetCache();
    g_ActiveVertexFormat = nullptr;
    Table().Clear(eDelete_Delete);
    delete g_NewFormat;
    g_NewFormat = nullptr;
    g_FormatBit = 0;
}

void FINALIZE_VertexFormats() {
    Graphics::Flush();
    ForgetCache();
    g_ActiveVertexFormat = nullptr;
    Table().Clear(eDelete_Delete);
}

// ---------------------------------------------------------------------------
// The built-ins.

namespace {

// One of the fixed add built-ins: its script name (for the messages) and the
// element it adds.
void AddFixed(const char* name, int type, int usage) {
    char message[128];
    if (g_NewFormat == nullptr) {
        std::snprintf(message, sizeof message, "%s(): haven't started a new format.", name);
        Error_Show_Action(message, false);
        return;
    }
    if (g_FormatBit == 0) {
        std::snprintf(message, sizeof message, "%s(): Too many elements", name);
        Error_Show_Action(message, false);
        return;
    }
    g_NewFormat->Add(type, usage, g_FormatBit);
    g_FormatBit <<= 1;
}

void F_VertexFormatBegin(RValue& result, CInstance*, CInstance*, int argc, RValue*) {
    ZQSetResultReal(result, -1);
    if (argc != 0) {
        Error_Show_Action("vertex_format_begin(): Illegal argument count", false);
        return;
    }
    if (g_NewFormat != nullptr) {
        Error_Show_Action("vertex_format_begin(): Can't start a new format, still creating another one.",
                          false);
        return;
    }
    g_NewFormat = new VertexFormat();
    g_FormatBit = 1;
}

void F_VertexFormatAddPosition(RValue&, CInstance*, CInstance*, int, RValue*) {
    AddFixed("vertex_format_add_position", eVT_Float2, eVU_Position);
}
void F_VertexFormatAddPosition3D(RValue&, CInstance*, CInstance*, int, RValue*) {
    AddFixed("vertex_format_add_position_3d", eVT_Float3, eVU_Position);
}
void F_VertexFormatAddColour(RValue&, CInstance*, CInstance*, int, RValue*) {
    AddFixed("vertex_format_add_colour", eVT_Colour, eVU_Colour);
}
void F_VertexFormatAddNormal(RValue&, CInstance*, CInstance*, int, RValue*) {
    AddFixed("vertex_format_add_normal", eVT_Float3, eVU_Normal);
}
void F_VertexFormatAddTextcoord(RValue&, CInstance*, CInstance*, int, RValue*) {
    AddFixed("vertex_format_add_textcoord", eVT_Float2, eVU_TexCoord);
}

// With no format being built, or after 32 elements, this reports the same
// conditions as its siblings (under its own name) instead of writing through
// a missing format.
void F_VertexFormatAddCustom(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    const int type = argc > 0 ? ZQGetInt32(args, 0) : 0;
    const int usage = argc > 1 ? ZQGetInt32(args, 1) : 0;
    if (type < 1 || type > 6) {
        Error_Show_Action("vertex_format_add_custom(): illegal types", false);
        return;
    }
    if (usage < 1 || usage > eVU_LastCustom) {
        Error_Show_Action("vertex_format_add_custom(): illegal usage", false);
        return;
    }
    AddFixed("vertex_format_add_custom", type, usage);
}

void F_VertexFormatEnd(RValue& result, CInstance*, CInstance*, int, RValue*) {
    if (g_NewFormat == nullptr) {
        Error_Show_Action("vertex_format_end(): Can't end format, you haven't started one yet.", false);
        return;
    }
    VertexFormat* f = g_NewFormat;
    g_NewFormat = nullptr;
    g_FormatBit = 0;
    AddVertexFormat(f);
    CreateNativeVertexFormat(f);
    ZQSetResultReal(result, f->id);
}

void F_VertexFormatDelete(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    Graphics::Flush();
    if (argc < 1) return;
    DeleteVertexFormat(GetVertexFormat(ZQGetInt32(args, 0)));
}

struct BuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
};

const BuiltinRow kVertexFormatBuiltins[] = {
    {"vertex_format_begin", F_VertexFormatBegin, 0},
    {"vertex_format_add_position", F_VertexFormatAddPosition, 0},
    {"vertex_format_add_position_3d", F_VertexFormatAddPosition3D, 0},
    {"vertex_format_add_colour", F_VertexFormatAddColour, 0},
    {"vertex_format_add_color", F_VertexFormatAddColour, 0},
    {"vertex_format_add_normal", F_VertexFormatAddNormal, 0},
    {"vertex_format_add_textcoord", F_VertexFormatAddTextcoord, 0},
    {"vertex_format_add_texcoord", F_VertexFormatAddTextcoord, 0},
    {"vertex_format_add_custom", F_VertexFormatAddCustom, 2},
    {"vertex_format_end", F_VertexFormatEnd, 0},
    {"vertex_format_delete", F_VertexFormatDelete, 1},
};

} // namespace

void InitVertexFormats() {
    for (const BuiltinRow& row : kVertexFormatBuiltins) Function_Add(row.name, row.routine, row.argc, false);
}
