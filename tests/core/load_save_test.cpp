// The file service over temporary folders: name-to-path mapping for the save
// area and the bundle, whole-file reads, atomic writes, zip expansion.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/load_save.h"
#include "core/memory_manager.h"

namespace {

void PutFile(const std::string& path, const std::string& contents) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
}

std::string GetFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return "(missing)";
    std::string contents;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) contents.append(chunk, got);
    std::fclose(file);
    return contents;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    return names;
}

std::string SaveName(const char* name, int size = 2048) {
    std::vector<char> buffer(static_cast<size_t>(size), 'x');
    const bool mapped = LoadSave::_GetSaveFileName(buffer.data(), size, name);
    EXPECT_EQ(mapped, buffer[0] != '\0') << name;
    return buffer.data();
}

std::string BundleName(const char* name, int size = 2048) {
    std::vector<char> buffer(static_cast<size_t>(size), 'x');
    const bool mapped = LoadSave::_GetBundleFileName(buffer.data(), size, name);
    EXPECT_EQ(mapped, buffer[0] != '\0') << name;
    return buffer.data();
}

// A game in "<root>/Game Folder/Bundle/game.ios" (capitals and a blank in the
// bundle's own folder) and the save area under a temporary XDG_DATA_HOME.
class FileService : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zq_files_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        bundle = root + "/Game Folder/Bundle/";
        ASSERT_TRUE(ForceDirectories(bundle.c_str()));
        PutFile(bundle + "game.ios", "FORM");
        Remember("XDG_DATA_HOME");
        Remember("HOME");
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        setenv("HOME", (root + "/home").c_str(), 1);
        LoadSave_SetGameName((bundle + "game.ios").c_str());
        LoadSave_SetWorkingDirectory(bundle.c_str());
        save = root + "/data/corvane/";
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value.has_value())
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        LoadSave_SetGameName(nullptr);
        LoadSave_SetWorkingDirectory(nullptr);
        SaveWhitelist_Clear();
        DestroyDir(root.c_str());
    }
    void Remember(const char* name) {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }

    std::string root, bundle, save;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

} // namespace

TEST_F(FileService, PrefixesAreTheGameFolderAndTheSaveArea) {
    EXPECT_EQ(std::string(sysGetFilePrePend()), bundle);
    EXPECT_EQ(std::string(GetSavePrePend()), save);
    EXPECT_TRUE(g_InitFilePathBuffer);
    EXPECT_TRUE(DirectoryExists(save.c_str())) << "made on first use";
    EXPECT_EQ(pathForDataFile() + "/", save);

    // Without XDG_DATA_HOME (or with a relative one) the save area is under the home folder.
    for (const char* xdg : {static_cast<const char*>(nullptr), "relative/data"}) {
        if (xdg != nullptr)
            setenv("XDG_DATA_HOME", xdg, 1);
        else
            unsetenv("XDG_DATA_HOME");
        g_InitFilePathBuffer = false;
        EXPECT_EQ(std::string(GetSavePrePend()), root + "/home/.local/share/corvane/");
    }

    // A game path without a folder means the current folder, never the root.
    LoadSave_SetGameName("game.ios");
    char* cwd = GetCurrentDir();
    EXPECT_EQ(std::string(GetFilePrePend()), FilePath_Standardise(cwd) + "/");
    ZQ_Free(cwd);
    LoadSave_SetGameName("/game.ios");
    EXPECT_EQ(std::string(GetFilePrePend()), "/");
    // No game path: "assets/" beside the executable.
    LoadSave_SetGameName(nullptr);
    const std::string exe = GetExeName();
    EXPECT_EQ(std::string(GetFilePrePend()), exe.substr(0, exe.rfind('/')) + "/assets/");
}

TEST_F(FileService, MapsNamesIntoTheSaveAreaAndTheBundle) {
    SaveWhitelist_Add("/etc/Hosts", false);
    SaveWhitelist_Add((root + "/workshop/").c_str(), true);
    struct Case {
        std::string name;
        std::string savePath;   // empty: no place in the save area
        std::string bundlePath; // empty: no place in the bundle
    };
    const std::vector<Case> cases = {
        {"Levels/Level One.txt", save + "Levels/Level One.txt", bundle + "levels/level_one.txt"},
        {"Data/My File.TXT", save + "Data/My File.TXT", bundle + "data/my_file.txt"},
        {"Levels\\Level One.txt", save + "Levels/Level One.txt", bundle + "levels/level_one.txt"},
        {"a/./b/../c.txt", save + "a/c.txt", bundle + "a/c.txt"},
        {"a//b.txt", save + "a/b.txt", bundle + "a/b.txt"},
        {bundle + "Sub/F.txt", save + "Sub/F.txt", bundle + "sub/f.txt"},
        {save + "deep/Slot 1.dat", save + "deep/Slot 1.dat", ""},
        {"../escape.txt", "", ""},
        {"..\\..\\escape.txt", "", ""},
        {"a/../../escape.txt", "", ""},
        {"/etc/passwd", "", ""},
        {"/etc/hosts", "/etc/hosts", ""},
        {root + "/workshop/item/x.bin", root + "/workshop/item/x.bin", ""},
        {root + "/workshopper/x.bin", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaveName(c.name.c_str()), c.savePath) << "save path of " << c.name;
        EXPECT_EQ(BundleName(c.name.c_str()), c.bundlePath) << "bundle path of " << c.name;
    }
    EXPECT_EQ(SaveName(nullptr), "");
    EXPECT_EQ(BundleName(nullptr), "");

    char full[2048];
    EXPECT_TRUE(GetFullPathName("x/../y.txt", full, sizeof(full)));
    EXPECT_EQ(std::string(full), bundle + "y.txt");
}

TEST_F(FileService, PathsThatDoNotFitAreRefusedNotCut) {
    // Fits 2047 bytes but not a 1024-byte buffer: the caller's size is honoured.
    const std::string medium = "m/" + std::string(1500, 'n');
    EXPECT_EQ(SaveName(medium.c_str(), 2048), save + medium);
    EXPECT_EQ(SaveName(medium.c_str(), 1024), "");
    EXPECT_EQ(BundleName(medium.c_str(), 1024), "");
    // Beyond the path limit in any buffer.
    const std::string huge(5000, 'h');
    EXPECT_EQ(SaveName(huge.c_str(), 8192), "");
    EXPECT_EQ(BundleName(huge.c_str(), 8192), "");
    EXPECT_FALSE(LoadSave::WriteFile(huge.c_str(), "x", 1));
    EXPECT_FALSE(LoadSave::SaveFileExists(huge.c_str()));
    EXPECT_EQ(LoadSave::ReadSaveFile(huge.c_str(), nullptr), nullptr);
    char tiny[4] = "abc";
    EXPECT_FALSE(LoadSave::_GetSaveFileName(tiny, sizeof(tiny), "x"));
    EXPECT_STREQ(tiny, "");
}

TEST_F(FileService, WritesReadsTestsAndRemovesSavedFiles) {
    const std::string bytes("Slot\0data\xff", 10);
    ASSERT_TRUE(LoadSave::WriteFile("Saves/Slot 1.dat", bytes.data(), static_cast<int>(bytes.size())));
    EXPECT_EQ(GetFile(save + "Saves/Slot 1.dat"), bytes);
    EXPECT_TRUE(LoadSave::SaveFileExists("Saves/Slot 1.dat"));
    EXPECT_TRUE(FileExists("Saves/Slot 1.dat"));
    EXPECT_FALSE(LoadSave::BundleFileExists("Saves/Slot 1.dat"));

    int length = -1;
    char* block = LoadSave::ReadSaveFile("Saves/Slot 1.dat", &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(std::string(block, 10), bytes);
    EXPECT_EQ(block[10], '\0') << "the contents are followed by a zero byte";
    ZQ_Free(block);

    // Overwriting replaces the whole file, and keeps its permissions.
    ASSERT_EQ(chmod((save + "Saves/Slot 1.dat").c_str(), 0600), 0);
    ASSERT_TRUE(LoadSave::WriteFile("Saves/Slot 1.dat", "new", 3));
    EXPECT_EQ(GetFile(save + "Saves/Slot 1.dat"), "new");
    struct stat info {};
    ASSERT_EQ(stat((save + "Saves/Slot 1.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(FolderEntries(save + "Saves"), std::vector<std::string>{"Slot 1.dat"})
        << "no temporary file left";

    EXPECT_TRUE(LoadSave::RemoveSaveFile("Saves/Slot 1.dat"));
    EXPECT_FALSE(LoadSave::SaveFileExists("Saves/Slot 1.dat"));
    EXPECT_FALSE(LoadSave::RemoveSaveFile("Saves/Slot 1.dat"));
    EXPECT_EQ(LoadSave::ReadSaveFile("Saves/Slot 1.dat", &length), nullptr);
    EXPECT_FALSE(LoadSave::WriteFile("../outside.txt", "x", 1));
    EXPECT_FALSE(LoadSave::WriteFile("bad.txt", nullptr, 4));
    EXPECT_FALSE(LoadSave::WriteFile("bad.txt", "x", -1));
}

TEST_F(FileService, EmptyFilesFoldersAndTheBundle) {
    ASSERT_TRUE(LoadSave::WriteFile("empty.txt", nullptr, 0));
    int length = -1;
    char* block = LoadSave::ReadSaveFile("empty.txt", &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(block[0], '\0');
    ZQ_Free(block);

    // A folder is not a file: existence says no and reading fails.
    ASSERT_TRUE(ForceDirectories((save + "folder").c_str()));
    ASSERT_TRUE(ForceDirectories((bundle + "folder").c_str()));
    EXPECT_FALSE(LoadSave::SaveFileExists("folder"));
    EXPECT_FALSE(LoadSave::BundleFileExists("folder"));
    EXPECT_EQ(LoadSave::ReadSaveFile("folder", nullptr), nullptr);
    EXPECT_EQ(LoadSave::_ReadFile((save + "folder").c_str(), nullptr), nullptr);
    EXPECT_EQ(LoadSave::_ReadFile((root + "/missing").c_str(), nullptr), nullptr);
    // Nor is a pipe, and reading one must not wait for a writer.
    ASSERT_EQ(mkfifo((save + "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(LoadSave::SaveFileExists("pipe"));
    EXPECT_EQ(LoadSave::_ReadFile((save + "pipe").c_str(), nullptr), nullptr);

    // An included file and a written file of the same name: the written one is
    // found first in the save-then-bundle order, the included one stays readable.
    ASSERT_TRUE(ForceDirectories((bundle + "config").c_str()));
    PutFile(bundle + "config/settings.ini", "included");
    EXPECT_TRUE(FileExists("Config/Settings.ini"));
    EXPECT_FALSE(LoadSave::SaveFileExists("Config/Settings.ini"));
    ASSERT_TRUE(LoadSave::WriteFile("Config/Settings.ini", "written", 7));
    EXPECT_TRUE(LoadSave::SaveFileExists("Config/Settings.ini"));
    block = LoadSave::ReadSaveFile("Config/Settings.ini", &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block, static_cast<size_t>(length)), "written");
    ZQ_Free(block);
    block = LoadSave::ReadBundleFile("Config/Settings.ini", &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block, static_cast<size_t>(length)), "included");
    ZQ_Free(block);

    // The game data file is read by the path it was given.
    block = LoadSave::ReadBundleFile(g_pGameName, &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block, static_cast<size_t>(length)), "FORM");
    ZQ_Free(block);
}

// A write cut short (here by the file-size limit, as a full disk would) fails
// and leaves the old file whole, with no temporary file behind.
TEST_F(FileService, AShortWriteFailsAndKeepsTheOldFile) {
    ASSERT_TRUE(LoadSave::WriteFile("keep.dat", "old contents", 12));
    const std::string big(256 * 1024, 'N');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool wrote = LoadSave::WriteFile("keep.dat", big.data(), static_cast<int>(big.size()));
        _exit(wrote ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the short write was reported as a success";
    EXPECT_EQ(GetFile(save + "keep.dat"), "old contents");
    EXPECT_EQ(FolderEntries(save), std::vector<std::string>{"keep.dat"}) << "the temporary file is removed";
}

// A process killed in the middle of a write leaves the old file whole.
TEST_F(FileService, AWriteInterruptedByACrashKeepsTheOldFile) {
    ASSERT_TRUE(LoadSave::WriteFile("keep.dat", "old contents", 12));
    const std::string big(256 * 1024, 'N');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit); // SIGXFSZ kills the writer part-way
        LoadSave::WriteFile("keep.dat", big.data(), static_cast<int>(big.size()));
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(GetFile(save + "keep.dat"), "old contents");
}

TEST_F(FileService, ExpandsAZipArchiveInsideTheSaveArea) {
    const std::string archivePath = root + "/assets.zip";
    int error = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    struct Entry {
        const char* name;
        const char* data;
        unsigned mode;
    };
    const Entry entries[] = {
        {"game.ios", "FORMdata", 0644},
        {"Music/Theme One.ogg", "OggS", 0600},
        {"tools/run.sh", "#!/bin/sh\n", 0755},
        {"../../escaped.txt", "no", 0644},
    };
    for (const Entry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data, std::strlen(entry.data), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name, source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                         (0100000u | entry.mode) << 16);
    }
    ASSERT_EQ(zip_close(archive), 0);

    const std::string destination = save + "game";
    char names[2][256] = {};
    EXPECT_EQ(LoadSave::_ExpandCompressedFile(destination.c_str(), archivePath.c_str(), &names[0][0], 256, 2),
              4);
    EXPECT_EQ(std::string(names[0]), destination + "/game.ios");
    EXPECT_EQ(std::string(names[1]), destination + "/Music/Theme One.ogg");
    EXPECT_EQ(GetFile(destination + "/game.ios"), "FORMdata");
    EXPECT_EQ(GetFile(destination + "/Music/Theme One.ogg"), "OggS");
    struct stat info {};
    ASSERT_EQ(stat((destination + "/tools/run.sh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    ASSERT_EQ(stat((destination + "/Music/Theme One.ogg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // An entry that climbs out of the save area is not written.
    EXPECT_EQ(GetFile(root + "/data/escaped.txt"), "(missing)");
    EXPECT_EQ(GetFile(root + "/escaped.txt"), "(missing)");

    EXPECT_EQ(
        LoadSave::_ExpandCompressedFile(destination.c_str(), (root + "/none.zip").c_str(), nullptr, 0, 0), 0);
}
