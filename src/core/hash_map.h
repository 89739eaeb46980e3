// CHashMap: open addressing with Robin Hood probing.
//
// Capacity is a power of two (1 << N to start) and doubles once the count
// passes int(capacity * 0.6). Each slot stores {key, value, hash}, where the
// stored hash is the key's hash & 0x7FFFFFFF and 0 marks an empty slot; an
// entry's probe distance is (slot - home) & mask. Insertion displaces richer
// residents (Robin Hood); deletion shifts the rest of the run back, so no
// tombstones exist and every lookup stops at the first empty slot or at the
// first resident closer to home than the probe.
//
// Growth allocates the doubled array and places every entry again in the
// order of the old array, as inserting them would, but without the threshold
// check or key comparisons (the entries are distinct). Slot arrays of a few
// kilobytes and more are parked on release for the next table of the same
// size on the same thread (CHashMapTables below): a fresh block costs a page
// fault per page, which made building a large map several times slower than
// all its probing.
//
// Integer keys hash to key + 1, C strings by MurmurHash3 with seed 0, byte
// pointers by address + 1. A hash that would be 0 (key -1) is stored as 1, and
// keys are always compared on a hash match, so no key is ever mistaken for an
// empty slot or for another key with the same 31-bit hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "core/memory_manager.h"
#include "core/murmur_hash.h"

template <typename K>
struct CHashMapKeyTraits {
    static_assert(std::is_integral_v<K>, "integer, C-string or byte-pointer keys");
    static uint32_t Hash(K key) { return static_cast<uint32_t>(key) + 1u; }
    static bool Equal(K a, K b) { return a == b; }
};

template <>
struct CHashMapKeyTraits<const char*> {
    static uint32_t Hash(const char* key) { return MurmurHash3_x86_32(key, std::strlen(key), 0); }
    static bool Equal(const char* a, const char* b) { return a == b || std::strcmp(a, b) == 0; }
};

template <>
struct CHashMapKeyTraits<unsigned char*> {
    static uint32_t Hash(unsigned char* key) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key) + 1);
    }
    static bool Equal(unsigned char* a, unsigned char* b) { return a == b; }
};

// Thirty-one bits of the key's hash; never 0, which marks an empty slot.
template <typename K>
inline uint32_t CHashMapCalculateHash(K key) {
    uint32_t hash = CHashMapKeyTraits<K>::Hash(key) & 0x7FFFFFFFu;
    return hash == 0 ? 1u : hash;
}

// Slot arrays of every CHashMap, by byte size. Take gives a zero-filled
// block (a parked one when there is one of that size, else a new manager
// block; null when memory is exhausted); Give parks the block or frees it.
// Parking is per thread and bounded in bytes, only blocks large enough to
// come from fresh pages are parked, and only while the memory manager pools.
void* CHashMapTables_Take(size_t bytes);
void CHashMapTables_Give(void* block, size_t bytes);
// Frees every block parked by the calling thread.
void CHashMapTables_Release();

template <typename K, typename V, int N>
class CHashMap {
    static_assert(std::is_trivially_copyable_v<K> && std::is_trivially_copyable_v<V>,
                  "slots live in zero-filled manager blocks and are moved bytewise");
    static_assert(N > 0 && N < 31);

public:
    struct Element {
        K key;
        V value;
        uint32_t hash; // 0 = empty
    };

    CHashMap() { Allocate(1u << N); }
    ~CHashMap() { CHashMapTables_Give(m_elements, Bytes(m_curSize)); }
    CHashMap(const CHashMap&) = delete;
    CHashMap& operator=(const CHashMap&) = delete;

    uint32_t Capacity() const { return m_curSize; }
    uint32_t Count() const { return m_numUsed; }
    uint32_t GrowThreshold() const { return m_growThreshold; }

    // Inserts the key or replaces its value.
    void Insert(K key, V value) {
        if (m_numUsed > m_growThreshold) Grow();
        ++m_numUsed;
        Element carried{key, value, CHashMapCalculateHash(key)};
        uint32_t slot = carried.hash & m_curMask;
        uint32_t dist = 0;
        for (;;) {
            Element& resident = m_elements[slot];
            if (resident.hash == 0) {
                resident = carried;
                return;
            }
            uint32_t residentDist = Distance(resident.hash, slot);
            if (residentDist < dist) {
                Element displaced = resident;
                resident = carried;
                carried = displaced;
                dist = residentDist;
            } else if (resident.hash == carried.hash && residentDist == dist &&
                       CHashMapKeyTraits<K>::Equal(resident.key, carried.key)) {
                resident.value = carried.value;
                --m_numUsed;
                return;
            }
            slot = (slot + 1) & m_curMask;
            ++dist;
        }
    }

    // The value of the key, or null when absent. Valid until the next insert or delete.
    V* Find(K key) {
        int32_t slot = FindSlot(key);
        return slot < 0 ? nullptr : &m_elements[slot].value;
    }
    const V* Find(K key) const { return const_cast<CHashMap*>(this)->Find(key); }
    bool Contains(K key) const { return Find(key) != nullptr; }

    // Removes the key's entry; true when there was one.
    bool Delete(K key) {
        int32_t found = FindSlot(key);
        if (found < 0) return false;
        uint32_t slot = static_cast<uint32_t>(found);
        for (;;) {
            uint32_t next = (slot + 1) & m_curMask;
            Element& following = m_elements[next];
            if (following.hash == 0 || Distance(following.hash, next) == 0) break;
            m_elements[slot] = following;
            slot = next;
        }
        std::memset(static_cast<void*>(&m_elements[slot]), 0, sizeof(Element));
        --m_numUsed;
        return true;
    }

    void Grow() {
        Element* old = m_elements;
        uint32_t oldSize = m_curSize;
        uint32_t count = m_numUsed;
        Allocate(oldSize * 2);
        for (uint32_t i = 0; i < oldSize; ++i) {
            if (old[i].hash != 0) Place(old[i]);
        }
        m_numUsed = count;
        CHashMapTables_Give(old, Bytes(oldSize));
    }

    // Visits entries in slot order; fn(key, value&).
    template <typename Fn>
    void ForEach(Fn&& fn) {
        for (uint32_t i = 0; i < m_curSize; ++i) {
            if (m_elements[i].hash != 0) fn(m_elements[i].key, m_elements[i].value);
        }
    }

    const Element* Slots() const { return m_elements; }

private:
    uint32_t Distance(uint32_t hash, uint32_t slot) const { return (slot - (hash & m_curMask)) & m_curMask; }
    static size_t Bytes(uint32_t size) { return static_cast<size_t>(size) * sizeof(Element); }

    // Insert's probe for an entry whose key the table cannot hold yet: the
    // same displacements, so the same layout, without the key comparison.
    void Place(Element carried) {
        uint32_t slot = carried.hash & m_curMask;
        uint32_t dist = 0;
        for (;;) {
            Element& resident = m_elements[slot];
            if (resident.hash == 0) {
                resident = carried;
                return;
            }
            uint32_t residentDist = Distance(resident.hash, slot);
            if (residentDist < dist) {
                Element displaced = resident;
                resident = carried;
                carried = displaced;
                dist = residentDist;
            }
            slot = (slot + 1) & m_curMask;
            ++dist;
        }
    }

    int32_t FindSlot(K key) const {
        uint32_t hash = CHashMapCalculateHash(key);
        uint32_t slot = hash & m_curMask;
        for (uint32_t probe = 0;; ++probe) {
            const Element& resident = m_elements[slot];
            if (resident.hash == 0) return -1;
            if (resident.hash == hash && CHashMapKeyTraits<K>::Equal(resident.key, key))
                return static_cast<int32_t>(slot);
            if (probe > Distance(resident.hash, slot)) return -1;
            slot = (slot + 1) & m_curMask;
        }
    }

    // The map is unchanged when the block cannot be had.
    void Allocate(uint32_t size) {
        auto* elements = static_cast<Element*>(CHashMapTables_Take(Bytes(size)));
        if (elements == nullptr) throw std::bad_alloc();
        m_elements = elements;
        m_curSize = size;
        m_curMask = size - 1;
        m_numUsed = 0;
        m_growThreshold = static_cast<uint32_t>(static_cast<float>(size) * 0.6f);
    }

    uint32_t m_curSize = 0;
    uint32_t m_numUsed = 0;
    uint32_t m_curMask = 0;
    uint32_t m_growThreshold = 0;
    Element* m_elements = nullptr;
};
