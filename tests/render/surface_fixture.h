// A renderer on the headless context inside a frame (the frame's level on
// the render-target stack, as the platform view pushes it), with helpers to
// fill rectangles of the current target and to read surface pixels directly.
// Teardown frees every surface while the context still lives.
#pragma once

#include <cstring>
#include <vector>

#include "gl_device_fixture.h"
#include "render/read_back.h"
#include "render/render_target.h"
#include "render/surface.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"

class SurfaceTest : public GLDeviceTest {
protected:
    struct V24 {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };

    void SetUp() override {
        GLDeviceTest::SetUp();
        uint32_t pixels[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
        white = Graphics::CreateTextureFromData(reinterpret_cast<const uint8_t*>(pixels), 2, 2, nullptr,
                                                eTextureFormat_A8R8G8B8);
        ASSERT_TRUE(GR_D3D_Start_Frame());
        ASSERT_TRUE(Graphics::SaveRenderTarget());
        g_States.SetRenderState(eRS_BlendEnable, 0);
    }

    void TearDown() override {
        GR_Surface_FreeAll();
        while (Graphics::RestoreRenderTarget()) {
        }
        GR_D3D_Finish_Frame(false);
        GLDeviceTest::TearDown();
        GR_Texture_Init();
    }

    // A solid rectangle [x0, x1) × [y0, y1) in room pixels of the current target.
    void Fill(float x0, float y0, float x1, float y1, uint32_t colour) {
        auto* v = static_cast<V24*>(Graphics::AllocVerts(4, white, eVF_PosColourTex, 6));
        ASSERT_NE(v, nullptr);
        const V24 tl{x0, y0, 0, colour, 0, 0}, tr{x1, y0, 0, colour, 1, 0}, bl{x0, y1, 0, colour, 0, 1},
            br{x1, y1, 0, colour, 1, 1};
        v[0] = tl, v[1] = tr, v[2] = bl, v[3] = tr, v[4] = br, v[5] = bl;
    }

    // A surface's pixel as stored, read straight from its frame buffer.
    static uint32_t Stored(int surface, int x, int y) {
        Graphics::Flush();
        Texture* t = GR_Texture_Get_Surface(GR_Surface_Get_Texture(surface));
        uint32_t pixel = 0;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(t->frameBufferID));
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(g_CurrentFrameBuffer));
        return pixel;
    }

    // A window pixel with y from the top.
    uint32_t Window(int x, int yFromTop) {
        Graphics::Flush();
        uint32_t pixel = 0;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(g_CurrentFrameBuffer));
        return pixel;
    }

    Texture* white = nullptr;
};

// Vertex colours 0xAABBGGRR.
inline constexpr uint32_t kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlue = 0xFFFF0000u;
