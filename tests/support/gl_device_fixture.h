// A renderer opened on a headless Mesa context: the device, its state cache
// and its blank texture as GR_D3D_Init leaves them. Teardown frees every
// texture and closes the device, so each test starts from a fresh context.
#pragma once

#include <gtest/gtest.h>

#include "console_capture.h"
#include "headless_gl.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/render_state.h"
#include "render/texture.h"
#include "render/texture_table.h"

class GLDeviceTest : public QuietTest {
protected:
    static constexpr int kSize = 32;

    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.Error();
        g_DeviceWidth = g_DeviceHeight = kSize;
        g_DisplayWidth = g_DisplayHeight = kSize;
        g_CurrActiveTexture = 0;
        for (Texture*& cached : _pLastTexture) cached = nullptr;
        ASSERT_TRUE(GR_D3D_Init(nullptr, kSize, kSize, 0));
        g_States.Flush();
    }

    void TearDown() override {
        TextureTable_Reset(); // the table's textures, before the rest are freed
        while (Texture::ms_pFirst != nullptr) Graphics::FreeTexture(Texture::ms_pFirst);
        g_pBlankTexture = nullptr;
        GR_D3D_End();
        begin_end = 0;
        g_GraphicsInitialised = false;
        g_pGLLayer = nullptr;
        g_SupportNPOT = true;
        g_RenderTargetActive = 1;
        g_States.Reset();
    }

    static GLint GetInt(GLenum name) {
        GLint v = 0;
        glGetIntegerv(name, &v);
        return v;
    }

    HeadlessGL gl{kSize, kSize};
};
