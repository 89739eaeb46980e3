// Maps: key/value pairs of script values held by index, in a fixed number of
// buckets that decides their iteration order, with values marked as nested
// lists or maps; the ds_map_* built-ins; and the helpers through which the
// rest of the runtime builds maps (asynchronous results, networking events,
// platform services).
#pragma once

#include <cstdint>
#include <span>

#include "data/ds_tables.h"

// One pair. Both values are owned by the entry.
struct DsMapEntry {
    RValue key;
    RValue value;
    uint32_t hash;    // the key's hash
    DsMapEntry* prev; // iteration order
    DsMapEntry* next;
    DsMapEntry* sameHash; // the next entry with the same hash, in insertion order
};

// The hash of a key, by its kind: the CRC-32 register of a string's text
// (0xFFFFFFFF without text); of the 8 payload bytes of an array, pointer,
// vec3, object, vec4, vec44 or accessor; 0 for undefined and unset; for every
// other kind, of the 8 bytes of the key converted to a real (so an int32 5
// and a real 5.0 are one key, while 0.0 and -0.0 are two).
uint32_t DsMap_KeyHash(const RValue& key);

// A map.
//
// Keys are the same key when their hashes are equal and ZQCompareVal within
// the tolerance gives 0. The bucket of a key is hash AND (buckets - 1); the
// bucket count is fixed for the map's life (256 unless ds_map_create asks
// otherwise). Iteration order is bucket 0 upwards and, within a bucket,
// insertion order: every walk (first, last, next, previous, copy, clear, the
// text form, JSON) follows it.
//
// Storage: the entries form one doubly linked list in iteration order; each
// bucket records its last entry and a bitmap records which buckets hold any,
// so an entry joins its bucket's end in time independent of the count. A
// lookup goes through an open-addressed index from hash to the chain of
// entries sharing it, which grows with the map: lookups stay constant time
// however many entries the fixed bucket count has to hold. Entries are
// carved from the map's own slabs (doubling up to 1024 entries) and reused
// through a free list, so one map's entries lie together in memory; the
// slabs go when the map is cleared or destroyed.
//
// The class operations other than Clear take no lock; the built-ins hold it.
class CDS_Map {
public:
    static constexpr int kDefaultBuckets = 256;
    // Bucket counts above this are taken as this many, where a script could
    // otherwise make any map allocate a bucket record per asked-for bucket
    // at once (2^31 buckets would be tens of gigabytes before the first
    // key). A map asked for more buckets therefore iterates as one of 65,536:
    // a key's bucket is hash AND 65535, not hash AND (asked - 1).
    static constexpr int kMaxBuckets = 1 << 16;

    // A bucket count below 1 gives the default.
    explicit CDS_Map(int buckets = kDefaultBuckets);
    // Destroying a map clears it, so its nested structures go with it.
    ~CDS_Map();
    CDS_Map(const CDS_Map&) = delete;
    CDS_Map& operator=(const CDS_Map&) = delete;

    int Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    int BucketCount() const { return static_cast<int>(m_mask) + 1; }
    uint32_t Serial() const { return m_serial; }
    bool IsClearing() const { return m_clearing; }

    // The first entry (in iteration order) whose key is the same key, or null.
    DsMapEntry* Find(const RValue& key) const;
    bool Exists(const RValue& key) const { return Find(key) != nullptr; }
    // Adds copies of key and value (marks included) when the key is absent;
    // true when added. A present key keeps its value.
    bool Add(const RValue& key, const RValue& value);
    // Add with a string key and, as value, the text when it is not null, else the number.
    bool Add(const char* key, double number, const char* text);
    // Present key: previous (when given) receives a copy of the old value,
    // then the entry's key and value become copies of the arguments (a mark on
    // the old value is dropped, its nested structure kept). Absent: previous
    // receives a copy of value and the pair is added.
    void Set(const RValue& key, const RValue& value, RValue* previous);
    // Present key: its value becomes a copy of value (true). Absent: Add (false).
    bool Replace(const RValue& key, const RValue& value);
    // Removes the entry of that key (a nested structure its value names is
    // kept); false when absent. Only the entry of the same key is removed,
    // never another key that shares its hash.
    bool Delete(const RValue& key);

    DsMapEntry* First() const { return m_head; }
    DsMapEntry* Last() const { return m_tail; }
    // The entry after (before) the first entry in iteration order whose key
    // compares equal to key, or null when that entry is the last (first) or
    // no key compares equal. Any key equal within the tolerance is found,
    // whatever its hash.
    DsMapEntry* FindNext(const RValue& key) const;
    DsMapEntry* FindPrevious(const RValue& key) const;

    // Holding the lock: destroys what each marked value names, releases every
    // key and value and removes every entry. The bucket count stays.
    void Clear();
    // Becomes a copy of src, entry by entry in src's iteration order, placed
    // by this map's own buckets (marks included). The old entries are removed
    // without destroying their nested structures. src may be this map.
    void Assign(const CDS_Map* src);

    // The text form; unavailable until the text form module is built
    // (WriteToString then gives null, ReadFromString false). Reading empties
    // the map first, also for a text it then refuses; values it marks go
    // through DS_MarkValue.
    void WriteToString(const char*& out);
    bool ReadFromString(const char* text, bool legacy);

    // The collector's walk: every key and every value.
    template <typename Fn>
    void VisitValues(Fn&& fn) {
        for (DsMapEntry* e = m_head; e != nullptr; e = e->next) {
            fn(e->key);
            fn(e->value);
        }
    }

private:
    DsMapEntry* FindHashed(const RValue& key, uint32_t hash) const;
    // Appends a new entry holding copies of key and value.
    DsMapEntry* Append(const RValue& key, const RValue& value, uint32_t hash);
    void Unlink(DsMapEntry* entry);
    // Removes every entry; with destroyNested, the marked values' structures too.
    void RemoveAll(bool destroyNested);
    int32_t PreviousNonEmptyBucket(uint32_t bucket) const;
    DsMapEntry* NewEntry();
    void FreeEntry(DsMapEntry* entry);
    void FreeSlabs();

    // The hash index: open addressing with linear probing over slots of
    // {hash, first entry with that hash}; a null entry marks an empty slot.
    struct IndexSlot {
        uint32_t hash;
        DsMapEntry* first;
    };
    static constexpr uint32_t kNoSlot = UINT32_MAX;
    uint32_t IndexSlotOf(uint32_t hash) const; // kNoSlot when absent
    DsMapEntry** IndexFind(uint32_t hash) const;
    bool IndexInsert(uint32_t hash, DsMapEntry* first);
    void IndexErase(uint32_t hash);
    bool IndexGrow();
    uint32_t IndexHome(uint32_t hash) const { return (hash * 0x9E3779B1u) >> m_indexShift; }

    DsMapEntry* m_head = nullptr;
    DsMapEntry* m_tail = nullptr;
    DsMapEntry** m_bucketLast = nullptr; // the last entry of each bucket
    uint64_t* m_bucketUsed = nullptr;    // one bit per bucket holding entries
    uint32_t m_mask = 0;
    int32_t m_count = 0;
    IndexSlot* m_index = nullptr;
    uint32_t m_indexSize = 0; // a power of two
    uint32_t m_indexShift = 32;
    uint32_t m_indexUsed = 0;
    struct Slab {
        Slab* next;
        int32_t capacity;
        int32_t used;
        DsMapEntry entries[1]; // capacity entries
    };
    Slab* m_slabs = nullptr;             // newest first
    DsMapEntry* m_freeEntries = nullptr; // linked through `next`
    uint32_t m_serial;
    bool m_clearing = false;
};

// ---------------------------------------------------------------------------
// Helpers for other subsystems. Each goes through the same checks, messages
// and locking as the built-in it stands for; additions never replace a
// present key.

int dsMapCreate();
void dsMapClear(int map);
void dsMapAddInt(int map, const char* key, int v);
void dsMapAddDouble(int map, const char* key, double v);
void dsMapAddInt64(int map, const char* key, int64_t v);
void dsMapAddString(int map, const char* key, const char* s);
// A pointer value that the map never deletes (kind pointer, flags 0).
void dsMapAddPtr(int map, const char* key, void* p);
// The list's index, marked as a nested list ("Invalid list index for value"
// when no list has it).
void dsMapAddList(int map, const char* key, int list);
void dsMapAddRValue(int map, const char* key, const RValue* v);

// A map of 256 buckets holding n entries given as (const char* key,
// double number, const char* text) triples, each value the text when it is
// not null, else the number; the first of two equal keys wins. Returns the
// new map's index (-1 when no map could be made). Asynchronous results,
// HTTP, dialogs, audio groups, gestures, system events and platform services
// build their event maps this way.
int CreateDsMap(int n, ...);
// The map at index (read under the lock), or null.
CDS_Map* GetDsMap(int index);
// Adds without replacing; false when key is null or no map has the index
// (true also when the key was present).
bool AddToDsMap(int index, const char* key, double v);
bool AddToDsMap(int index, const char* key, const char* s);
// ds_map_destroy.
void DestroyDsMap(int index);

// Under the lock, adds without replacing to the map at index and returns
// whether the pair was added; false when no map has the index.
bool F_DsMapAdd_Internal(int map, const char* key, double value);
bool F_DsMapAdd_Internal(int map, const char* key, int64_t value, bool ignored);
bool F_DsMapAdd_Internal(int map, const char* key, const RValue* value);
bool F_DsMapAdd_Internal(int map, const char* key, const char* value);
bool F_DsMapAdd_Internal(int map, double key, double value);
bool F_DsMapAdd_Internal(int map, double key, const char* value);

// Compiled code's fast path of ds_map_add: under the lock; true when the pair
// was added. A map index that names no map is a fatal error.
struct ZQRValue;
bool ZQVTL_ds_map_add(int map, const ZQRValue& key, const ZQRValue& value);

std::span<const DsBuiltinRow> DsMap_Builtins();

// The secure map file built-ins (ds_map_secure_save, ds_map_secure_load,
// ds_map_secure_load_buffer, ds_map_secure_save_buffer), registered with the
// map built-ins and provided by the secure map file module.
void F_DsMapSecureSave(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
void F_DsMapSecureLoad(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
void F_DsMapSecureLoadBuffer(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
void F_DsMapSecureSaveBuffer(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
