// The byte ring: n - 1 usable bytes, wrapping copies, refusals when full or
// empty, and a producer and consumer on two threads.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "core/ring_buffer.h"

TEST(ZQRingBuffer, HoldsOneLessThanItsSizeAndWrapsAtTheEnd) {
    ZQRingBuffer ring(8);
    EXPECT_EQ(ring.LengthUsed(), 0);
    EXPECT_EQ(ring.LengthFree(), 7);
    const char in[] = "ABCDEFGHIJ";
    EXPECT_EQ(ring.Write(in, 7), 7);
    EXPECT_EQ(ring.Write(in + 7, 1), 0) << "the eighth byte is refused";
    EXPECT_EQ(ring.LengthUsed(), 7);
    EXPECT_EQ(ring.LengthFree(), 0);

    char out[16] = {};
    EXPECT_EQ(ring.Read(out, 3), 3);
    EXPECT_EQ(std::memcmp(out, "ABC", 3), 0);
    // Three more fit, written across the end of the block.
    EXPECT_EQ(ring.Write("xyz!", 4), 3);
    EXPECT_EQ(ring.LengthUsed(), 7);
    std::memset(out, 0, sizeof(out));
    EXPECT_EQ(ring.Read(out, 16), 7) << "a read takes what is there";
    EXPECT_STREQ(out, "DEFGxyz");
    EXPECT_EQ(ring.Read(out, 1), 0);
    EXPECT_EQ(ring.LengthFree(), 7);
}

TEST(ZQRingBuffer, DegenerateSizesAndArgumentsMoveNothing) {
    for (int size : {-4, 0, 1}) {
        ZQRingBuffer ring(size);
        char byte = 'x';
        EXPECT_EQ(ring.Write(&byte, 1), 0);
        EXPECT_EQ(ring.Read(&byte, 1), 0);
        EXPECT_EQ(ring.LengthUsed(), 0);
        EXPECT_EQ(ring.LengthFree(), 0);
    }
    ZQRingBuffer ring(4);
    char byte = 'x';
    EXPECT_EQ(ring.Write(&byte, -1), 0);
    EXPECT_EQ(ring.Write(nullptr, 1), 0);
    EXPECT_EQ(ring.Read(nullptr, 1), 0);
}

TEST(ZQRingBuffer, ProducerAndConsumerThreadsPassEveryByteInOrder) {
    ZQRingBuffer ring(61); // a size that does not divide the chunk lengths
    constexpr int kTotal = 200000;
    std::thread producer([&] {
        unsigned char chunk[37];
        int sent = 0;
        while (sent < kTotal) {
            const int n = std::min<int>(sizeof(chunk), kTotal - sent);
            for (int i = 0; i < n; ++i) chunk[i] = static_cast<unsigned char>((sent + i) * 7);
            int done = 0;
            while (done < n) done += ring.Write(chunk + done, n - done);
            sent += n;
        }
    });
    std::vector<unsigned char> received;
    received.reserve(kTotal);
    unsigned char chunk[53];
    while (static_cast<int>(received.size()) < kTotal) {
        const int got = ring.Read(chunk, sizeof(chunk));
        received.insert(received.end(), chunk, chunk + got);
    }
    producer.join();
    for (int i = 0; i < kTotal; ++i)
        ASSERT_EQ(received[i], static_cast<unsigned char>(i * 7)) << "byte " << i;
}
