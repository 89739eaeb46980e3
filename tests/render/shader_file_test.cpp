// Programs built from two shader files: the save area is read before the
// bundle, each stage is put behind the preamble and its common code, and a
// missing file or a failed build gives -1.
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "core/file_paths.h"
#include "core/load_save.h"
#include "gl_device_fixture.h"
#include "render/shader.h"

namespace {

class ShaderFiles : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        char pattern[] = "/tmp/zq_shader_files_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        bundle = root + "/bundle/";
        ASSERT_TRUE(ForceDirectories(bundle.c_str()));
        if (const char* xdg = std::getenv("XDG_DATA_HOME")) oldXdg = xdg;
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        LoadSave_SetGameName((bundle + "game.ios").c_str());
        LoadSave_SetWorkingDirectory(bundle.c_str());
    }
    void TearDown() override {
        if (oldXdg.has_value())
            setenv("XDG_DATA_HOME", oldXdg->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        LoadSave_SetGameName(nullptr);
        LoadSave_SetWorkingDirectory(nullptr);
        DestroyDir(root.c_str());
        GLDeviceTest::TearDown();
    }
    void PutBundle(const char* name, const char* text) { std::ofstream(bundle + name) << text; }
    void PutSave(const char* name, const char* text) {
        ASSERT_TRUE(LoadSave::WriteFile(name, text, static_cast<int>(std::string(text).size())));
    }

    std::string root, bundle;
    std::optional<std::string> oldXdg;
};

// Bodies only: the matrices, the fog helper and vt_BaseTexture come from the
// common code each stage is given.
const char kVertexBody[] =
    "attribute vec3 in_Position;\nvarying float v_fFog;\n"
    "void main() { vec4 p = vec4(in_Position, 1.0);\n"
    "  gl_Position = vt_Matrices[MATRIX_WORLD_VIEW_PROJECTION] * p; v_fFog = CalcFogFactor(p); }\n";
const char kFragmentBody[] =
    "varying float v_fFog;\n"
    "void main() { gl_FragColor = DoFog(texture2D(vt_BaseTexture, vec2(0.0)), v_fFog); }\n";
const char kBroken[] = "void main() { nonsense; }\n";

TEST_F(ShaderFiles, BuildsFromTheSaveAreaBeforeTheBundle) {
    PutSave("a.vsh", kVertexBody);
    PutBundle("a.fsh", kFragmentBody);
    const int handle = Shader_Load("a.vsh", "a.fsh");
    ASSERT_NE(handle, -1);
    const GLSLShader* s = Shader_Get(handle);
    EXPECT_EQ(s->vertexSource.rfind("#version 120\n", 0), 0u);
    EXPECT_EQ(s->fragmentSource.rfind("#version 120\n", 0), 0u);
    EXPECT_NE(s->matricesUniform, -1);
    EXPECT_EQ(s->samplers.size(), 1u);

    // A broken copy in the save area hides a good one in the bundle.
    PutBundle("b.vsh", kVertexBody);
    PutSave("b.vsh", kBroken);
    EXPECT_EQ(Shader_Load("b.vsh", "a.fsh"), -1);
    // ... and a good saved copy hides a broken bundled one.
    PutBundle("c.fsh", kBroken);
    PutSave("c.fsh", kFragmentBody);
    EXPECT_NE(Shader_Load("a.vsh", "c.fsh"), -1);
}

TEST_F(ShaderFiles, MissingFilesAndFailedBuildsGiveMinusOne) {
    PutBundle("v.vsh", kVertexBody);
    PutBundle("f.fsh", kFragmentBody);
    PutBundle("bad.fsh", kBroken);
    const int before = Shader_Count();
    const struct {
        const char *vertex, *fragment;
    } cases[] = {{"none.vsh", "f.fsh"}, {"v.vsh", "none.fsh"}, {"v.vsh", "bad.fsh"}, {nullptr, "f.fsh"}};
    for (const auto& c : cases)
        EXPECT_EQ(Shader_Load(c.vertex, c.fragment), -1)
            << (c.vertex ? c.vertex : "null") << " " << c.fragment;
    EXPECT_EQ(Shader_Count(), before);
}

} // namespace
