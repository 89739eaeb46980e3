// Path-name helpers, lexical standardisation and folder making.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/file_paths.h"
#include "core/memory_manager.h"

namespace {

std::string Take(char* block) {
    std::string text = block != nullptr ? block : "(null)";
    ZQ_Free(block);
    return text;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zq_paths_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { DestroyDir(root.c_str()); }
    std::string root;
};

} // namespace

TEST(FilePaths, ExtractsPathNameExtensionAndDrive) {
    struct Case {
        const char* name;
        const char* path;
        const char* file;
        const char* ext;
    };
    const Case cases[] = {
        {"a/b/c.txt", "a/b", "c.txt", ".txt"},
        {"/file", "", "file", ""},
        {"a.b/c", "a.b", "c", ".b/c"}, // the extension search does not stop at separators
        {"dir\\sub\\x.tar.gz", "dir\\sub", "x.tar.gz", ".gz"},
        {"mixed/a\\b.png", "mixed/a", "b.png", ".png"},
        {"plain", "", "plain", ""},
        {"trailing/", "trailing", "", ""},
        {"", "", "", ""},
        {"caf\xC3\xA9/n\xC3\xB8.d\xC3\xA5t", "caf\xC3\xA9", "n\xC3\xB8.d\xC3\xA5t", ".d\xC3\xA5t"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Take(ExtractFilePath(c.name)), c.path) << c.name;
        EXPECT_EQ(Take(ExtractFileName(c.name)), c.file) << c.name;
        EXPECT_EQ(Take(ExtractFileExt(c.name)), c.ext) << c.name;
        EXPECT_EQ(Take(ExtractFileDrive(c.name)), c.name) << c.name;
    }
    EXPECT_EQ(Take(ExtractFileName(nullptr)), "");
}

TEST(FilePaths, StandardisesLexically) {
    const char* home = std::getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    setenv("HOME", "/home/someone", 1);
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"/a/b/../c", "/a/c"},
        {"/a/./b//c/", "/a/b/c"},
        {"/../..", "/"},
        {"/", "/"},
        {"\\a\\b\\..\\c", "/a/c"},
        {"/a/b/../../../x", "/x"},
        {"/Caps And Blanks/X", "/Caps And Blanks/X"},
        {"~/save", "/home/someone/save"},
        {"/a/~/b", "/a/~/b"},
        {"/a/..b/.c", "/a/..b/.c"},
    };
    for (const Case& c : cases) EXPECT_EQ(FilePath_Standardise(c.in), c.out) << c.in;
    if (home != nullptr)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
    char* cwd = GetCurrentDir();
    ASSERT_NE(cwd, nullptr);
    EXPECT_EQ(FilePath_Standardise("rel/x"), FilePath_Standardise(std::string(cwd) + "/rel/x"));
    ZQ_Free(cwd);
}

TEST(FilePaths, ExecutableNameIsThisProgram) {
    const std::string exe = GetExeName();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe[0], '/');
    EXPECT_NE(exe.find("test_core"), std::string::npos);
}

TEST_F(TempFolder, ForceDirectoriesMakesEveryMissingFolder) {
    const std::string deep = root + "/One/Two Words/three/";
    const std::string given = deep; // the caller's text is left as it was
    EXPECT_TRUE(ForceDirectories(deep.c_str()));
    EXPECT_EQ(deep, given);
    EXPECT_TRUE(DirectoryExists((root + "/One/Two Words/three").c_str()));
    struct stat info {};
    ASSERT_EQ(stat((root + "/One").c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0775u & ~mask);

    EXPECT_TRUE(ForceDirectories(deep.c_str())) << "an existing folder";
    EXPECT_TRUE(ForceDirectories("/"));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_FALSE(ForceDirectories(nullptr));

    // A file in the way: the folder cannot be made and that is reported.
    FILE* file = std::fopen((root + "/file").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_FALSE(ForceDirectories((root + "/file/below").c_str()));
    EXPECT_FALSE(ForceDirectories((root + "/file").c_str()));

    // A short name is made like any other.
    char* cwd = GetCurrentDir();
    ASSERT_EQ(chdir(root.c_str()), 0);
    EXPECT_TRUE(ForceDirectories("ab"));
    EXPECT_TRUE(DirectoryExists((root + "/ab").c_str()));
    ASSERT_EQ(chdir(cwd), 0);
    ZQ_Free(cwd);
}

TEST_F(TempFolder, EnsureDirectoryAndDestroyDir) {
    EnsureDirectoryIsCreated((root + "/x/y/file.txt").c_str());
    EXPECT_TRUE(DirectoryExists((root + "/x/y").c_str()));
    EXPECT_FALSE(DirectoryExists((root + "/x/y/file.txt").c_str()));
    EnsureDirectoryIsCreated("nofolder.txt"); // nothing to make

    FILE* file = std::fopen((root + "/x/y/file.txt").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_TRUE(RegularFileExists((root + "/x/y/file.txt").c_str()));
    EXPECT_FALSE(RegularFileExists((root + "/x/y").c_str()));
    DestroyDir((root + "/x").c_str());
    EXPECT_FALSE(DirectoryExists((root + "/x").c_str()));
    DestroyDir((root + "/missing").c_str()); // failures are ignored
    DestroyDir("");
}
