// Maps, their built-ins, and the helpers that build maps for the rest of the
// runtime.
#include "data/ds_map.h"

#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>

#include "core/compare.h"
#include "core/crc32.h"
#include "core/error.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/zq_rvalue.h"
#include "data/ds_list.h"

uint32_t DsMap_KeyHash(const RValue& key) {
    switch (key.Kind()) {
        case VALUE_STRING: return CalcCRC_string(key.pRefString != nullptr ? key.pRefString->Get() : nullptr);
        case VALUE_ARRAY:
        case VALUE_PTR:
        case VALUE_VEC3:
        case VALUE_OBJECT:
        case VALUE_VEC4:
        case VALUE_VEC44:
        case VALUE_ACCESSOR: return CalcCRC(reinterpret_cast<const char*>(&key.v64), 8);
        case VALUE_UNDEFINED:
        case VALUE_UNSET: return 0;
        default: {
            double d = REAL_RValue(&key);
            return CalcCRC(reinterpret_cast<const char*>(&d), 8);
        }
    }
}

// ---------------------------------------------------------------------------
// The map.

CDS_Map::CDS_Map(int buckets) : m_serial(DS_NextSerial()) {
    if (buckets < 1) buckets = kDefaultBuckets;
    if (buckets > kMaxBuckets) buckets = kMaxBuckets;
    m_mask = static_cast<uint32_t>(buckets - 1);
    m_bucketLast = ZQ_AllocArray<DsMapEntry*>(static_cast<size_t>(buckets));
    m_bucketUsed = ZQ_AllocArray<uint64_t>(static_cast<size_t>(buckets + 63) / 64);
    if (m_bucketLast == nullptr || m_bucketUsed == nullptr) {
        ZQ_Free(m_bucketLast);
        ZQ_Free(m_bucketUsed);
        throw std::bad_alloc();
    }
}

CDS_Map::~CDS_Map() {
    Clear();
    FreeSlabs();
    ZQ_Free(m_bucketLast);
    ZQ_Free(m_bucketUsed);
    ZQ_Free(m_index);
}

uint32_t CDS_Map::IndexSlotOf(uint32_t hash) const {
    if (m_index == nullptr) return kNoSlot;
    uint32_t mask = m_indexSize - 1;
    for (uint32_t i = IndexHome(hash);; i = (i + 1) & mask) {
        const IndexSlot& slot = m_index[i];
        if (slot.first == nullptr) return kNoSlot;
        if (slot.hash == hash) return i;
    }
}

DsMapEntry** CDS_Map::IndexFind(uint32_t hash) const {
    uint32_t slot = IndexSlotOf(hash);
    return slot == kNoSlot ? nullptr : &m_index[slot].first;
}

bool CDS_Map::IndexGrow() {
    uint32_t size = m_indexSize == 0 ? 8 : m_indexSize * 2;
    IndexSlot* slots = ZQ_AllocArray<IndexSlot>(size);
    if (slots == nullptr) return false;
    IndexSlot* old = m_index;
    uint32_t oldSize = m_indexSize;
    m_index = slots;
    m_indexSize = size;
    m_indexShift = 32 - static_cast<uint32_t>(__builtin_ctz(size));
    uint32_t mask = size - 1;
    for (uint32_t i = 0; i < oldSize; ++i) {
        if (old[i].first == nullptr) continue;
        uint32_t j = IndexHome(old[i].hash);
        while (m_index[j].first != nullptr) j = (j + 1) & mask;
        m_index[j] = old[i];
    }
    ZQ_Free(old);
    return true;
}

bool CDS_Map::IndexInsert(uint32_t hash, DsMapEntry* first) {
    // At most half full, so probes stay short for any key set.
    if ((m_indexUsed + 1) * 2 > m_indexSize && !IndexGrow()) return false;
    uint32_t mask = m_indexSize - 1;
    uint32_t i = IndexHome(hash);
    while (m_index[i].first != nullptr) i = (i + 1) & mask;
    m_index[i] = {hash, first};
    ++m_indexUsed;
    return true;
}

// Removes the hash's slot and shifts later members of the probe run back,
// so lookups never need tombstones.
void CDS_Map::IndexErase(uint32_t hash) {
    uint32_t hole = IndexSlotOf(hash);
    if (hole == kNoSlot) return;
    uint32_t mask = m_indexSize - 1;
    for (uint32_t j = (hole + 1) & mask; m_index[j].first != nullptr; j = (j + 1) & mask) {
        uint32_t home = IndexHome(m_index[j].hash);
        // The slot may move into the hole when its home does not lie
        // cyclically within (hole, j].
        bool homeBetween = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
        if (homeBetween) continue;
        m_index[hole] = m_index[j];
        hole = j;
    }
    m_index[hole] = {0, nullptr};
    --m_indexUsed;
}

DsMapEntry* CDS_Map::NewEntry() {
    if (DsMapEntry* entry = m_freeEntries) {
        m_freeEntries = entry->next;
        return entry;
    }
    if (m_slabs == nullptr || m_slabs->used == m_slabs->capacity) {
        int32_t capacity = m_slabs == nullptr ? 8 : (m_slabs->capacity < 1024 ? m_slabs->capacity * 2 : 1024);
        size_t bytes = offsetof(Slab, entries) + static_cast<size_t>(capacity) * sizeof(DsMapEntry);
        auto* slab = static_cast<Slab*>(ZQ_AllocNoClear(bytes));
        if (slab == nullptr) return nullptr;
        slab->next = m_slabs;
        slab->capacity = capacity;
        slab->used = 0;
        m_slabs = slab;
    }
    return &m_slabs->entries[m_slabs->used++];
}

void CDS_Map::FreeEntry(DsMapEntry* entry) {
    entry->next = m_freeEntries;
    m_freeEntries = entry;
}

void CDS_Map::FreeSlabs() {
    while (m_slabs != nullptr) {
        Slab* next = m_slabs->next;
        ZQ_Free(m_slabs);
        m_slabs = next;
    }
    m_freeEntries = nullptr;
}

int32_t CDS_Map::PreviousNonEmptyBucket(uint32_t bucket) const {
    int32_t word = static_cast<int32_t>(bucket >> 6);
    uint64_t bits = m_bucketUsed[word] & ((uint64_t{1} << (bucket & 63)) - 1);
    for (;;) {
        if (bits != 0) return word * 64 + 63 - __builtin_clzll(bits);
        if (--word < 0) return -1;
        bits = m_bucketUsed[word];
    }
}

DsMapEntry* CDS_Map::Append(const RValue& key, const RValue& value, uint32_t hash) {
    DsMapEntry* entry = NewEntry();
    if (entry == nullptr) return nullptr;
    entry->hash = hash;
    entry->sameHash = nullptr;
    if (DsMapEntry** first = IndexFind(hash)) {
        DsMapEntry* last = *first;
        while (last->sameHash != nullptr) last = last->sameHash;
        last->sameHash = entry;
    } else if (!IndexInsert(hash, entry)) {
        FreeEntry(entry);
        return nullptr;
    }
    COPY_RValue(&entry->key, &key);
    COPY_RValue(&entry->value, &value);

    // Join the end of the bucket: after its last entry or, for an empty
    // bucket, after the last entry of the nearest earlier bucket in use.
    uint32_t bucket = hash & m_mask;
    DsMapEntry* after = m_bucketLast[bucket];
    if (after == nullptr) {
        int32_t previous = PreviousNonEmptyBucket(bucket);
        after = previous < 0 ? nullptr : m_bucketLast[previous];
        m_bucketUsed[bucket >> 6] |= uint64_t{1} << (bucket & 63);
    }
    entry->prev = after;
    entry->next = after != nullptr ? after->next : m_head;
    if (entry->next != nullptr)
        entry->next->prev = entry;
    else
        m_tail = entry;
    if (after != nullptr)
        after->next = entry;
    else
        m_head = entry;
    m_bucketLast[bucket] = entry;
    ++m_count;
    return entry;
}

void CDS_Map::Unlink(DsMapEntry* entry) {
    uint32_t bucket = entry->hash & m_mask;
    if (m_bucketLast[bucket] == entry) {
        DsMapEntry* previous = entry->prev;
        if (previous != nullptr && (previous->hash & m_mask) == bucket) {
            m_bucketLast[bucket] = previous;
        } else {
            m_bucketLast[bucket] = nullptr;
            m_bucketUsed[bucket >> 6] &= ~(uint64_t{1} << (bucket & 63));
        }
    }
    if (entry->prev != nullptr)
        entry->prev->next = entry->next;
    else
        m_head = entry->next;
    if (entry->next != nullptr)
        entry->next->prev = entry->prev;
    else
        m_tail = entry->prev;

    DsMapEntry** first = IndexFind(entry->hash);
    if (*first == entry) {
        if (entry->sameHash != nullptr)
            *first = entry->sameHash;
        else
            IndexErase(entry->hash);
    } else {
        DsMapEntry* before = *first;
        while (before->sameHash != entry) before = before->sameHash;
        before->sameHash = entry->sameHash;
    }
    --m_count;
}

namespace {

const char* TextOrEmpty(const RValue& v) {
    return v.pRefString != nullptr && v.pRefString->Get() != nullptr ? v.pRefString->Get() : "";
}

// ZQCompareVal(stored, key) == 0, with the common case of string keys (often
// the very same record) decided without the general comparison.
bool SameKey(const RValue& stored, const RValue& key) {
    if (stored.Kind() == VALUE_STRING && key.Kind() == VALUE_STRING)
        return stored.pRefString == key.pRefString || std::strcmp(TextOrEmpty(stored), TextOrEmpty(key)) == 0;
    return ZQCompareVal(stored, key, theprec) == 0;
}

} // namespace

DsMapEntry* CDS_Map::FindHashed(const RValue& key, uint32_t hash) const {
    DsMapEntry** first = IndexFind(hash);
    if (first == nullptr) return nullptr;
    for (DsMapEntry* e = *first; e != nullptr; e = e->sameHash) {
        if (SameKey(e->key, key)) return e;
    }
    return nullptr;
}

DsMapEntry* CDS_Map::Find(const RValue& key) const {
    return FindHashed(key, DsMap_KeyHash(key));
}

bool CDS_Map::Add(const RValue& key, const RValue& value) {
    uint32_t hash = DsMap_KeyHash(key);
    if (FindHashed(key, hash) != nullptr) return false;
    if (Append(key, value, hash) == nullptr) {
        DS_ReportTooLarge(int64_t{m_count} + 1);
        return false;
    }
    return true;
}

bool CDS_Map::Add(const char* key, double number, const char* text) {
    RValue k = RValue_Undefined();
    ZQSetString(&k, key);
    RValue v = RValue_Real(number);
    if (text != nullptr) ZQSetString(&v, text);
    bool added = Add(k, v);
    FREE_RValue(&k);
    FREE_RValue(&v);
    return added;
}

void CDS_Map::Set(const RValue& key, const RValue& value, RValue* previous) {
    uint32_t hash = DsMap_KeyHash(key);
    if (DsMapEntry* entry = FindHashed(key, hash)) {
        if (previous != nullptr) DS_StoreCopy(previous, &entry->value);
        DS_StoreCopy(&entry->key, &key);
        DS_StoreCopy(&entry->value, &value);
        return;
    }
    if (previous != nullptr) DS_StoreCopy(previous, &value);
    if (Append(key, value, hash) == nullptr) DS_ReportTooLarge(int64_t{m_count} + 1);
}

bool CDS_Map::Replace(const RValue& key, const RValue& value) {
    uint32_t hash = DsMap_KeyHash(key);
    if (DsMapEntry* entry = FindHashed(key, hash)) {
        DS_StoreCopy(&entry->value, &value);
        return true;
    }
    if (Append(key, value, hash) == nullptr) DS_ReportTooLarge(int64_t{m_count} + 1);
    return false;
}

bool CDS_Map::Delete(const RValue& key) {
    DsMapEntry* entry = Find(key);
    if (entry == nullptr) return false;
    Unlink(entry);
    FREE_RValue(&entry->key);
    FREE_RValue(&entry->value);
    FreeEntry(entry);
    return true;
}

namespace {

// The first entry in iteration order whose key compares equal to key.
//
// A string compares equal only to a string of the same text, which has the
// same hash and so sits in the same bucket, where chain order is iteration
// order: the hashed lookup finds exactly that entry. Any other key may be
// equal, within the tolerance or across number kinds, to keys of other
// hashes, so the whole map is walked.
DsMapEntry* FirstEqual(const CDS_Map& map, const RValue& key) {
    if (key.Kind() == VALUE_STRING) return map.Find(key);
    for (DsMapEntry* e = map.First(); e != nullptr; e = e->next) {
        if (ZQCompareVal(key, e->key, theprec) == 0) return e;
    }
    return nullptr;
}

} // namespace

DsMapEntry* CDS_Map::FindNext(const RValue& key) const {
    DsMapEntry* e = FirstEqual(*this, key);
    return e != nullptr ? e->next : nullptr;
}

DsMapEntry* CDS_Map::FindPrevious(const RValue& key) const {
    DsMapEntry* e = FirstEqual(*this, key);
    return e != nullptr ? e->prev : nullptr;
}

void CDS_Map::RemoveAll(bool destroyNested) {
    DsMapEntry* e = m_head;
    while (e != nullptr) {
        DsMapEntry* next = e->next;
        if (destroyNested) DS_DestroyNested(e->value);
        FREE_RValue(&e->key);
        FREE_RValue(&e->value);
        e = next;
    }
    FreeSlabs();
    m_head = nullptr;
    m_tail = nullptr;
    std::memset(static_cast<void*>(m_bucketLast), 0, (m_mask + size_t{1}) * sizeof(DsMapEntry*));
    std::memset(static_cast<void*>(m_bucketUsed), 0, (m_mask + size_t{64}) / 64 * sizeof(uint64_t));
    if (m_index != nullptr) std::memset(static_cast<void*>(m_index), 0, m_indexSize * sizeof(IndexSlot));
    m_indexUsed = 0;
    m_count = 0;
}

void CDS_Map::Clear() {
    DS_AutoMutex lock;
    m_clearing = true;
    RemoveAll(true);
    m_clearing = false;
}

void CDS_Map::Assign(const CDS_Map* src) {
    if (src == this) return;
    if (src == nullptr) {
        Clear();
        return;
    }
    RemoveAll(false);
    for (const DsMapEntry* e = src->m_head; e != nullptr; e = e->next) {
        if (Append(e->key, e->value, e->hash) == nullptr) {
            DS_ReportTooLarge(int64_t{m_count} + 1);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Helpers for other subsystems.

namespace {

// Under the lock held by the caller.
CDS_Map* MapOrReport(int map) {
    CDS_Map* found = themaps.Get(map);
    if (found == nullptr) DS_ReportNoSuchStructure();
    return found;
}

int NewMap(int buckets) {
    DS_AutoMutex lock;
    CDS_Map* map = new CDS_Map(buckets);
    int index = themaps.Add(map);
    if (index < 0) delete map;
    return index;
}

RValue StringKey(const char* key) {
    RValue k = RValue_Undefined();
    ZQSetString(&k, key);
    return k;
}

// Adds key (a C string) and value to the map at index, reporting a bad index.
void AddStringKeyed(int map, const char* key, const RValue& value) {
    DS_AutoMutex lock;
    CDS_Map* found = MapOrReport(map);
    if (found == nullptr) return;
    RValue k = StringKey(key);
    found->Add(k, value);
    FREE_RValue(&k);
}

// The list check of ds_map_add_list and ds_map_replace_list.
bool NamesList(int64_t index) {
    return thelists.Get(index) != nullptr;
}

void ReportInvalidList() {
    Error_Show_Action("Invalid list index for value", false);
}

void ReportInvalidMap() {
    Error_Show_Action("Invalid map index for value", false);
}

// Without replacing, under the lock; false when no map has the index.
bool AddInternal(int map, const RValue& key, const RValue& value) {
    DS_AutoMutex lock;
    CDS_Map* found = themaps.Get(map);
    return found != nullptr && found->Add(key, value);
}

} // namespace

int dsMapCreate() {
    return NewMap(CDS_Map::kDefaultBuckets);
}

void dsMapClear(int map) {
    DS_AutoMutex lock;
    if (CDS_Map* found = MapOrReport(map)) found->Clear();
}

void dsMapAddInt(int map, const char* key, int v) {
    AddStringKeyed(map, key, RValue_Real(v));
}

void dsMapAddDouble(int map, const char* key, double v) {
    AddStringKeyed(map, key, RValue_Real(v));
}

void dsMapAddInt64(int map, const char* key, int64_t v) {
    RValue value = RValue_Undefined();
    value.v64 = v;
    value.kind = VALUE_INT64;
    AddStringKeyed(map, key, value);
}

void dsMapAddString(int map, const char* key, const char* s) {
    RValue value = RValue_Undefined();
    ZQSetString(&value, s);
    AddStringKeyed(map, key, value);
    FREE_RValue(&value);
}

void dsMapAddPtr(int map, const char* key, void* p) {
    RValue value = RValue_Undefined();
    value.ptr = p;
    value.kind = VALUE_PTR;
    AddStringKeyed(map, key, value);
}

void dsMapAddList(int map, const char* key, int list) {
    DS_AutoMutex lock;
    CDS_Map* found = MapOrReport(map);
    if (found == nullptr) return;
    if (!NamesList(list)) {
        ReportInvalidList();
        return;
    }
    RValue value = RValue_Real(list);
    DS_MarkValue(&value, DS_MARK_LIST);
    RValue k = StringKey(key);
    found->Add(k, value);
    FREE_RValue(&k);
}

void dsMapAddRValue(int map, const char* key, const RValue* v) {
    AddStringKeyed(map, key, *v);
}

int CreateDsMap(int n, ...) {
    DS_AutoMutex lock;
    CDS_Map* map = new CDS_Map(CDS_Map::kDefaultBuckets);
    va_list args;
    va_start(args, n);
    for (int i = 0; i < n; ++i) {
        const char* key = va_arg(args, const char*);
        double number = va_arg(args, double);
        const char* text = va_arg(args, const char*);
        map->Add(key, number, text);
    }
    va_end(args);
    int index = themaps.Add(map);
    if (index < 0) delete map;
    return index;
}

CDS_Map* GetDsMap(int index) {
    DS_AutoMutex lock;
    return themaps.Get(index);
}

// The lock is held for the addition too, not only while the slot is read:
// the map may be read on another thread meanwhile.
bool AddToDsMap(int index, const char* key, double v) {
    if (key == nullptr) return false;
    DS_AutoMutex lock;
    CDS_Map* map = themaps.Get(index);
    if (map == nullptr) return false;
    map->Add(key, v, nullptr);
    return true;
}

bool AddToDsMap(int index, const char* key, const char* s) {
    if (key == nullptr) return false;
    DS_AutoMutex lock;
    CDS_Map* map = themaps.Get(index);
    if (map == nullptr) return false;
    map->Add(key, 0.0, s);
    return true;
}

void DestroyDsMap(int index) {
    DS_AutoMutex lock;
    if (!themaps.InTable(index)) {
        DS_ReportNoSuchStructure();
        return;
    }
    DS_DestroyMap(index);
}

bool F_DsMapAdd_Internal(int map, const char* key, double value) {
    RValue k = StringKey(key);
    bool added = AddInternal(map, k, RValue_Real(value));
    FREE_RValue(&k);
    return added;
}

bool F_DsMapAdd_Internal(int map, const char* key, int64_t value, bool) {
    RValue k = StringKey(key);
    RValue v = RValue_Undefined();
    v.v64 = value;
    v.kind = VALUE_INT64;
    bool added = AddInternal(map, k, v);
    FREE_RValue(&k);
    return added;
}

bool F_DsMapAdd_Internal(int map, const char* key, const RValue* value) {
    RValue k = StringKey(key);
    bool added = AddInternal(map, k, *value);
    FREE_RValue(&k);
    return added;
}

bool F_DsMapAdd_Internal(int map, const char* key, const char* value) {
    RValue k = StringKey(key);
    RValue v = StringKey(value);
    bool added = AddInternal(map, k, v);
    FREE_RValue(&k);
    FREE_RValue(&v);
    return added;
}

bool F_DsMapAdd_Internal(int map, double key, double value) {
    return AddInternal(map, RValue_Real(key), RValue_Real(value));
}

bool F_DsMapAdd_Internal(int map, double key, const char* value) {
    RValue v = StringKey(value);
    bool added = AddInternal(map, RValue_Real(key), v);
    FREE_RValue(&v);
    return added;
}

bool ZQVTL_ds_map_add(int map, const ZQRValue& key, const ZQRValue& value) {
    DS_AutoMutex lock;
    CDS_Map* found = themaps.Get(map);
    if (found == nullptr) {
        ZQError("Data structure with index %d, does not exist", map);
        return false;
    }
    return found->Add(key, value);
}

// ---------------------------------------------------------------------------
// Built-ins. Every one holds the lock for its whole work.

namespace {

CDS_Map* CheckedMap(const RValue* args) {
    return DS_Checked(themaps, args);
}

void F_DsMapCreate(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    int buckets = argc >= 1 ? ZQGetInt32(args, 0) : CDS_Map::kDefaultBuckets;
    DS_ResultReal(result, NewMap(buckets));
}

void F_DsMapDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DestroyDsMap(ZQGetInt32(args, 0));
}

void F_DsMapClear(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) map->Clear();
}

void F_DsMapCopy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    CDS_Map* destination = CheckedMap(args);
    if (destination == nullptr) return;
    if (CDS_Map* source = DS_Checked(themaps, args, 1)) destination->Assign(source);
}

void F_DsMapSize(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) DS_ResultReal(result, map->Size());
}

void F_DsMapEmpty(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) DS_ResultReal(result, map->Empty() ? 1.0 : 0.0);
}

void F_DsMapAdd(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    DS_ResultReal(result, 0.0);
    if (CDS_Map* map = CheckedMap(args)) DS_ResultReal(result, map->Add(args[1], args[2]) ? 1.0 : 0.0);
}

void F_DsMapSet(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) map->Set(args[1], args[2], nullptr);
}

void F_DsMapSetPre(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    DS_ResultCopy(result, args[2]);
    if (CDS_Map* map = CheckedMap(args)) map->Set(args[1], args[2], nullptr);
}

void F_DsMapSetPost(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) map->Set(args[1], args[2], &result);
}

// ds_map_add_list and ds_map_add_map: the value must be a plain real naming
// an existing structure of the kind.
void AddNested(RValue& result, RValue* args, uint32_t mark) {
    DS_AutoMutex lock;
    DS_ResultReal(result, 0.0);
    CDS_Map* map = CheckedMap(args);
    if (map == nullptr) return;
    const RValue& named = args[2];
    bool valid =
        named.kind == VALUE_REAL && (mark == DS_MARK_LIST ? NamesList(RealToInt64(named.val))
                                                          : themaps.Get(RealToInt64(named.val)) != nullptr);
    if (!valid) {
        mark == DS_MARK_LIST ? ReportInvalidList() : ReportInvalidMap();
        return;
    }
    RValue value = named;
    DS_MarkValue(&value, mark);
    DS_ResultReal(result, map->Add(args[1], value) ? 1.0 : 0.0);
}

void F_DsMapAddList(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    AddNested(result, args, DS_MARK_LIST);
}

void F_DsMapAddMap(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    AddNested(result, args, DS_MARK_MAP);
}

void F_DsMapReplace(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    DS_ResultReal(result, 0.0);
    if (CDS_Map* map = CheckedMap(args)) DS_ResultReal(result, map->Replace(args[1], args[2]) ? 1.0 : 0.0);
}

// ds_map_replace_list and ds_map_replace_map: the value's number must name
// an existing structure; the value (of whatever kind) takes the mark.
void ReplaceNested(RValue& result, RValue* args, uint32_t mark) {
    DS_AutoMutex lock;
    DS_ResultReal(result, 0.0);
    int32_t mapIndex = ZQGetInt32(args, 0);
    CDS_Map* map = themaps.Get(mapIndex);
    if (map == nullptr) {
        DS_ReportNoSuchStructure();
        return;
    }
    int32_t named = ZQGetInt32(args, 2);
    if (mark == DS_MARK_LIST) {
        if (!NamesList(named)) {
            ReportInvalidList();
            return;
        }
    } else if (named == mapIndex) {
        Error_Show_Action("Unable to use same map for replace", false);
        return;
    } else if (themaps.Get(named) == nullptr) {
        ReportInvalidMap();
        return;
    }
    RValue value = args[2];
    value.kind &= 0x0FFFFFFFu;
    DS_MarkValue(&value, mark);
    DS_ResultReal(result, map->Replace(args[1], value) ? 1.0 : 0.0);
}

void F_DsMapReplaceList(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ReplaceNested(result, args, DS_MARK_LIST);
}

void F_DsMapReplaceMap(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ReplaceNested(result, args, DS_MARK_MAP);
}

void F_DsMapDelete(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) map->Delete(args[1]);
}

void F_DsMapExists(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) DS_ResultReal(result, map->Exists(args[1]) ? 1.0 : 0.0);
}

void F_DsMapFindValue(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    CDS_Map* map = CheckedMap(args);
    if (map == nullptr) return;
    if (const DsMapEntry* entry = map->Find(args[1])) DS_CutCopy(result, entry->value);
}

void KeyOf(RValue& result, const DsMapEntry* entry) {
    if (entry != nullptr) DS_CutCopy(result, entry->key);
}

void F_DsMapFindPrevious(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) KeyOf(result, map->FindPrevious(args[1]));
}

void F_DsMapFindNext(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) KeyOf(result, map->FindNext(args[1]));
}

void F_DsMapFindFirst(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) KeyOf(result, map->First());
}

void F_DsMapFindLast(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    if (CDS_Map* map = CheckedMap(args)) KeyOf(result, map->Last());
}

void F_DsMapWrite(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    CDS_Map* map = CheckedMap(args);
    if (map == nullptr) return;
    DS_ResultTextForm(result, map);
}

void F_DsMapRead(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DS_AutoMutex lock;
    CDS_Map* map = CheckedMap(args);
    if (map == nullptr) return;
    const char* text = ZQGetString(args, 1);
    if (text != nullptr) map->ReadFromString(text, false);
}

const DsBuiltinRow kMapBuiltins[] = {
    {"ds_map_create", F_DsMapCreate, 0},
    {"ds_map_destroy", F_DsMapDestroy, 1},
    {"ds_map_clear", F_DsMapClear, 1},
    {"ds_map_copy", F_DsMapCopy, 2},
    {"ds_map_size", F_DsMapSize, 1},
    {"ds_map_empty", F_DsMapEmpty, 1},
    {"ds_map_add", F_DsMapAdd, 3},
    {"ds_map_set", F_DsMapSet, 3},
    {"ds_map_set_pre", F_DsMapSetPre, 3},
    {"ds_map_set_post", F_DsMapSetPost, 3},
    {"ds_map_add_list", F_DsMapAddList, 3},
    {"ds_map_add_map", F_DsMapAddMap, 3},
    {"ds_map_replace", F_DsMapReplace, 3},
    {"ds_map_replace_list", F_DsMapReplaceList, 3},
    {"ds_map_replace_map", F_DsMapReplaceMap, 3},
    {"ds_map_delete", F_DsMapDelete, 2},
    {"ds_map_exists", F_DsMapExists, 2},
    {"ds_map_find_value", F_DsMapFindValue, 2},
    {"ds_map_find_previous", F_DsMapFindPrevious, 2},
    {"ds_map_find_next", F_DsMapFindNext, 2},
    {"ds_map_find_first", F_DsMapFindFirst, 1},
    {"ds_map_find_last", F_DsMapFindLast, 1},
    {"ds_map_write", F_DsMapWrite, 1},
    {"ds_map_read", F_DsMapRead, 2},
    {"ds_map_secure_save", F_DsMapSecureSave, 2},
    {"ds_map_secure_load", F_DsMapSecureLoad, 1},
    {"ds_map_secure_load_buffer", F_DsMapSecureLoadBuffer, 1},
    {"ds_map_secure_save_buffer", F_DsMapSecureSaveBuffer, 2},
};

} // namespace

std::span<const DsBuiltinRow> DsMap_Builtins() {
    return kMapBuiltins;
}
