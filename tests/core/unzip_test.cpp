// Zip expansion: entries land under the destination in the save area with
// their names reported; entries whose names leave the destination are
// refused, and empty entries (folders) write nothing.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/file_paths.h"
#include "core/load_save.h"
#include "core/unzip.h"

namespace {

bool Exists(const std::string& path) {
    return std::ifstream(path).good();
}

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Unzip : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zq_unzip_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg != nullptr) m_savedXdg = xdg;
        setenv("XDG_DATA_HOME", (m_root + "/data").c_str(), 1);
        g_InitFilePathBuffer = false;
        m_save = std::string(GetSavePrePend());
    }
    void TearDown() override {
        if (m_savedXdg.has_value())
            setenv("XDG_DATA_HOME", m_savedXdg->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        g_InitFilePathBuffer = false;
        DestroyDir(m_root.c_str());
    }

    // Writes an archive of (name, content) entries; a name ending in "/" is a folder.
    std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& entries) {
        const std::string path = m_root + "/test.zip";
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        EXPECT_NE(archive, nullptr);
        for (const auto& [name, content] : entries) {
            if (!name.empty() && name.back() == '/') {
                zip_dir_add(archive, name.c_str(), ZIP_FL_ENC_UTF_8);
                continue;
            }
            zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
            zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        }
        EXPECT_EQ(zip_close(archive), 0);
        return path;
    }

    std::string m_root, m_save;
    std::optional<std::string> m_savedXdg;
};

} // namespace

TEST_F(Unzip, ExtractsEntriesAndRefusesNamesLeavingTheDestination) {
    const std::string zip = MakeZip({{"a.txt", "alpha"},
                                     {"../evil.txt", "x"},
                                     {"sub/../../evil2.txt", "x"},
                                     {"/abs.txt", "x"},
                                     {"dir/", ""},
                                     {"dir/b.txt", "beta"},
                                     {"ok..name.txt", "dots"}});
    char names[7][256];
    std::memset(names, 'z', sizeof(names));
    const std::string out = m_save + "out";
    EXPECT_EQ(Command_Unzip(zip.c_str(), out.c_str(), 7, 256, &names[0][0]), 7);
    EXPECT_EQ(Read(m_save + "out/a.txt"), "alpha");
    EXPECT_EQ(Read(m_save + "out/dir/b.txt"), "beta");
    EXPECT_EQ(Read(m_save + "out/ok..name.txt"), "dots") << "dots inside a name are fine";
    EXPECT_FALSE(Exists(m_save + "evil.txt"));
    EXPECT_FALSE(Exists(m_save + "out/evil.txt"));
    EXPECT_FALSE(Exists(m_root + "/data/evil.txt"));
    EXPECT_FALSE(Exists(m_save + "evil2.txt"));
    EXPECT_EQ(std::string(names[0]), out + "/a.txt");
    EXPECT_STREQ(names[1], "") << "a refused entry reports no name";
    EXPECT_STREQ(names[3], "");
    EXPECT_EQ(std::string(names[4]), out + "/dir/");
}

TEST_F(Unzip, AMissingArchiveGivesZero) {
    EXPECT_EQ(Command_Unzip((m_root + "/none.zip").c_str(), "out", 0, 0, nullptr), 0);
}
