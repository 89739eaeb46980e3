// Frozen script vertex buffers: the vertices live in a GL buffer object and
// are drawn through the same program and attribute path as the batch.
#pragma once

#include <cstdint>

struct Texture;

struct VertexBuffer {
    VertexBuffer() = default;
    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;
    ~VertexBuffer();

    // Records the layout; false without buffer object support. Any earlier
    // GL buffer is replaced by a new, empty one.
    bool Init(int format, int vertexCount, int flags);
    // Loads `size` bytes (streamed when flags has the bit of value 2).
    void UpdateFromBuffer(const void* data, int size);
    bool IsValid() const;

    int32_t format = 0;
    int32_t vertexSize = 0;
    int32_t vertexCount = 0;
    int32_t flags = 0;
    uint32_t buffer = 0; // the GL buffer name, 0 when none
};

namespace Graphics {
// Draws a caller's vertex array at once, leaving the batch pending.
void DrawArrayEx(int kind, int count, const void* vertices, int format);
// Draws `count` vertices of a frozen buffer with `texture` on the default
// stage; the batch is flushed first.
void DrawArrayFromVB(int kind, int count, int unused, int format, Texture* texture, VertexBuffer* buffer);
} // namespace Graphics
