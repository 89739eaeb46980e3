// Binding on writer-made files: variable and function chunks in both
// layouts, reference chains (empty, backwards, hostile), the older opcode
// rewrite and the local-name table.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/function_table.h"
#include "core/object_base.h"
#include "core/script.h"
#include "core/variables.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

using wad::CodeLayout;
using wad::ReferenceKind;

uint32_t WordAt(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Builtin(RValue&, CInstance*, CInstance*, int, RValue*) {}

class Binding : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        Code_LoadCompiledRecord(nullptr);
        Function_Add("fn_known", Builtin, 0, false);
        Function_Add("fn_other", Builtin, 0, false);
    }
    void TearDown() override {
        Code_UnbindGameData();
        FINALIZE_Code_Function();
        FINALIZE_Variable_Main();
    }

    // A file of the layout's header version with the code, variables and functions given.
    bool Load(CodeLayout layout, const wad::CodeFields& code, const wad::VariablesFields* variables,
              const wad::FunctionsFields* functions, const std::vector<int32_t>* global = nullptr) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = layout == CodeLayout::Newer ? 15 : 14;
        wad::WriteHeader(w, header);
        if (global != nullptr) wad::WriteGlobalScripts(w, *global);
        wad::WriteCode(w, code);
        if (variables != nullptr) wad::WriteVariables(w, *variables, &code);
        if (functions != nullptr) wad::WriteFunctions(w, *functions, &code);
        m_image = w.Build();
        m_before = m_image;
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

    // Word `word` of entry `entry`'s bytecode, after loading and before it.
    uint32_t After(CodeLayout layout, int entry, size_t word) const {
        return WordAt(At(layout, entry, word));
    }
    uint32_t Before(CodeLayout layout, int entry, size_t word) const {
        return WordAt(m_before.data() + (At(layout, entry, word) - m_image.data()));
    }
    std::string Error() const { return GameData_LastError(); }

    std::vector<uint8_t> m_image;
    std::vector<uint8_t> m_before;

private:
    const uint8_t* At(CodeLayout layout, int entry, size_t word) const {
        // Read from the image itself: a refused load forgets its tables.
        const size_t table = wad::ChunkPayload(m_image, "CODE") + 4;
        const uint8_t* record = m_image.data() + wad::WordAt(m_image, table + 4 * static_cast<size_t>(entry));
        const uint8_t* bytecode = layout == CodeLayout::Newer
                                      ? record + 12 + static_cast<int32_t>(WordAt(record + 12))
                                      : record + 8;
        return bytecode + 4 * word;
    }
};

// Two entries of eight instruction/operand words each (operands with tag bits).
wad::CodeFields TwoEntries(CodeLayout layout) {
    wad::CodeFields code;
    code.layout = layout;
    for (int e = 0; e < 2; ++e) {
        wad::CodeEntryFields entry;
        entry.name = "entry" + std::to_string(e);
        for (int i = 0; i < 4; ++i) {
            entry.bytecode.push_back(0x45050000);
            entry.bytecode.push_back(0xA0000000);
        }
        code.entries.push_back(entry);
    }
    return code;
}

wad::CodeReference Ref(ReferenceKind kind, const std::string& name, size_t entry, size_t word,
                       std::optional<int32_t> distance = std::nullopt) {
    return {kind, name, entry, word, distance};
}

TEST_F(Binding, NewerVariableChunkBindsSlotsBuiltinsAndArguments) {
    Variable_BuiltIn_Add("speed", nullptr, nullptr);
    wad::CodeFields code = TwoEntries(CodeLayout::Newer);
    // "hp" walks backwards: its first reference is the later one.
    code.references = {Ref(ReferenceKind::Variable, "hp", 1, 2), Ref(ReferenceKind::Variable, "hp", 0, 0),
                       Ref(ReferenceKind::Variable, "score", 0, 2),
                       Ref(ReferenceKind::Variable, "speed", 0, 4),
                       Ref(ReferenceKind::Variable, "arguments", 0, 6)};
    wad::VariablesFields variables;
    variables.globals = 3;
    variables.instances = 0; // still two instance slots
    variables.variables = {{"hp", -1, 1, std::nullopt},
                           {"score", -5, 2, std::nullopt},
                           {"speed", -6, -6, std::nullopt},
                           {"arguments", -6, -6, std::nullopt},
                           {"unused", -1, 0, std::nullopt}};
    ASSERT_TRUE(Load(CodeLayout::Newer, code, &variables, nullptr)) << Error();
    EXPECT_EQ(g_nInstanceVariables, 2);
    EXPECT_EQ(g_nGlobalVariables, 3);
    EXPECT_EQ(After(CodeLayout::Newer, 1, 3), 0xA0000000u | 100001u);
    EXPECT_EQ(After(CodeLayout::Newer, 0, 1), 0xA0000000u | 100001u);
    EXPECT_EQ(After(CodeLayout::Newer, 0, 3), 0xA0000000u | 100002u);
    EXPECT_EQ(After(CodeLayout::Newer, 0, 5),
              0xA0000000u | static_cast<uint32_t>(Variable_BuiltIn_Find("speed")));
    EXPECT_EQ(After(CodeLayout::Newer, 0, 7), 0xA0000000u | 10000000u);
    EXPECT_EQ(Code_Variable_Find_Slot_From_Local_Name("hp"), 1);
    EXPECT_EQ(Code_Variable_Find_Slot_From_Global_Name("score"), 2);
    // The global object has the larger count of slots.
    ASSERT_NE(g_pGlobal, nullptr);
    EXPECT_EQ(g_pGlobal->m_slotCount, 3);
}

TEST_F(Binding, FunctionChunkBindsIdsAndReadsTheLocalNames) {
    wad::CodeFields code = TwoEntries(CodeLayout::Newer);
    code.references = {Ref(ReferenceKind::Function, "fn_other", 0, 0),
                       Ref(ReferenceKind::Function, "fn_other", 1, 6),
                       Ref(ReferenceKind::Function, "fn_known", 1, 0)};
    wad::FunctionsFields functions;
    functions.functions = {{"fn_known", std::nullopt}, {"fn_other", std::nullopt}};
    functions.locals = {{"f", {"a", "b"}}, {"g", {}}};
    ASSERT_TRUE(Load(CodeLayout::Newer, code, nullptr, &functions)) << Error();
    const uint32_t other = static_cast<uint32_t>(Function_Find("fn_other"));
    EXPECT_EQ(After(CodeLayout::Newer, 0, 1), other);
    EXPECT_EQ(After(CodeLayout::Newer, 1, 7), other);
    EXPECT_EQ(After(CodeLayout::Newer, 1, 1), static_cast<uint32_t>(Function_Find("fn_known")));
    ASSERT_EQ(g_numFunctionsForLocalVars, 2);
    EXPECT_STREQ(Variable_GetName_Scope("f", VARIABLE_SCOPE_LOCAL, 100001), "b");
    EXPECT_STREQ(Variable_GetName_Scope("g", VARIABLE_SCOPE_LOCAL, 100000), "<unknown variable>");
}

TEST_F(Binding, OlderLayoutChunksUse29BitDistancesAndTheFlatNameList) {
    wad::CodeFields code = TwoEntries(CodeLayout::Older);
    code.references = {Ref(ReferenceKind::Variable, "a", 0, 0), Ref(ReferenceKind::Variable, "a", 1, 0),
                       Ref(ReferenceKind::Variable, "b", 0, 2),
                       Ref(ReferenceKind::Function, "fn_known", 1, 2)};
    wad::VariablesFields variables;
    variables.layout = CodeLayout::Older;
    variables.variables = {{"a", 0, 0, std::nullopt}, {"b", 0, 0, std::nullopt}};
    wad::FunctionsFields functions;
    functions.layout = CodeLayout::Older;
    functions.functions = {{"fn_known", std::nullopt}};
    ASSERT_TRUE(Load(CodeLayout::Older, code, &variables, &functions)) << Error();
    // The older layout's operand keeps only its top three bits.
    EXPECT_EQ(After(CodeLayout::Older, 0, 1), 0xA0000000u | 100000u);
    EXPECT_EQ(After(CodeLayout::Older, 1, 1), 0xA0000000u | 100000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 3), 0xA0000000u | 100001u);
    EXPECT_EQ(After(CodeLayout::Older, 1, 3), static_cast<uint32_t>(Function_Find("fn_known")));
    EXPECT_STREQ(Variable_GetName(100001), "b");
}

TEST_F(Binding, AChainOfNoReferencesWritesNothingWhateverItsStart) {
    wad::CodeFields code = TwoEntries(CodeLayout::Newer);
    code.references = {Ref(ReferenceKind::Variable, "hp", 0, 0)};
    wad::VariablesFields variables;
    variables.instances = 1;
    variables.variables = {{"hp", -1, 0, 0u}}; // count 0, first reference still written
    ASSERT_TRUE(Load(CodeLayout::Newer, code, &variables, nullptr)) << Error();
    EXPECT_EQ(After(CodeLayout::Newer, 0, 1), Before(CodeLayout::Newer, 0, 1));
}

// Chains the data file can use to make the loader write where it should
// not, or walk forever: each is refused before it writes anything.
TEST_F(Binding, HostileChainsAreRefusedBeforeTheyWrite) {
    struct Case {
        const char* what;
        std::vector<wad::CodeReference> references;
        std::optional<uint32_t> count;
        const char* error;
    } cases[] = {
        {"a distance past the end of the code",
         {Ref(ReferenceKind::Variable, "hp", 0, 0, 1 << 20), Ref(ReferenceKind::Variable, "hp", 1, 0)},
         std::nullopt,
         "lies outside the code"},
        {"a distance back before the code",
         {Ref(ReferenceKind::Variable, "hp", 0, 0, -(1 << 20)), Ref(ReferenceKind::Variable, "hp", 1, 0)},
         std::nullopt,
         "lies outside the code"},
        {"a reference onto itself", {Ref(ReferenceKind::Variable, "hp", 0, 0, 0)}, 3u, "already bound"},
        {"a loop of two references",
         {Ref(ReferenceKind::Variable, "hp", 0, 0), Ref(ReferenceKind::Variable, "hp", 0, 2, -8)},
         5u,
         "already bound"},
        {"a distance into the middle of an instruction",
         {Ref(ReferenceKind::Variable, "hp", 0, 0, 6), Ref(ReferenceKind::Variable, "hp", 1, 0)},
         std::nullopt,
         "lies outside the code"},
        {"a count beyond what the code can hold",
         {Ref(ReferenceKind::Variable, "hp", 0, 0)},
         1000000u,
         "more than the code can hold"},
        {"chains that cross",
         {Ref(ReferenceKind::Variable, "score", 0, 4), Ref(ReferenceKind::Variable, "hp", 0, 0, 16)},
         2u,
         "already bound"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wad::CodeFields code = TwoEntries(CodeLayout::Newer);
        code.references = c.references;
        wad::VariablesFields variables;
        variables.globals = 1;
        variables.instances = 1;
        variables.variables = {{"score", -5, 0, std::nullopt}, {"hp", -1, 0, c.count}};
        EXPECT_FALSE(Load(CodeLayout::Newer, code, &variables, nullptr));
        EXPECT_NE(Error().find(c.error), std::string::npos) << Error();
        EXPECT_NE(Error().find("hp"), std::string::npos) << Error();
        for (int entry = 0; entry < 2; ++entry) {
            for (size_t word : {1, 3, 5, 7}) {
                if (entry == 0 && word == 5) continue; // the crossing chain's own reference
                EXPECT_EQ(After(CodeLayout::Newer, entry, word), Before(CodeLayout::Newer, entry, word))
                    << entry << ":" << word;
            }
        }
        Code_UnbindGameData();
    }
}

TEST_F(Binding, ReferencesOutsideTheCodeChunkAndBadSlotsAreRefused) {
    // A chain whose first reference is the header chunk: nothing there may change.
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.version = 15;
    wad::WriteHeader(w, header).Label("header");
    wad::WriteCode(w, TwoEntries(CodeLayout::Newer));
    wad::Chunk& vari = w.AddChunk("VARI");
    vari.U32(0).U32(1).U32(0).String("hp").S32(-1).S32(0).U32(1).Offset("header");
    m_image = w.Build();
    EXPECT_FALSE(GetResolution(m_image.data(), m_image.size()));
    EXPECT_NE(Error().find("lies outside the code"), std::string::npos) << Error();
    Code_UnbindGameData();

    struct Case {
        wad::VariableFields variable;
        const char* error;
    } cases[] = {
        {{"hp", -1, 2, std::nullopt}, "slot 2 outside its 2 slots"},
        {{"hp", -5, -1, std::nullopt}, "slot -1 outside its 1 slots"},
        {{"hp", -7, -4, std::nullopt}, "outside any scope"},
        {{"not_a_builtin", -6, -6, std::nullopt}, "Unable to find variable not_a_builtin"},
    };
    for (const Case& c : cases) {
        wad::VariablesFields variables;
        variables.globals = 1;
        variables.instances = 2;
        variables.variables = {c.variable};
        EXPECT_FALSE(Load(CodeLayout::Newer, TwoEntries(CodeLayout::Newer), &variables, nullptr));
        EXPECT_NE(Error().find(c.error), std::string::npos) << Error();
        Code_UnbindGameData();
    }
}

TEST_F(Binding, DamagedChunkShapesAreRefused) {
    struct Case {
        const char* tag;
        int version;
        std::vector<uint32_t> payload;
        const char* error;
    } cases[] = {
        {"VARI", 15, {0, 1, 0, 0, 0}, "do not fill the chunk"},
        {"VARI", 15, {2000000, 1, 0}, "more than the 1048576 the runtime accepts"},
        {"VARI", 14, {0, 0, 0, 0}, "do not fill the chunk"},
        {"FUNC", 14, {0, 0}, "do not fill the chunk"},
        {"FUNC", 15, {5, 0, 0, 0}, "does not fit"},
        {"FUNC", 15, {0, 3, 1, 0}, "does not fit"}, // local names: 3 functions promised
    };
    for (const Case& c : cases) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = static_cast<uint8_t>(c.version);
        wad::WriteHeader(w, header);
        wad::Chunk& chunk = w.AddChunk(c.tag);
        for (uint32_t word : c.payload) chunk.U32(word);
        m_image = w.Build();
        bool loaded =
            GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
        EXPECT_FALSE(loaded) << c.tag;
        EXPECT_NE(Error().find(c.error), std::string::npos) << c.tag << ": " << Error();
        Code_UnbindGameData();
    }
}

// The older opcode numbering, its comparison kinds and the operand sizes.
TEST_F(Binding, OlderBytecodeIsRenumbered) {
    wad::CodeFields code;
    code.layout = CodeLayout::Older;
    std::vector<uint32_t> words;
    for (uint32_t old = 0; old < 32; ++old) words.push_back(old << 24 | 0x00001234);
    words.push_back(0x53000000); // old 19 with a double operand: two words skipped
    words.push_back(0x1F000000); // (looks like a break word, but is operand)
    words.push_back(0x1F000000);
    words.push_back(0x41030000); // old 1 with an int64 operand
    words.push_back(0x13000000);
    words.push_back(0x13000000);
    words.push_back(0xC7F90000); // old 7, bit 31 set, an operand of a type without bytes
    words.push_back(0x13000000); // old 19, comparison kind 3
    code.entries.push_back({"old", words, 0, 0, 0});
    code.entries.push_back({"empty", {}, 0, 0, 0});
    ASSERT_TRUE(Load(CodeLayout::Older, code, nullptr, nullptr)) << Error();
    const uint32_t expected[32] = {0,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                   20, 21, 21, 21, 21, 21, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31};
    for (uint32_t old = 0; old < 32; ++old) {
        uint32_t word = After(CodeLayout::Older, 0, old);
        EXPECT_EQ(word >> 24, expected[old]) << old;
        if (expected[old] == 21)
            EXPECT_EQ(word & 0xFFFF, ((old - 16) << 8) | 0x34) << old;
        else
            EXPECT_EQ(word & 0xFFFF, 0x1234u) << old;
    }
    EXPECT_EQ(After(CodeLayout::Older, 0, 32), 0x55000300u) << "old 19 keeps bit 30, kind 3";
    EXPECT_EQ(After(CodeLayout::Older, 0, 33), 0x1F000000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 34), 0x1F000000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 35), 0x45030000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 36), 0x13000000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 37), 0x13000000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 38), 0xCBF90000u);
    EXPECT_EQ(After(CodeLayout::Older, 0, 39), 0x15000300u);
}

TEST_F(Binding, NewerBytecodeAndSharedEntriesAreLeftAlone) {
    wad::CodeFields code;
    code.layout = CodeLayout::Newer;
    code.entries.push_back({"main", {0x13000000, 0x41030000, 1, 2}, 0, 0, 0});
    code.entries.push_back({"shared", {0x13000000}, 0, 0, 4});
    ASSERT_TRUE(Load(CodeLayout::Newer, code, nullptr, nullptr)) << Error();
    for (size_t word = 0; word < 4; ++word)
        EXPECT_EQ(After(CodeLayout::Newer, 0, word), Before(CodeLayout::Newer, 0, word));
    EXPECT_EQ(After(CodeLayout::Newer, 1, 0), 0x13000000u);
}

TEST_F(Binding, OlderBytecodeThatLeavesItsChunkIsRefused) {
    for (int32_t length : {4096, 6}) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = 14;
        wad::WriteHeader(w, header);
        wad::Chunk& chunk = w.AddChunk("CODE");
        chunk.U32(1).Offset("entry").Label("entry").String("e").S32(length).U32(0x13000000).U32(0x13000000);
        m_image = w.Build();
        // A length past the chunk is refused with the code entries, before
        // any chunk is read; a cut instruction when the bytecode is rewritten.
        const bool entryFits = length == 6;
        EXPECT_EQ(GetResolution(m_image.data(), m_image.size()), entryFits) << Error();
        if (entryFits) {
            EXPECT_FALSE(LoadGameData(m_image.data(), m_image.size()));
        }
        EXPECT_NE(Error().find(entryFits ? "ends inside an instruction" : "run past the chunk's end"),
                  std::string::npos)
            << Error();
    }
}

TEST_F(Binding, GlobalCodeOfAnEarlierFileIsForgotten) {
    std::vector<int32_t> global = {0, 1};
    ASSERT_TRUE(Load(CodeLayout::Newer, TwoEntries(CodeLayout::Newer), nullptr, nullptr, &global));
    EXPECT_EQ(g_numGlobalScripts, 2);
    Code_UnbindGameData();
    ASSERT_TRUE(Load(CodeLayout::Newer, TwoEntries(CodeLayout::Newer), nullptr, nullptr));
    EXPECT_EQ(g_numGlobalScripts, 0);
    EXPECT_TRUE(g_GlobalScripts.Empty());
}

} // namespace
