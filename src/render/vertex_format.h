// Vertex formats: the layout of one vertex of a script vertex buffer, an
// ordered list of {offset, type, usage, bit} elements with no padding, kept
// in a table by id (0x1000000 + a running number; ids are never reused).
#pragma once

#include <cstdint>
#include <vector>

// Element types: 1-4 float1..float4, 5 colour (4 normalised bytes), 6 ubyte4.
enum zqVertexType : int32_t {
    eVT_Float1 = 1,
    eVT_Float2 = 2,
    eVT_Float3 = 3,
    eVT_Float4 = 4,
    eVT_Colour = 5,
    eVT_UByte4 = 6,
};

// Usages: 1 position, 2 colour, 3 normal, 4 texture coordinate; 5-14 further
// usages that only the custom element built-in accepts.
enum zqVertexUsage : int32_t {
    eVU_Position = 1,
    eVU_Colour = 2,
    eVU_Normal = 3,
    eVU_TexCoord = 4,
    eVU_LastCustom = 14,
};

inline constexpr int32_t kVertexFormatIdBit = 0x1000000;

struct VertexElement {
    int32_t offset;
    int32_t type;
    int32_t usage;
    uint32_t bit;
};

// The GL description of an element (GL type, component count, normalised,
// index among the elements of the same usage).
struct GLVertexElement {
    uint32_t glType;
    int32_t components;
    bool normalised;
    int32_t usageIndex;
};

class VertexFormat {
public:
    void Add(int type, int usage, uint32_t elementBit);

    // Byte-swaps every 4-byte word of the elements of `count` vertices from
    // `offset` in a buffer of `size` bytes (negative: unbounded, not with
    // `wrap`); with `wrap` the buffer is a ring. Returns the vertices converted.
    int EndianSwapBuffer(unsigned char* buffer, int count, int offset, int size, bool wrap) const;

    static int GetTypeSize(int type);
    static int GetNumElementsInType(int type);
    static int GetElementSizeInType(int type);

    int32_t id = 0;
    int32_t numElements = 0;
    std::vector<VertexElement> elements;
    std::vector<GLVertexElement> glElements; // built when the format is finished
    uint32_t elementBits = 0;
    int32_t size = 0;
    uint32_t usageBits = 0;
};

VertexFormat* GetVertexFormat(int id);
bool VertexFormatExists(int id);
void CreateNativeVertexFormat(VertexFormat* format);
void FreeVertexFormat(VertexFormat* format);
// Gives the format the next id and enters it (the table owns it from then on).
void AddVertexFormat(VertexFormat* format);
void DeleteVertexFormat(VertexFormat* format);
void VertexFormat_Set(VertexFormat* format);
extern VertexFormat* g_ActiveVertexFormat;

// The format being built by the built-ins (null when none) and the bit the
// next element gets (0 when none is being built or 32 elements were added).
extern VertexFormat* g_NewFormat;
extern uint32_t g_FormatBit;
extern int32_t g_currVertexFormatID;

// Registers the vertex_format_* built-ins.
void InitVertexFormats();
// Deletes every format (the batch is flushed first).
void FINALIZE_VertexFormats();
// The same, also forgetting the format being built.
void ClearVertexFormats();
