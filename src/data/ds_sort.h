// The data structures' sort: a stable merge sort that stays correct in
// bounds with any comparator, because ZQCompareVal (with its tolerance and
// its order across kinds) is not a strict weak order, and std::sort and
// qsort may read outside the range or never end when given one.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/memory_manager.h"

// Sorts items[0 .. n) so that no item is followed by one it `before`s, for a
// consistent comparator; whatever the comparator says, every step compares
// two items inside the range and moves one of them, so the sort ends after
// O(n log n) comparisons with the same items in some order. Stable: an item
// moves before an earlier one only when before(later, earlier) is true.
//
// Bottom-up: runs of 16 by insertion, then merges of doubling width through
// one scratch block (insertion alone when the block cannot be had).
template <typename T, typename Before>
void DS_StableSort(T* items, int64_t n, Before before) {
    static_assert(std::is_trivially_copyable_v<T>, "items are moved bytewise");
    constexpr int64_t kRun = 16;
    auto insertionSort = [&](int64_t first, int64_t last) {
        for (int64_t i = first + 1; i < last; ++i) {
            T item = items[i];
            int64_t j = i;
            while (j > first && before(item, items[j - 1])) {
                items[j] = items[j - 1];
                --j;
            }
            items[j] = item;
        }
    };
    if (n < 2) return;
    T* scratch = n > kRun ? ZQ_AllocArray<T>(static_cast<size_t>(n)) : nullptr;
    if (scratch == nullptr) {
        insertionSort(0, n);
        return;
    }
    for (int64_t first = 0; first < n; first += kRun)
        insertionSort(first, first + kRun < n ? first + kRun : n);

    T* from = items;
    T* to = scratch;
    for (int64_t width = kRun; width < n; width *= 2) {
        for (int64_t first = 0; first < n; first += 2 * width) {
            int64_t middle = first + width < n ? first + width : n;
            int64_t last = first + 2 * width < n ? first + 2 * width : n;
            int64_t left = first;
            int64_t right = middle;
            int64_t out = first;
            while (left < middle && right < last)
                to[out++] = before(from[right], from[left]) ? from[right++] : from[left++];
            while (left < middle) to[out++] = from[left++];
            while (right < last) to[out++] = from[right++];
        }
        T* swap = from;
        from = to;
        to = swap;
    }
    if (from != items) std::memcpy(static_cast<void*>(items), from, static_cast<size_t>(n) * sizeof(T));
    ZQ_Free(scratch);
}
