// The script buffer table: slots by index, reuse of the lowest free slot,
// growth, and deletion refused while outside users hold a buffer.
#include <gtest/gtest.h>

#include "core/buffer_table.h"
#include "error_capture.h"

TEST(BufferTable, SlotsAreReusedLowestFirstAndTheTableGrows) {
    EXPECT_EQ(BufferTable_Count(), 0);
    EXPECT_EQ(GetIBuffer(0), nullptr);
    for (int i = 0; i < 33; ++i) ASSERT_EQ(CreateBuffer(4, eBuffer_Format_Grow, 1), i);
    EXPECT_EQ(BufferTable_Count(), 64) << "32 slots, then doubled";
    FreeIBuffer(5);
    FreeIBuffer(2);
    EXPECT_EQ(GetIBuffer(2), nullptr);
    EXPECT_EQ(CreateBuffer(8, eBuffer_Format_Fast, 0), 2);
    EXPECT_EQ(GetIBuffer(2)->Size(), 8);
    EXPECT_EQ(GetIBuffer(2)->UsedSize(), 8);
    EXPECT_EQ(CreateBuffer(8, eBuffer_Format_Fixed, 1), 5);
    EXPECT_EQ(GetIBuffer(-1), nullptr);
    EXPECT_EQ(GetIBuffer(64), nullptr);
    FreeIBuffer(1000); // outside the table: nothing
}

TEST(BufferTable, AUsedBufferIsNotDeleted) {
    const int id = CreateBuffer(4, eBuffer_Format_Fixed, 1);
    GetIBuffer(id)->AddUse();
    EXPECT_FALSE(DeleteBufferIfUnused(id));
    EXPECT_NE(GetIBuffer(id), nullptr);
    GetIBuffer(id)->ReleaseUse();
    GetIBuffer(id)->ReleaseUse(); // never below 0
    EXPECT_EQ(GetIBuffer(id)->UseCount(), 0);
    EXPECT_TRUE(DeleteBufferIfUnused(id));
    EXPECT_FALSE(DeleteBufferIfUnused(id));
}

TEST(BufferTable, AnUnknownFormatIsAFatalErrorAndStoresNothing) {
    ErrorCapture errors;
    EXPECT_EQ(CreateBuffer(4, static_cast<eBuffer_Format>(9), 1), -1);
    EXPECT_EQ(errors.Count(), 1);
    EXPECT_EQ(BufferTable_Count(), 0);
}
