// Scripts and code entries: the script chunk and its table, old-format
// source text, sub-functions, the code-entry table's growth, bytecode
// entries over the data file, running entries, and performing scripts.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/game_image.h"
#include "core/ref_string.h"
#include "core/script.h"
#include "core/zq_rvalue.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

class Scripts : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        Code_LoadCompiledRecord(nullptr);
    }
    void TearDown() override {
        g_fZQC = true;
        g_CodeHooks = {};
        g_pSubFunctions = nullptr;
        g_numSubFunctions = 0;
        Code_UnbindGameData();
        Code_LoadCompiledRecord(nullptr);
    }

    bool Load(wad::GameDataWriter& w) {
        m_image = w.Build();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }
    static wad::GameDataWriter WithHeader(uint8_t version = 15) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = version;
        wad::WriteHeader(w, header);
        return w;
    }

    std::vector<uint8_t> m_image;
};

wad::ScriptFields Named(const char* name, uint32_t codeIndex) {
    wad::ScriptFields s;
    s.name = name;
    s.codeIndex = codeIndex;
    return s;
}

TEST_F(Scripts, TheScriptChunkFillsTheTable) {
    wad::GameDataWriter w = WithHeader();
    wad::ScriptFields unnamed;
    unnamed.codeIndex = 4;
    wad::WriteScripts(w, {Named("scr_a", 0), std::nullopt, Named("scr_b", 2), Named("scr_a", 3), unnamed});
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    EXPECT_EQ(Script_Number(), 5);
    EXPECT_TRUE(Script_Exists(0));
    EXPECT_FALSE(Script_Exists(1));
    EXPECT_FALSE(Script_Exists(5));
    EXPECT_FALSE(Script_Exists(-1));
    EXPECT_EQ(Script_Find("scr_a"), 3) << "the later of equal names";
    EXPECT_EQ(Script_Find("scr_b"), 2);
    EXPECT_EQ(Script_Find("scr_c"), -1);
    EXPECT_STREQ(Script_Name(2), "scr_b");
    EXPECT_STREQ(Script_Name(1), "<undefined>");
    EXPECT_STREQ(Script_Name(4), "<undefined>");
    EXPECT_STREQ(Script_Name(40), "<undefined>");
    EXPECT_EQ(Script_Data(2)->m_codeIndex, 2);
    EXPECT_STREQ(Script_Data(2)->GetText(), "") << "new-format scripts have no text";
    // The function table finds scripts by name.
    int id = -1;
    EXPECT_TRUE(Code_Function_Find("scr_b", &id));
    EXPECT_EQ(id, FUNCTION_ID_SCRIPT_BASE + 2);
}

TEST_F(Scripts, OldFormatScriptsKeepTheirSourceText) {
    g_fZQC = false; // no compiled code and no code chunk: the oldest format
    wad::GameDataWriter w = WithHeader(14);
    wad::ScriptFields old = Named("scr_old", 0);
    old.source = "return argument0 * 2;";
    wad::WriteScripts(w, {old});
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    ASSERT_TRUE(Script_Exists(0));
    EXPECT_STREQ(Script_Data(0)->GetText(), "return argument0 * 2;");
    EXPECT_FALSE(Script_Data(0)->Compile()) << "no code table";
}

TEST_F(Scripts, SubFunctionsFollowTheChunksScriptsAndOwnTheirNames) {
    SSubFunction subs[] = {{"sub_one", 7, 11}, {"sub_two", 8, 12}};
    g_pSubFunctions = subs;
    g_numSubFunctions = 2;
    wad::GameDataWriter w = WithHeader();
    wad::WriteScripts(w, {Named("scr_a", 0)});
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    ASSERT_EQ(Script_Number(), 3);
    EXPECT_STREQ(Script_Name(1), "sub_one");
    EXPECT_NE(Script_Name(1), subs[0].pName) << "a copy";
    EXPECT_EQ(Script_Data(2)->m_codeIndex, 8);
    EXPECT_EQ(Script_Data(2)->m_subFunctionWord, 12);
    EXPECT_EQ(Script_Find("sub_two"), 2);
    Script_Free(); // each name is freed once (the sanitizer checks)
    EXPECT_EQ(Script_Number(), 0);
}

TEST_F(Scripts, ADamagedScriptChunkLeavesTheTable) {
    wad::GameDataWriter good = WithHeader();
    wad::WriteScripts(good, {Named("scr_a", 0)});
    ASSERT_TRUE(Load(good));
    std::vector<uint8_t> kept = m_image;

    struct Case {
        std::vector<uint32_t> payload;
        const char* error;
    } cases[] = {
        {{3, 0}, "does not fit"},
        {{1, 0x7FFFFFF0}, "lies outside the chunk"},
    };
    for (const Case& c : cases) {
        wad::GameDataWriter w = WithHeader();
        w.AddStringChunk(); // the script chunk comes last
        wad::Chunk& chunk = w.AddChunk("SCPT");
        for (uint32_t word : c.payload) chunk.U32(word);
        std::vector<uint8_t> image = w.Build();
        // Walk only the script chunk: the table loaded above must survive.
        ASSERT_TRUE(GetResolution(image.data(), image.size()));
        ImageReader reader(image.data(), image.size(), image.size() - 4 * c.payload.size(), image.size(),
                           "SCPT");
        try {
            Script_Load(reader);
            ADD_FAILURE() << "accepted";
        } catch (const GameDataError& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
        EXPECT_EQ(Script_Number(), 1);
        EXPECT_EQ(Script_Find("scr_a"), 0);
    }
}

TEST_F(Scripts, TheCodeEntryTableGrows) {
    const int savedCount = g_nZQCode;
    g_nZQCode = 10;
    for (int i = 0; i < 10; ++i) ASSERT_EQ(Code_CreateEntry(i, false), i);
    EXPECT_EQ(g_nCodeEntries, 10);
    EXPECT_EQ(Code_CreateEntry(-1, false), 10) << "a null entry is an entry too";
    EXPECT_EQ(Code_GetEntry(10), nullptr);
    EXPECT_EQ(g_nCodeEntries, 15);
    EXPECT_NE(Code_GetEntry(3), nullptr);
    EXPECT_EQ(Code_GetEntry(11), nullptr);
    EXPECT_EQ(Code_GetEntry(-1), nullptr);
    EXPECT_EQ(g_TotalCodeBlocks, 10);
    g_nZQCode = savedCount;
}

// Bytecode entries over a writer-made code chunk, in both layouts.
class Bytecode : public Scripts {
protected:
    void LoadCode(wad::CodeLayout layout) {
        g_fZQC = false;
        wad::GameDataWriter w = WithHeader(layout == wad::CodeLayout::Newer ? 15 : 14);
        wad::CodeFields code;
        code.layout = layout;
        code.entries.push_back({"vtl_Script_one", {1, 2, 3}, 3, 0x2002, 0});
        code.entries.push_back({"vtl_Script_two", {}, 0, 0, 0});
        wad::WriteCode(w, code);
        wad::WriteScripts(w, {Named("one", 0), Named("two", 1), Named("none", 9)});
        ASSERT_TRUE(Load(w)) << GameData_LastError();
    }

    struct Call {
        CCode* code;
        CInstance* self;
        RValue* result;
        int arg;
        int argumentCount;
        double firstArgument;
    };
    static inline std::vector<Call> s_calls;
    static void VMExec(CCode* code, CInstance* self, CInstance*, RValue* result, int arg) {
        s_calls.push_back(
            {code, self, result, arg, g_ArgumentCount, g_ArgumentCount > 0 ? Argument[0].val : 0});
        if (result != nullptr) *result = RValue_Real(123);
    }
};

TEST_F(Bytecode, EntriesPointIntoTheImage) {
    for (wad::CodeLayout layout : {wad::CodeLayout::Newer, wad::CodeLayout::Older}) {
        LoadCode(layout);
        CCode code(0, false);
        ASSERT_NE(code.m_pVM, nullptr);
        EXPECT_EQ(code.m_pVM->m_size, 12);
        uint32_t words[3];
        std::memcpy(words, code.m_pVM->m_pBuffer, sizeof words);
        EXPECT_EQ(words[2], 3u);
        EXPECT_STREQ(code.m_pName, "vtl_Script_one");
        const bool newer = layout == wad::CodeLayout::Newer;
        EXPECT_EQ(code.m_localCount, newer ? 3 : 0);
        EXPECT_EQ(code.m_argumentCount, newer ? 2 : 0);
        EXPECT_EQ(code.m_argumentFlags, newer ? 1 : 0);
        EXPECT_EQ(CCode(9, false).m_pVM, nullptr) << "outside the code table";
        Code_UnbindGameData();
    }
}

TEST_F(Bytecode, ARecordThatLeavesTheChunkIsRefusedAtLoad) {
    g_fZQC = false;
    wad::GameDataWriter w = WithHeader(15);
    wad::CodeFields code;
    code.entries.push_back({"vtl_Script_one", {1, 2, 3}, 3, 0x2002, 0});
    wad::WriteCode(w, code);
    const std::vector<uint8_t> good = w.Build();
    const size_t recordAt = wad::WordAt(good, wad::ChunkPayload(good, "CODE") + 4);
    struct Case {
        size_t field;
        uint32_t value;
        const char* error;
    } cases[] = {
        {12, 0x40000000, "lies outside the chunk"},          // the bytecode far past the file
        {4, 0x7FFFFFF0, "run past the chunk's end"},         // a length beyond the chunk
        {0, static_cast<uint32_t>(good.size() + 4), "past"}, // the name past the file's end
    };
    for (const Case& c : cases) {
        m_image = good;
        wad::PutWord(m_image, recordAt + c.field, c.value);
        EXPECT_FALSE(GetResolution(m_image.data(), m_image.size())) << c.error;
        const std::string error = GameData_LastError();
        EXPECT_NE(error.find("(chunk CODE)"), std::string::npos) << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST_F(Bytecode, RunningEntriesAndPerformingScripts) {
    LoadCode(wad::CodeLayout::Newer);
    g_CodeHooks.vmExec = VMExec;
    s_calls.clear();
    ASSERT_TRUE(Script_Prepare());
    ASSERT_NE(Script_Data(0)->GetCode(), nullptr);

    auto* self = reinterpret_cast<CInstance*>(0x1000); // never dereferenced
    RValue args[2] = {RValue_Real(5), RValue_Undefined()};
    ZQSetString(&args[1], "consumed");
    DynamicArrayOfRValue row{2, args};
    RValue result = RValue_Undefined();
    RValue* savedArgument = Argument;
    EXPECT_TRUE(Script_Perform(0, self, nullptr, 2, &result, &row));
    ASSERT_EQ(s_calls.size(), 1u);
    EXPECT_EQ(s_calls[0].code, Script_Data(0)->GetCode());
    EXPECT_EQ(s_calls[0].arg, 1) << "self was given";
    EXPECT_EQ(s_calls[0].argumentCount, 2);
    EXPECT_EQ(s_calls[0].firstArgument, 5);
    EXPECT_EQ(result.val, 123);
    EXPECT_EQ(args[0].kind, VALUE_UNDEFINED);
    EXPECT_EQ(args[1].kind, VALUE_UNDEFINED);
    EXPECT_EQ(Argument, savedArgument);

    // An empty body runs nothing, and still consumes the arguments.
    args[0] = RValue_Real(1);
    EXPECT_TRUE(Script_Perform(1, nullptr, nullptr, 1, nullptr, &row));
    EXPECT_EQ(s_calls.size(), 1u);
    EXPECT_EQ(args[0].kind, VALUE_UNDEFINED);
    // No script there: false, and the arguments stay with the caller.
    args[0] = RValue_Real(1);
    EXPECT_FALSE(Script_Perform(40, nullptr, nullptr, 1, nullptr, &row));
    EXPECT_EQ(args[0].val, 1);
}

TEST_F(Scripts, RunningConstantAndCompiledEntries) {
    CCode constant(-1, false);
    constant.m_kind = CODE_KIND_CONSTANT;
    ZQSetString(&constant.m_value, "value");
    RValue result = RValue_Real(1);
    Code_Error_Occured = true;
    EXPECT_TRUE(Code_Execute(nullptr, nullptr, &constant, &result, 0));
    EXPECT_FALSE(Code_Error_Occured);
    ASSERT_EQ(result.Kind(), VALUE_STRING);
    EXPECT_STREQ(result.pRefString->Get(), "value");
    EXPECT_EQ(result.pRefString->m_refCount, 2);
    FREE_RValue(&result);
    EXPECT_TRUE(constant.m_unlisted);

    // A compiled script runs as a code entry with no arguments into the result.
    static int s_events = 0;
    static const SCompiledFunction table[] = {
        {"script",
         [](CInstance*, CInstance*, ZQRValue& r, int argc, ZQRValue** args) -> ZQRValue& {
             r = argc == 0 && args == nullptr ? 1.0 : -1.0;
             return r;
         },
         nullptr},
        {"event", nullptr, [](CInstance*, CInstance*) { ++s_events; }},
    };
    Code_LoadCompiledRecord([](SLLVMVars* v) {
        v->nCodeEntries = 2;
        v->pCodeFunctions = table;
    });
    CCode script(0, false);
    CCode event(1, true);
    EXPECT_STREQ(script.m_pName, "script");
    EXPECT_EQ(event.m_kind, CODE_KIND_RUN_ACTION);
    Code_Execute(nullptr, nullptr, &script, &result, 0);
    EXPECT_EQ(result.val, 1.0);
    Code_Execute(nullptr, nullptr, &script, nullptr, 0);
    Code_Execute(nullptr, nullptr, &event, &result, 0);
    EXPECT_EQ(s_events, 1);
    EXPECT_EQ(CCode(2, false).m_pFunc, nullptr) << "outside the compiled table";
    EXPECT_EQ(CCode(-5, false).m_pFunc, nullptr);
}

TEST_F(Scripts, ManyArgumentsReachACompiledScript) {
    static int s_seen = 0;
    static const SCompiledFunction table[] = {
        {"sum",
         [](CInstance*, CInstance*, ZQRValue& r, int argc, ZQRValue** args) -> ZQRValue& {
             double sum = 0;
             for (int i = 0; i < argc; ++i) sum += args[i]->val;
             s_seen = argc;
             r = sum;
             return r;
         },
         nullptr},
    };
    Code_LoadCompiledRecord([](SLLVMVars* v) {
        v->nCodeEntries = 1;
        v->pCodeFunctions = table;
    });
    wad::GameDataWriter w = WithHeader();
    wad::WriteScripts(w, {Named("sum", 0)});
    ASSERT_TRUE(Load(w));
    ASSERT_TRUE(Script_Prepare());
    std::vector<RValue> values;
    for (int i = 1; i <= 40; ++i) values.push_back(RValue_Real(i));
    DynamicArrayOfRValue row{40, values.data()};
    RValue result = RValue_Undefined();
    EXPECT_TRUE(Script_Perform(0, nullptr, nullptr, 40, &result, &row));
    EXPECT_EQ(s_seen, 40);
    EXPECT_EQ(result.val, 820);
    // A count beyond the row is cut to the row.
    EXPECT_TRUE(Script_Perform(0, nullptr, nullptr, 99, &result, &row));
    EXPECT_EQ(s_seen, 40);
}

TEST_F(Scripts, CodeErrorsOfAnEntry) {
    CCode code(-1, false);
    code.m_pText = "a = 1;\nb = ;";
    Code_Error_Occured = false;
    Code_Report_Error(&code, 11, "unexpected symbol");
    ASSERT_NE(Code_Error_String, nullptr);
    EXPECT_STREQ(Code_Error_String->Get(),
                 "Error in code at line 2:\n   b = ;\n\nat position 5: unexpected symbol");
    Code_Error_Occured = false;
    code.m_kind = CODE_KIND_RUN_ACTION;
    Code_Report_Error(&code, 0, "x");
    EXPECT_STREQ(Code_Error_String->Get(), "Error in expression: a = 1;\nb = ;\n position 1: x");
    Code_Error_Occured = false;
}

} // namespace
