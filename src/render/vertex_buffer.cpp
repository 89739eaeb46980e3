#include "render/vertex_buffer.h"

#include "core/support_output.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/texture.h"
#include "render/vertex_batch.h"
#include "render/vertex_format.h"

VertexBuffer::~VertexBuffer() {
    if (buffer != 0) glDeleteBuffers(1, &buffer);
}

bool VertexBuffer::Init(int format_, int vertexCount_, int flags_) {
    format = format_;
    if ((format_ & kVertexFormatIdBit) == 0) {
        vertexSize = format_;
    } else if (const VertexFormat* f = GetVertexFormat(format_); f != nullptr) {
        vertexSize = f->size;
    } else {
        Support_DebugOutput("Invalid vertex format: 0x%x\n", static_cast<unsigned>(format_));
        vertexSize = 1;
    }
    vertexCount = vertexCount_;
    flags = flags_;
    if (!g_SupportVBOs) return false;
    if (buffer != 0) glDeleteBuffers(1, &buffer);
    buffer = 0;
    glGenBuffers(1, &buffer);
    return true;
}

void VertexBuffer::UpdateFromBuffer(const void* data, int size) {
    if (buffer == 0 || size < 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, size, data, (flags & 2) != 0 ? GL_STREAM_DRAW : GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

bool VertexBuffer::IsValid() const {
    return g_SupportVBOs && buffer != 0;
}

void Graphics::DrawArrayEx(int kind, int count, const void* vertices, int format) {
    if (count <= 0 || vertices == nullptr) return;
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    DrawArray(kind, count, static_cast<const uint8_t*>(vertices), format);
}

void Graphics::DrawArrayFromVB(int kind, int count, int, int format, Texture* texture, VertexBuffer* vb) {
    if (count <= 0 || vb == nullptr || vb->buffer == 0) return;
    Graphics::Flush();
    Graphics::SetTexture(g_DefaultTextureStage, texture);
    glBindBuffer(GL_ARRAY_BUFFER, vb->buffer);
    // With the buffer bound, the attribute pointers are offsets into it.
    DrawArray(kind, count, nullptr, format);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
