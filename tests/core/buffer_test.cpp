// Binary buffers: typed writes and reads with alignment, growth and wrapping,
// the kinds reads produce, strings against the used size, seeking, resizing
// and raw reads and writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/buffer.h"
#include "core/memory_manager.h"
#include "core/rvalue.h"
#include "test_values.h"

namespace {

std::vector<unsigned char> Contents(const IBuffer& b) {
    return std::vector<unsigned char>(b.Data(), b.Data() + b.Size());
}

} // namespace

TEST(Buffer, AlignmentIsAPowerOfTwoOfTheLowNineBits) {
    struct Case {
        int requested;
        int alignment;
    } cases[] = {{0, 1}, {1, 1}, {3, 4}, {8, 8}, {300, 512}, {511, 512}, {512, 1}, {1024, 1}, {1025, 1}};
    for (const Case& c : cases) {
        Buffer_Standard b(16, eBuffer_Format_Fixed, c.requested);
        EXPECT_EQ(b.Alignment(), c.alignment) << c.requested;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(b.Data()) % static_cast<uintptr_t>(c.alignment), 0u);
    }
}

TEST(Buffer, FixedBufferAlignsRefusesAndKeepsThePosition) {
    Buffer_Standard b(8, eBuffer_Format_Fixed, 4);
    RValue one = Real(1);
    RValue big = Real(0x01020304);
    EXPECT_EQ(b.Write(eBuffer_U8, &one), 0);
    EXPECT_EQ(b.Write(eBuffer_U32, &big), 0);
    EXPECT_EQ(b.Tell(), 8);
    EXPECT_EQ(Contents(b), (std::vector<unsigned char>{1, 0, 0, 0, 4, 3, 2, 1}));
    EXPECT_EQ(b.Write(eBuffer_U8, &one), -2);
    EXPECT_EQ(b.Write(static_cast<eBuffer_Type>(99), &one), -2) << "the end is checked first";
    b.Seek(eBuffer_Start, 0);
    EXPECT_EQ(b.Write(static_cast<eBuffer_Type>(99), &one), -1);
    EXPECT_EQ(b.Write(eBuffer_F16, &one), -1);

    Buffer_Standard c(10, eBuffer_Format_Fixed, 1);
    c.Seek(eBuffer_Start, 9);
    RValue out = RValue_Undefined();
    EXPECT_EQ(c.Read(eBuffer_U16, &out), -1);
    EXPECT_EQ(out.Kind(), VALUE_REAL);
    EXPECT_EQ(out.val, -3.0);
    EXPECT_EQ(c.Tell(), 9);
}

TEST(Buffer, ReadsProduceTheKindsOfTheirTypes) {
    Buffer_Standard b(0, eBuffer_Format_Grow, 1);
    RValue v = Real(-2);
    RValue wide = RValue_Undefined();
    wide.v64 = int64_t{1} << 40;
    wide.kind = VALUE_INT64;
    for (eBuffer_Type t : {eBuffer_U8, eBuffer_S8, eBuffer_U16, eBuffer_S16, eBuffer_U32, eBuffer_S32,
                           eBuffer_F32, eBuffer_F64, eBuffer_Bool})
        ASSERT_EQ(b.Write(t, &v), 0) << t;
    ASSERT_EQ(b.Write(eBuffer_U64, &wide), 0);
    b.Seek(eBuffer_Start, 0);

    struct Expect {
        eBuffer_Type type;
        uint32_t kind;
        double number;
    } expected[] = {
        {eBuffer_U8, VALUE_INT32, 254},
        {eBuffer_S8, VALUE_INT32, -2},
        {eBuffer_U16, VALUE_INT32, 65534},
        {eBuffer_S16, VALUE_INT32, -2},
        {eBuffer_U32, VALUE_INT64, 4294967294.0},
        {eBuffer_S32, VALUE_INT32, -2},
        {eBuffer_F32, VALUE_REAL, -2},
        {eBuffer_F64, VALUE_REAL, -2},
        {eBuffer_Bool, VALUE_INT32, 0},
        {eBuffer_U64, VALUE_INT64, 1099511627776.0},
    };
    for (const Expect& e : expected) {
        RValue out = RValue_Undefined();
        ASSERT_EQ(b.Read(e.type, &out), 0) << e.type;
        EXPECT_EQ(out.Kind(), e.kind) << e.type;
        EXPECT_EQ(REAL_RValue(&out), e.number) << e.type;
    }
}

TEST(Buffer, GrowBuffersDoubleFromAnyStart) {
    Buffer_Standard b(0, eBuffer_Format_Grow, 1);
    RValue v = Real(7);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(b.Write(eBuffer_S32, &v), 0);
    EXPECT_EQ(b.Tell(), 400);
    EXPECT_EQ(b.Size(), 512);
    EXPECT_EQ(b.UsedSize(), 400);

    Buffer_Standard c(3, eBuffer_Format_Grow, 1);
    c.Seek(eBuffer_Start, 10);
    EXPECT_EQ(c.Write(eBuffer_U8, &v), 0) << "seeking past the end of a grow buffer grows on write";
    EXPECT_EQ(c.Size(), 12);
}

TEST(Buffer, WrapBufferCarriesThePhase) {
    Buffer_Standard b(10, eBuffer_Format_Wrap, 4);
    RValue v = Real(0x04030201);
    b.Seek(eBuffer_Start, 8);
    EXPECT_EQ(b.Write(eBuffer_U32, &v), 0);
    EXPECT_EQ(b.Tell(), 2);
    EXPECT_EQ(b.WrapPhase(), 2);
    auto bytes = Contents(b);
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[9], 2);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 4);
    EXPECT_EQ(b.Write(eBuffer_U32, &v), 0);
    EXPECT_EQ(b.Tell(), 6) << "the next u32 went to offset 2";

    // Reading wraps the same way.
    b.Seek(eBuffer_Start, 8);
    RValue out = RValue_Undefined();
    EXPECT_EQ(b.Read(eBuffer_U32, &out), 0);
    EXPECT_EQ(INT64_RValue(&out), 0x04030201);

    // Far seeks wrap by division and keep the phase arithmetic.
    b.Seek(eBuffer_Start, 0);
    EXPECT_EQ(b.Seek(eBuffer_Relative, 1000000005), 5);
    EXPECT_EQ(b.WrapPhase(), 0);
    EXPECT_EQ(b.Seek(eBuffer_Relative, -7), 8);
    EXPECT_EQ(b.WrapPhase(), 2);
}

TEST(Buffer, StringsStopAtTheUsedSize) {
    Buffer_Standard fresh(4, eBuffer_Format_Fixed, 1);
    RValue out = RValue_Undefined();
    EXPECT_EQ(fresh.Read(eBuffer_String, &out), 0) << "a fresh buffer is used up to its size";
    EXPECT_EQ(out.Kind(), VALUE_STRING);
    EXPECT_STREQ(out.pRefString->Get(), "");
    EXPECT_EQ(fresh.Tell(), 1);

    unsigned char bytes[] = {'a', 'b', 0, 'c'};
    for (eBuffer_Type type : {eBuffer_String, eBuffer_Text}) {
        Buffer_Standard b(bytes, 4, eBuffer_Format_Fixed, 1, false);
        EXPECT_EQ(b.Read(type, &out), 0);
        EXPECT_STREQ(out.pRefString->Get(), "ab");
        EXPECT_EQ(b.Tell(), 3);
        EXPECT_EQ(b.Read(type, &out), 0);
        EXPECT_STREQ(out.pRefString->Get(), "c") << "no zero before the end: the text runs to the used size";
        EXPECT_EQ(b.Tell(), 5);
    }
    FREE_RValue(&out);

    Buffer_Standard g(0, eBuffer_Format_Grow, 1);
    RValue s = Str("hi");
    EXPECT_EQ(g.Write(eBuffer_Text, &s), 0);
    EXPECT_EQ(g.Write(eBuffer_String, &s), 0);
    EXPECT_EQ(g.Write(nullptr), 0);
    EXPECT_EQ(g.Tell(), 2 + 3 + 2);
    EXPECT_EQ(std::memcmp(g.Data(), "hihi\0\x04", 7), 0);
    g.Seek(eBuffer_Start, 0);
    char* text = g.ReadString();
    EXPECT_STREQ(text, "hihi");
    ZQ_Free(text);
    RValue noText = RValue_Undefined();
    noText.kind = VALUE_STRING;
    EXPECT_EQ(g.Write(eBuffer_String, &noText), -1);
    FREE_RValue(&s);
}

TEST(Buffer, SeekAndResize) {
    Buffer_Standard b(10, eBuffer_Format_Fixed, 1);
    EXPECT_EQ(b.Seek(eBuffer_End, 3), 7);
    EXPECT_EQ(b.Seek(eBuffer_End, -5), 10);
    EXPECT_EQ(b.Seek(eBuffer_Start, -5), 0);
    EXPECT_EQ(b.Seek(eBuffer_Relative, -5), 0);
    EXPECT_EQ(b.Seek(eBuffer_Start, 2000000000), 2000000000);
    EXPECT_EQ(b.Seek(eBuffer_Relative, 2000000000), INT32_MAX) << "positions never overflow";
    RValue v = Real(1);
    EXPECT_EQ(b.Write(eBuffer_U8, &v), -2);

    Buffer_Standard r(16, eBuffer_Format_Fixed, 1);
    r.Seek(eBuffer_Start, 12);
    EXPECT_EQ(r.Resize(8), 8);
    EXPECT_EQ(r.Tell(), 0);
    EXPECT_EQ(r.UsedSize(), 8);
    EXPECT_EQ(r.Resize(-1), 8) << "a negative size changes nothing";

    Buffer_Standard s(16, eBuffer_Format_Fixed, 1);
    std::memset(s.Data(), 0xAB, 16);
    s.Seek(eBuffer_Start, 12);
    EXPECT_EQ(s.Resize(32), 32);
    EXPECT_EQ(s.Tell(), 12);
    EXPECT_EQ(s.Data()[15], 0xAB);
    for (int i = 16; i < 32; ++i) EXPECT_EQ(s.Data()[i], 0) << i;
}

TEST(Buffer, RawReadsAndWrites) {
    const char data[] = "0123456789";
    Buffer_Standard grow(0, eBuffer_Format_Grow, 1);
    EXPECT_EQ(grow.Write(data, 1, 10), 10);
    EXPECT_EQ(grow.Size(), 10) << "raw writes grow to the exact size";

    Buffer_Standard fixed(6, eBuffer_Format_Fixed, 1);
    fixed.Seek(eBuffer_Start, 2);
    EXPECT_EQ(fixed.Write(data, 2, 5), 4) << "cut at the end";
    EXPECT_EQ(fixed.Write(data, 1, 1), 0);
    EXPECT_EQ(fixed.Write(nullptr, 1, 1), 0);
    EXPECT_EQ(fixed.Write(data, 0x10000, 0x10000), 0) << "a byte count beyond 32 bits is refused";

    Buffer_Standard wrap(4, eBuffer_Format_Wrap, 1);
    wrap.Seek(eBuffer_Start, 3);
    EXPECT_EQ(wrap.Write(data, 1, 3), 3);
    EXPECT_EQ(wrap.Tell(), 2);
    EXPECT_EQ(std::memcmp(wrap.Data(), "12\0\x30", 4), 0);
    char out[8] = {};
    wrap.Seek(eBuffer_Start, 3);
    EXPECT_EQ(wrap.Read(out, 1, 6), 6);
    EXPECT_EQ(std::memcmp(out, "012\0\x30\x31", 6), 0);

    Buffer_Standard empty(0, eBuffer_Format_Wrap, 4);
    RValue v = Real(1);
    EXPECT_EQ(empty.Write(eBuffer_U32, &v), -2) << "a wrap buffer of size 0 touches nothing";
    EXPECT_EQ(empty.Write(data, 1, 3), 0);
    EXPECT_EQ(empty.Read(out, 1, 3), 0);
}
