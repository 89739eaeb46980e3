// INI documents: parsing edge cases, changes in memory, the written layout,
// round trips of awkward values and the write into the save area.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/file_paths.h"
#include "core/ini_file.h"
#include "core/load_save.h"
#include "core/memory_manager.h"

namespace {

std::string Written(IniFile& ini) {
    char* text = ini.WriteIniFile();
    std::string out = text != nullptr ? text : "(null)";
    ZQ_Free(text);
    return out;
}

std::string Read(const IniFile& ini, const char* section, const char* key) {
    return ini.ReadString(section, key, "(none)");
}

} // namespace

TEST(IniFile, ParsesCommentsQuotesAndWritesBackReversed) {
    IniFile ini;
    ini.SetText("[a]\r\nx=1\r\ny = 'two words' ; note\r\n");
    EXPECT_EQ(Read(ini, "a", "x"), "1");
    EXPECT_EQ(Read(ini, "a", "y"), "two words");
    EXPECT_EQ(ini.ReadInt("a", "x", 7), 1);
    EXPECT_EQ(ini.ReadInt("a", "z", 7), 7);
    EXPECT_EQ(Written(ini), "[a]\r\ny=\"two words\"\r\nx=\"1\"\r\n");
}

TEST(IniFile, LineCases) {
    struct Case {
        const char* text;
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"[s]\nk=  value  ; c\n", "s", "k", "value"},
        {"[s]\nk='a;b'\n", "s", "k", "a;b"},
        {"[s]\nk=\"say 'hi'\" rest\n", "s", "k", "say 'hi'"},
        {"[s]\nk=\nj=2\n", "s", "k", "(none)"},
        {"[s]\nk=\nj=2\n", "s", "j", "2"},
        {"[s]\nk= # only a comment\n", "s", "k", "(none)"},
        {"k=0\n[s]\nk=1\n", "s", "k", "1"},
        {"[s]\nk=1\nk=2\n", "s", "k", "2"},
        {"\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "1"},
        {"[A]\nk=1\n[a]\nk=2\n", "A", "k", "1"},
        {"[A]\nk=1\n[a]\nk=2\n", "a", "k", "2"},
        {"# c\n; c\n[s]\n; k=9\nk=3\n", "s", "k", "3"},
        {"[s]\nk=1\n[t", "s", "k", "1"},
        // A line without "=" is passed over: it neither stalls the parse nor
        // joins the next line or section header into a key name.
        {"[a]\nfoo", "a", "foo", "(none)"},
        {"[a]\nfoo\nk=1\n", "a", "k", "1"},
        {"[a]\nfoo\n[b]\nk=1\n", "b", "k", "1"},
        {"[a]\nfoo\n[b]\nk=1\n", "a", "foo\n[b]\nk", "(none)"},
        {"[a]\r\nno equals here\r\n[b]\r\nx = 5\r\n", "b", "x", "5"},
    };
    for (const Case& c : cases) {
        IniFile ini;
        ini.SetText(c.text);
        EXPECT_EQ(Read(ini, c.section, c.key), c.expected) << c.text;
    }
}

TEST(IniFile, EmptySectionsAndDuplicatesAreWrittenBack) {
    IniFile ini;
    ini.SetText("[e]\n[s]\nk=1\nk=2\n");
    ASSERT_NE(ini.GetSection("e"), nullptr);
    EXPECT_EQ(Written(ini), "[s]\r\nk=\"2\"\r\nk=\"1\"\r\n[e]\r\n");
}

TEST(IniFile, ChangesGoToTheFrontAndDeletionsUnlink) {
    IniFile ini;
    ini.SetText("[a]\nx=1\n");
    EXPECT_FALSE(ini.IsDirty());
    EXPECT_TRUE(ini.SetKey("a", "y", "2"));
    EXPECT_TRUE(ini.SetKey("a", "x", "3"));
    EXPECT_TRUE(ini.SetKey("b", "z", nullptr));
    EXPECT_TRUE(ini.IsDirty());
    EXPECT_EQ(Written(ini), "[b]\r\nz=\"\"\r\n[a]\r\ny=\"2\"\r\nx=\"3\"\r\n");
    EXPECT_FALSE(ini.SetKey(nullptr, "k", "v"));
    EXPECT_FALSE(ini.SetKey("a", nullptr, "v"));
    EXPECT_TRUE(ini.DeleteKey("a", "y"));
    EXPECT_FALSE(ini.DeleteKey("a", "y"));
    EXPECT_TRUE(ini.DeleteSection("b"));
    EXPECT_FALSE(ini.DeleteSection("b"));
    EXPECT_EQ(Written(ini), "[a]\r\nx=\"3\"\r\n");
    // The command section stores nothing (no path: the flush writes no file).
    EXPECT_TRUE(ini.SetKey("SYSTEM_COMMAND", "INI_FILE_FLUSH", "NOW"));
    EXPECT_EQ(ini.GetSection("SYSTEM_COMMAND"), nullptr);
}

// Whatever a value holds, writing and reading back cannot make a new key or
// section out of it; values that the layout can hold come back unchanged.
TEST(IniFile, ValuesRoundTripWithoutInjection) {
    const struct {
        const char* value;
        const char* back;
    } cases[] = {
        {"plain", "plain"},
        {"  padded  ", "  padded  "},
        {"a;b#c", "a;b#c"},
        {"say \"hi\"", "say \"hi\""},
        {"it's", "it's"},
        {"both \" and '", "both ' and '"},
        {"x\"\r\n[evil]\r\nk=\"1", "x\"  [evil]  k=\"1"},
        {"line\nbreak", "line break"},
        {"", ""},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ASSERT_TRUE(ini.SetKey("s", "k", c.value));
        IniFile again;
        again.SetText(Written(ini).c_str());
        EXPECT_EQ(Read(again, "s", "k"), c.back) << c.value;
        EXPECT_EQ(again.GetSection("evil"), nullptr);
        ASSERT_NE(again.GetSection("s"), nullptr);
        EXPECT_EQ(again.GetSection("s")->keys->next, nullptr) << c.value;
    }
    // Names the layout could not give back are refused.
    IniFile ini;
    for (const char* key : {"a=b", "a\nb", "[x", " k", "k ", "k;", "#k"})
        EXPECT_FALSE(ini.SetKey("s", key, "v")) << key;
    EXPECT_FALSE(ini.SetKey("s]\r\n[t", "k", "v"));
    EXPECT_EQ(ini.GetSection("s"), nullptr);
}

// A document with a path writes itself into the save area when dirty, and
// the flush command writes at once.
class IniFileSaveArea : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zq_ini_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        const char* old = std::getenv("XDG_DATA_HOME");
        savedXdg = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        ASSERT_TRUE(ForceDirectories((root + "/game/").c_str()));
        LoadSave_SetGameName((root + "/game/game.ios").c_str());
        LoadSave_SetWorkingDirectory((root + "/game/").c_str());
    }
    void TearDown() override {
        if (savedXdg.has_value())
            setenv("XDG_DATA_HOME", savedXdg->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        LoadSave_SetGameName(nullptr);
        LoadSave_SetWorkingDirectory(nullptr);
        DestroyDir(root.c_str());
    }
    static std::string SaveText(const char* name) {
        int length = 0;
        char* bytes = LoadSave::ReadSaveFile(name, &length);
        if (bytes == nullptr) return "(missing)";
        std::string out(bytes, static_cast<size_t>(length));
        ZQ_Free(bytes);
        return out;
    }
    std::string root;
    std::optional<std::string> savedXdg;
};

TEST_F(IniFileSaveArea, WritesWhenDirtyAndFlushesOnCommand) {
    {
        IniFile ini("sub/opts.ini", true);
        EXPECT_EQ(ini.GetSection("s"), nullptr);
        ASSERT_TRUE(ini.SetKey("s", "k", "v"));
        EXPECT_TRUE(ini.SetKey("SYSTEM_COMMAND", "INI_FILE_FLUSH", "NOW"));
        EXPECT_FALSE(ini.IsDirty());
    }
    EXPECT_EQ(SaveText("sub/opts.ini"), "[s]\r\nk=\"v\"\r\n");
    IniFile again("sub/opts.ini", false);
    EXPECT_EQ(Read(again, "s", "k"), "v");
    ZQ_Free(again.WriteIniFile()); // not dirty: the file stays as it is
    ASSERT_TRUE(again.SetKey("s", "k", "w"));
    ZQ_Free(again.WriteIniFile());
    EXPECT_EQ(SaveText("sub/opts.ini"), "[s]\r\nk=\"w\"\r\n");
}
