// Vertex formats and their built-ins, called through the function table as
// scripts call them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "render/gl_api.h"
#include "render/vertex_format.h"

namespace {

class VertexFormats : public ::testing::Test {
protected:
    // Every test starts from an empty function table, so each registers anew.
    void SetUp() override {
        if (Function_Find("vertex_format_begin") < 0) InitVertexFormats();
        errors.Clear();
    }
    void TearDown() override { ClearVertexFormats(); }

    RValue Call(const char* name, std::vector<double> args = {}) {
        const int index = Function_Find(name);
        EXPECT_GE(index, 0) << name;
        const char* found = nullptr;
        TRoutine routine = nullptr;
        int argc = 0, flag = 0;
        Code_Function_GET_the_function(index, &found, &routine, &argc, &flag);
        std::vector<RValue> values(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            values[i].kind = VALUE_REAL;
            values[i].flags = 0;
            values[i].val = args[i];
        }
        RValue result{};
        result.kind = VALUE_UNDEFINED;
        routine(result, nullptr, nullptr, static_cast<int>(values.size()), values.data());
        return result;
    }

    // The non-fatal errors the built-ins show, read from the last shown text.
    struct ShownText {
        ShownText() : m_headless(g_fHeadless) { g_fHeadless = true; }
        ~ShownText() { g_fHeadless = m_headless; }
        void Clear() { Display_Error_Occurred = false; }
        int Count() const { return Display_Error_Occurred ? 1 : 0; }
        // The message line of the last shown error, "" when none was shown.
        std::string LastMessage() const {
            if (!Display_Error_Occurred || Display_Error_Message == nullptr) return "";
            const std::string text = Display_Error_Message->Get();
            const size_t start = text.find("\n\n\n");
            if (start == std::string::npos) return text;
            const size_t end = text.find('\n', start + 3);
            return text.substr(start + 3, end - start - 3);
        }
        bool m_headless;
    };
    ShownText errors;
};

TEST_F(VertexFormats, ElementsLieBackToBackWithoutPadding) {
    const int32_t first = kVertexFormatIdBit | g_currVertexFormatID;
    EXPECT_EQ(Call("vertex_format_begin").val, -1);
    Call("vertex_format_add_position");
    Call("vertex_format_add_colour");
    Call("vertex_format_add_texcoord");
    const RValue id = Call("vertex_format_end");
    ASSERT_EQ(id.Kind(), VALUE_REAL);
    EXPECT_EQ(static_cast<int32_t>(id.val), first);
    const VertexFormat* f = GetVertexFormat(first);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->size, 20);
    ASSERT_EQ(f->numElements, 3);
    EXPECT_EQ(f->elements[0].offset, 0);
    EXPECT_EQ(f->elements[1].offset, 8);
    EXPECT_EQ(f->elements[2].offset, 12);
    EXPECT_EQ(f->elementBits, 7u);
    EXPECT_EQ(f->usageBits, (1u << 1) | (1u << 2) | (1u << 4));
    ASSERT_EQ(f->glElements.size(), 3u);
    EXPECT_EQ(f->glElements[1].glType, static_cast<uint32_t>(GL_UNSIGNED_BYTE));
    EXPECT_TRUE(f->glElements[1].normalised);
    EXPECT_EQ(f->glElements[2].components, 2);
    EXPECT_EQ(errors.Count(), 0);
    Call("vertex_format_delete", {static_cast<double>(first)});
    EXPECT_FALSE(VertexFormatExists(first));
    Call("vertex_format_delete", {static_cast<double>(first)}); // gone: ignored
}

TEST_F(VertexFormats, SameUsageElementsCountTheirIndex) {
    Call("vertex_format_begin");
    Call("vertex_format_add_colour");
    Call("vertex_format_add_normal");
    Call("vertex_format_add_color");
    const VertexFormat* f = GetVertexFormat(static_cast<int>(Call("vertex_format_end").val));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->glElements[0].usageIndex, 0);
    EXPECT_EQ(f->glElements[2].usageIndex, 1);
    EXPECT_EQ(f->glElements[1].usageIndex, 0);
}

TEST_F(VertexFormats, MisuseIsReportedAndChangesNothing) {
    struct Case {
        std::vector<const char*> before;
        const char* call;
        std::vector<double> args;
        const char* message;
    } cases[] = {
        {{}, "vertex_format_end", {}, "vertex_format_end(): Can't end format, you haven't started one yet."},
        {{}, "vertex_format_add_position", {}, "vertex_format_add_position(): haven't started a new format."},
        {{}, "vertex_format_add_color", {}, "vertex_format_add_colour(): haven't started a new format."},
        {{}, "vertex_format_add_custom", {1, 1}, "vertex_format_add_custom(): haven't started a new format."},
        {{"vertex_format_begin"},
         "vertex_format_begin",
         {},
         "vertex_format_begin(): Can't start a new format, still creating another one."},
        {{"vertex_format_begin"},
         "vertex_format_add_custom",
         {7, 1},
         "vertex_format_add_custom(): illegal types"},
        {{"vertex_format_begin"},
         "vertex_format_add_custom",
         {1, 15},
         "vertex_format_add_custom(): illegal usage"},
        {{}, "vertex_format_begin", {1}, "vertex_format_begin(): Illegal argument count"},
    };
    for (const Case& c : cases) {
        ClearVertexFormats();
        for (const char* name : c.before) Call(name);
        const VertexFormat* building = g_NewFormat;
        errors.Clear();
        const RValue result = Call(c.call, c.args);
        EXPECT_EQ(errors.LastMessage(), c.message) << c.call;
        EXPECT_EQ(g_NewFormat, building) << c.call;
        if (std::strcmp(c.call, "vertex_format_end") == 0) {
            EXPECT_EQ(result.Kind(), VALUE_UNDEFINED);
        }
        if (building != nullptr) {
            EXPECT_EQ(building->numElements, 0) << c.call;
        }
    }
}

TEST_F(VertexFormats, ThirtyThreeElementsAreTooMany) {
    Call("vertex_format_begin");
    Call("vertex_format_add_custom", {1, 14}); // the highest usage is accepted
    for (int i = 1; i < 32; ++i) Call("vertex_format_add_normal");
    EXPECT_EQ(errors.Count(), 0);
    Call("vertex_format_add_normal");
    EXPECT_EQ(errors.LastMessage(), "vertex_format_add_normal(): Too many elements");
    EXPECT_EQ(g_NewFormat->numElements, 32);
    Call("vertex_format_add_custom", {1, 1});
    EXPECT_EQ(errors.LastMessage(), "vertex_format_add_custom(): Too many elements");
}

TEST_F(VertexFormats, EndianSwapStaysInsideTheBuffer) {
    VertexFormat f;
    f.Add(eVT_Float1, eVU_Position, 1);
    f.Add(eVT_Colour, eVU_Colour, 2);
    // Two 8-byte vertices in a 16-byte buffer.
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(f.EndianSwapBuffer(bytes, 5, 0, 16, false), 2); // cut to what fits
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[15], 12);
    EXPECT_EQ(f.EndianSwapBuffer(nullptr, 1, 0, 16, false), 0);
    EXPECT_EQ(f.EndianSwapBuffer(bytes, 1, 0, -1, true), 0);
    // A ring of 16 bytes starting at 12: the second vertex wraps to the front.
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(f.EndianSwapBuffer(bytes, 2, 12, 16, true), 2);
    EXPECT_EQ(bytes[12], 15); // first word of vertex 0
    EXPECT_EQ(bytes[0], 3);   // its colour word wrapped to 0-3
    EXPECT_EQ(bytes[4], 7);   // vertex 1 at 4-11
    EXPECT_EQ(bytes[11], 8);
}

TEST(VertexTypes, SizesAndWords) {
    EXPECT_EQ(VertexFormat::GetTypeSize(4), 16);
    EXPECT_EQ(VertexFormat::GetNumElementsInType(3), 3);
    EXPECT_EQ(VertexFormat::GetTypeSize(9), 0);
    EXPECT_EQ(VertexFormat::GetElementSizeInType(0), 0);
    EXPECT_EQ(VertexFormat::GetElementSizeInType(6), 4);
}

} // namespace
