// Rooms: defaults and clearing, loading a template from its record in the
// data file, run-time copies with their stored instances created in record
// order, stored-record edits, and the live lists kept in ascending depth.
#include "room/room.h"

#include <cmath>
#include <cstring>
#include <new>

#include "core/code.h"
#include "core/function_table.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/timing_source.h"
#include "room/camera_manager.h"
#include "room/layer_manager.h"
#include "room/room_services.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"
#include "world/objects/event.h"

CRoom* Run_Room = nullptr;
int32_t room_maxid = 100000;
int32_t room_maxtileid = 10000000;

void Room_Set_maxid(int id) {
    room_maxid = id;
}

void Room_Set_maxtileid(int id) {
    room_maxtileid = id;
}

void CViewVT::Clear() {
    visible = false;
    xview = yview = 0.0f;
    wview = 640.0f;
    hview = 480.0f;
    xport = yport = 0;
    wport = 640;
    hport = 480;
    angle = 0.0f;
    hborder = vborder = 32;
    hspeed = vspeed = -1;
    follow = -1;
    if (g_isNimbar) {
        g_CM.DestroyCamera(camera);
        camera = -1;
    }
}

namespace {

char* CopyText(const char* text) {
    if (text == nullptr) return nullptr;
    char* copy = ZQStrDup(text);
    if (copy == nullptr) throw std::bad_alloc();
    return copy;
}

// Alpha from the top byte of a stored colour.
float StoredAlpha(uint32_t colour) {
    return static_cast<float>(colour >> 24) * 0.003921569f;
}

// The record offsets of a list {count, offsets...} at `offset` (0: no list).
// Every entry must lead to a whole record of `recordSize` bytes.
std::vector<uint32_t> ListEntries(const ImageReader& record, uint32_t offset, size_t recordSize) {
    std::vector<uint32_t> entries;
    if (offset == 0) return entries;
    ImageReader list = record.At(offset);
    const uint32_t n = list.Count(4);
    entries.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t at = list.U32();
        record.Resolve(at, recordSize);
        if (at == 0) record.Fail("room list entry without a record");
        entries.push_back(at);
    }
    return entries;
}

// Copies out of the data image add up to at most a multiple of its size: a
// small file could otherwise name one long list from every room.
void Spend(const ImageReader& r, size_t* budget, size_t bytes) {
    if (budget == nullptr) return;
    if (bytes > *budget) r.Fail("room lists add up to more than the file can describe");
    *budget -= bytes;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and clearing

uint32_t CRoom::ms_activeListStamp = 0;

CRoom::CRoom() {
    ++ms_activeListStamp;
    for (CViewVT& view : m_views) view.Clear();
}

// With new-generation data the instances that go with the room (neither
// marked, deactivated nor persistent) get their Clean Up event first.
CRoom::~CRoom() {
    ++ms_activeListStamp;
    CRoom* previous = Run_Room;
    Run_Room = this;
    if (g_isNimbar) {
        CInstance* last = m_pLastActive;
        for (CInstance* i = m_pFirstActive; i != nullptr;) {
            const bool end = i == last;
            if (!i->i_marked && !i->i_deactivated && !i->i_persistent) Perform_Event(i, i, 12, 0);
            if (end) break;
            i = i->m_pNext;
        }
    }
    Clear();
    FreeStrings();
    ZQ_Free(m_pName);
    m_pName = nullptr;
    Run_Room = previous == this ? nullptr : previous;
}

void CRoom::FreeStrings() {
    ZQ_Free(m_pCaption);
    ZQ_Free(m_pCreationCodeText);
    m_pCaption = nullptr;
    m_pCreationCodeText = nullptr;
}

void CRoom::Clear() {
    FreeStrings();
    m_width = 640;
    m_height = 480;
    m_speed = 30;
    m_persistent = false;
    m_colour = 0xC0C0C0;
    m_showColour = true;
    m_physicsWorld = false;
    for (CBackVT& back : m_backgrounds) back = CBackVT{};
    m_enableViews = false;
    m_clearViewBackground = false;
    m_clearDisplay = true;
    for (CViewVT& view : m_views) view.Clear();
    ClearInstances();
    ClearDeactiveInstances();
    m_newInstanceIds.clear();
    ClearTiles();
    CLayerManager::CleanRoomLayers(this);
    m_pStorage.reset();
}

// ---------------------------------------------------------------------------
// Loading a template

void CRoom::LoadFromChunk(ImageReader record, size_t* copyBudget) {
    Clear();
    const size_t start = record.Position();
    try {
        const char* name = record.StringAt();
        const char* caption = record.StringAt();
        const int32_t width = record.S32();
        const int32_t height = record.S32();
        const int32_t speed = record.S32();
        const bool persistent = record.U32() != 0;
        const int32_t colour = record.S32();
        const bool showColour = record.U32() != 0;
        const size_t codeAt = record.Position();
        const int32_t codeId = record.S32();
        Code_CheckIndex(record, codeId, codeAt, "the room's creation code");
        const uint32_t flags = record.U32();
        const uint32_t backgroundList = record.U32();
        const uint32_t viewList = record.U32();
        const uint32_t instanceList = record.U32();
        const uint32_t tileList = record.U32();
        bool physics = false;
        float gravityX = 0.0f, gravityY = 0.0f, pixToMeters = m_physicsPixToMeters;
        if (g_wadVersion > 5) {
            physics = record.U32() != 0;
            record.Skip(16);
            gravityX = record.F32();
            gravityY = record.F32();
            pixToMeters = record.F32();
        }

        // Read and check every list before anything is created or patched.
        const std::vector<uint32_t> backs = ListEntries(record, backgroundList, 40);
        const std::vector<uint32_t> views = ListEntries(record, viewList, 56);
        const std::vector<uint32_t> instances = ListEntries(record, instanceList, 40);
        const std::vector<uint32_t> tiles = ListEntries(record, tileList, 48);
        Spend(record, copyBudget,
              instances.size() * sizeof(RoomStoredInstance) + tiles.size() * sizeof(RoomStoredTile));
        // The layer list word follows the physics words at 88; the record
        // format (flags bits 16-31, signed) says whether it is there.
        const int32_t format = static_cast<int32_t>(flags) >> 16;
        uint32_t layerList = 0;
        if (format >= 2) layerList = record.Peek<uint32_t>(start + 88);

        m_pName = CopyText(name);
        m_pCaption = CopyText(caption);
        m_width = width;
        m_height = height;
        m_speed = speed;
        m_persistent = persistent;
        m_colour = colour;
        m_showColour = showColour;
        m_enableViews = (flags & 1) != 0;
        m_clearViewBackground = (flags & 2) != 0;
        m_clearDisplay = (flags & 4) == 0;
        if (g_wadVersion > 5) {
            m_physicsWorld = physics;
            m_physicsGravityX = RealToInt32(gravityX);
            m_physicsGravityY = RealToInt32(gravityY);
            m_physicsPixToMeters = pixToMeters;
        }

        for (size_t i = 0; i < backs.size() && i < 8; ++i) {
            ImageReader r = record.At(backs[i]);
            CBackVT& b = m_backgrounds[i];
            b.visible = r.U32() != 0;
            b.foreground = r.U32() != 0;
            b.index = r.S32();
            b.x = static_cast<float>(r.S32());
            b.y = static_cast<float>(r.S32());
            b.htiled = r.U32() != 0;
            b.vtiled = r.U32() != 0;
            b.hspeed = static_cast<float>(r.S32());
            b.vspeed = static_cast<float>(r.S32());
            const bool stretch = r.U32() != 0;
            int bw = 0, bh = 0;
            if (stretch && Room_BackgroundSize(b.index, &bw, &bh)) {
                if (bw > 0) b.xscale = static_cast<float>(m_width) / static_cast<float>(bw);
                if (bh > 0) b.yscale = static_cast<float>(m_height) / static_cast<float>(bh);
            }
        }
        ZQRoomView viewRecords[8] = {};
        const size_t viewCount = views.size() < 8 ? views.size() : 8;
        for (size_t i = 0; i < viewCount; ++i) {
            ImageReader r = record.At(views[i]);
            ZQRoomView& rv = viewRecords[i];
            rv.visible = r.S32();
            rv.xview = r.S32();
            rv.yview = r.S32();
            rv.wview = r.S32();
            rv.hview = r.S32();
            rv.xport = r.S32();
            rv.yport = r.S32();
            rv.wport = r.S32();
            rv.hport = r.S32();
            rv.hborder = r.S32();
            rv.vborder = r.S32();
            rv.hspeed = r.S32();
            rv.vspeed = r.S32();
            rv.follow = r.S32();
            CViewVT& v = m_views[i];
            v.visible = rv.visible != 0;
            v.xview = static_cast<float>(rv.xview);
            v.yview = static_cast<float>(rv.yview);
            v.wview = static_cast<float>(rv.wview);
            v.hview = static_cast<float>(rv.hview);
            v.xport = rv.xport;
            v.yport = rv.yport;
            v.wport = rv.wport;
            v.hport = rv.hport;
            v.angle = 0.0f;
            v.hborder = rv.hborder;
            v.vborder = rv.vborder;
            v.hspeed = rv.hspeed;
            v.vspeed = rv.vspeed;
            v.follow = rv.follow;
        }

        auto storage = std::make_shared<RoomStorage>();
        storage->speed = speed;
        storage->hasInstanceList = !instances.empty();
        storage->hasTileList = tileList != 0;
        storage->instances.resize(instances.size());
        for (size_t i = 0; i < instances.size(); ++i) {
            ImageReader r = record.At(instances[i]);
            RoomStoredInstance& s = storage->instances[i];
            s.x = r.S32();
            s.y = r.S32();
            s.object = r.S32();
            s.id = r.S32();
            const size_t codeAt = r.Position();
            s.code = r.S32();
            Code_CheckIndex(r, s.code, codeAt, "an instance's creation code");
            s.xscale = r.F32();
            s.yscale = r.F32();
            s.colour = r.U32();
            s.angle = r.F32();
            const size_t preCreateAt = r.Position();
            s.preCreateCode = r.S32();
            Code_CheckIndex(r, s.preCreateCode, preCreateAt, "an instance's pre-creation code");
        }
        storage->tiles.resize(tiles.size());
        for (size_t i = 0; i < tiles.size(); ++i) {
            ImageReader r = record.At(tiles[i]);
            RoomStoredTile& t = storage->tiles[i];
            t.x = r.S32();
            t.y = r.S32();
            t.background = r.S32();
            t.left = r.S32();
            t.top = r.S32();
            t.width = r.S32();
            t.height = r.S32();
            t.depth = r.S32();
            t.id = r.S32();
            t.xscale = r.F32();
            t.yscale = r.F32();
            t.colour = r.U32();
        }

        // The layers check their whole list before building any of it.
        CLayerManager::BuildRoomLayers(this, record, layerList, copyBudget);

        // Everything is read: now make the views' cameras and the code
        // entries, and write the entries' indices into the image so that the
        // record is not loaded twice.
        if (g_isNimbar)
            for (size_t i = 0; i < viewCount; ++i)
                m_views[i].camera = g_CM.CreateCameraFromView(&viewRecords[i])->GetID();
        if (codeId != -1 && (g_fZQC || g_fCompiledToVM)) {
            m_pCreationCodeText = CopyText("");
            const int entry = Code_CreateEntry(codeId, false);
            if (entry < 0) throw std::bad_alloc();
            m_pCreationCode = Code_GetEntry(entry);
        }
        if (instances.empty() && instanceList != 0) record.Patch<int32_t>(start + 48, 0);
        for (size_t i = 0; i < instances.size(); ++i) {
            RoomStoredInstance& s = storage->instances[i];
            const int code = Code_CreateEntry(s.code, false);
            const int pre = code < 0 ? -1 : Code_CreateEntry(s.preCreateCode, false);
            if (code < 0 || pre < 0) throw std::bad_alloc();
            s.code = code;
            s.preCreateCode = pre;
            record.Patch<int32_t>(instances[i] + 16, code);
            record.Patch<int32_t>(instances[i] + 36, pre);
        }
        m_pStorage = std::move(storage);
    } catch (...) {
        Clear();
        ZQ_Free(m_pName);
        m_pName = nullptr;
        throw;
    }
}

void CRoom::CreateWADStorage() {
    m_pStorage = std::make_shared<RoomStorage>();
    m_pStorage->hasInstanceList = true;
    m_pStorage->hasTileList = true;
}

// ---------------------------------------------------------------------------
// Run-time copies

void CRoom::Assign(const CRoom* source, bool createInstances) {
    Clear();
    if (source == nullptr) return;
    m_pCaption = CopyText(source->m_pCaption);
    m_width = source->m_width;
    m_height = source->m_height;
    m_speed = source->m_speed;
    m_persistent = source->m_persistent;
    m_colour = source->m_colour;
    m_showColour = source->m_showColour;
    m_pCreationCodeText = CopyText(source->m_pCreationCodeText);
    m_pCreationCode = source->m_pCreationCode;
    m_physicsWorld = source->m_physicsWorld;
    m_physicsGravityX = source->m_physicsGravityX;
    m_physicsGravityY = source->m_physicsGravityY;
    m_physicsPixToMeters = source->m_physicsPixToMeters;
    for (int i = 0; i < 8; ++i) m_backgrounds[i] = source->m_backgrounds[i];
    m_enableViews = source->m_enableViews;
    m_clearViewBackground = source->m_clearViewBackground;
    m_clearDisplay = source->m_clearDisplay;
    for (int i = 0; i < 8; ++i) {
        const int32_t surface = m_views[i].surface;
        m_views[i] = source->m_views[i];
        m_views[i].surface = surface;
        if (g_isNimbar) {
            const CCamera* clone = g_CM.CloneCamera(source->m_views[i].camera);
            m_views[i].camera = clone != nullptr ? clone->GetID() : -1;
        }
    }

    CLayerManager::DuplicateRoomLayers(this, source);

    const std::shared_ptr<RoomStorage>& from = source->m_pStorage;
    if (m_ownsStorage) {
        m_pStorage = std::make_shared<RoomStorage>();
        m_pStorage->hasInstanceList = m_pStorage->hasTileList = true;
        if (from) {
            m_pStorage->speed = from->speed;
            m_pStorage->instances = from->instances;
            m_pStorage->tiles = from->tiles;
        }
    } else {
        m_pStorage = from;
    }

    if (createInstances && from) {
        if (from->hasInstanceList) {
            m_newInstanceIds.reserve(from->instances.size());
            for (const RoomStoredInstance& s : from->instances) {
                if (s.object < 0) continue;
                auto* instance =
                    new CInstance(static_cast<float>(s.x), static_cast<float>(s.y), s.id, s.object, true);
                instance->m_pCreationCode = Code_GetEntry(s.code);
                instance->m_pPreCreationCode = Code_GetEntry(s.preCreateCode);
                instance->i_imagescalex = s.xscale;
                instance->i_imagescaley = s.yscale;
                instance->i_imageblend = s.colour & 0xFFFFFF;
                instance->i_imagealpha = StoredAlpha(s.colour);
                instance->i_imageangle = s.angle;
                // The layer that lists its id, if any; else the run-time
                // build of the room's layers places it.
                CLayerManager::AddInstanceToLayer(
                    this,
                    CLayerManager::GetLayerFromID(this, CLayerManager::GetLayerIDForInstance(this, s.id)),
                    instance);
                Link(instance);
                m_newInstanceIds.push_back(s.id);
            }
        }
        if (from->hasTileList) {
            m_tiles.resize(from->tiles.size());
            for (size_t i = 0; i < from->tiles.size(); ++i) {
                const RoomStoredTile& t = from->tiles[i];
                RTile& r = m_tiles[i];
                r.x = static_cast<float>(t.x);
                r.y = static_cast<float>(t.y);
                r.background = t.background;
                r.left = t.left;
                r.top = t.top;
                r.width = t.width;
                r.height = t.height;
                r.depth = static_cast<float>(t.depth);
                r.id = t.id;
                r.xscale = t.xscale;
                r.yscale = t.yscale;
                r.blend = t.colour & 0xFFFFFF;
                r.alpha = StoredAlpha(t.colour);
                r.visible = true;
            }
        }
    } else if (!m_ownsStorage) {
        m_tiles = source->m_tiles;
    }

    // Each copy takes the whole state of its instance (motion, sprite,
    // alarms, path, timeline, variables). A deactivated copy stays out of its
    // object type's lists, as every deactivated instance does, so the passes
    // that walk those lists never see it.
    for (CInstance* i = source->m_pFirstActive; i != nullptr; i = i->m_pNext) {
        auto* copy = new CInstance(i->i_x, i->i_y, i->i_id, i->i_objindex, false);
        copy->Assign(i, true);
        InsertActive(copy);
        CInstance::ID2Instance().Insert(static_cast<uint32_t>(copy->i_id), copy);
    }
    for (CInstance* i = source->m_pFirstDeactive; i != nullptr; i = i->m_pNext) {
        auto* copy = new CInstance(i->i_x, i->i_y, i->i_id, i->i_objindex, false);
        copy->Assign(i, false);
        AppendDeactive(copy);
        CInstance::ID2Instance().Insert(static_cast<uint32_t>(copy->i_id), copy);
    }
}

// ---------------------------------------------------------------------------
// Stored-record edits

int CRoom::AddInstanceToStorage(float x, float y, int object) {
    if (!m_pStorage) CreateWADStorage();
    RoomStoredInstance s;
    s.x = RealToInt32(x);
    s.y = RealToInt32(y);
    s.object = object;
    s.id = ++room_maxid;
    // No code of its own: index 0 would name another room's first code entry.
    s.code = -1;
    s.preCreateCode = -1;
    m_pStorage->instances.push_back(s);
    m_pStorage->hasInstanceList = true;
    return s.id;
}

int CRoom::AddTileToStorage(int background, int left, int top, int width, int height, int x, int y, int depth,
                            float xscale, float yscale, uint32_t colour) {
    if (!m_pStorage) CreateWADStorage();
    RoomStoredTile t;
    t.x = x;
    t.y = y;
    t.background = background;
    t.left = left;
    t.top = top;
    t.width = width;
    t.height = height;
    t.depth = depth;
    t.id = ++room_maxtileid;
    t.xscale = xscale;
    t.yscale = yscale;
    t.colour = colour;
    m_pStorage->tiles.push_back(t);
    m_pStorage->hasTileList = true;
    return t.id;
}

void CRoom::ClearStorageTiles() {
    if (m_pStorage) m_pStorage->tiles.clear();
}

void CRoom::ClearStorageInstances() {
    if (m_pStorage) m_pStorage->instances.clear();
}

// ---------------------------------------------------------------------------
// Live instance lists

CInstance* CRoom::AddInstance(float x, float y, int object) {
    ++room_maxid;
    auto* instance = new CInstance(x, y, room_maxid, object, true);
    AddInstance(instance);
    return instance;
}

CInstance* CRoom::AddInstance(float x, float y, int depth, int object) {
    ++room_maxid;
    auto* instance = new CInstance(x, y, room_maxid, object, true);
    instance->i_depth = static_cast<float>(depth);
    AddInstance(instance);
    return instance;
}

CInstance* CRoom::AddInstance(float x, float y, CLayer* layer, int object) {
    if (layer == nullptr) return nullptr;
    ++room_maxid;
    auto* instance = new CInstance(x, y, room_maxid, object, true);
    instance->i_depth = static_cast<float>(layer->m_depth);
    CLayerManager::AddInstanceToLayer(this, layer, instance);
    Link(instance);
    return instance;
}

// The layer comes first: placing an instance by depth may change its depth
// (to the layer's), and the list must file it under the depth it keeps.
void CRoom::AddInstance(CInstance* instance) {
    CLayerManager::AddInstance(this, instance);
    Link(instance);
}

void CRoom::Link(CInstance* instance) {
    InsertActive(instance);
    CInstance::ID2Instance().Insert(static_cast<uint32_t>(instance->i_id), instance);
    CollisionInsert(instance);
}

// Walks from the tail to the first instance whose depth is not greater than
// the new one's, so equal depths keep their insertion order and an instance
// created at the largest depth links at once. The comparison is false for a
// NaN depth, which therefore goes to the head.
void CRoom::InsertActive(CInstance* instance) {
    CInstance* after = m_pLastActive;
    while (after != nullptr && !(instance->i_depth >= after->m_listDepth)) after = after->m_pPrev;
    instance->m_listDepth = instance->i_depth;
    instance->m_pPrev = after;
    instance->m_pNext = after != nullptr ? after->m_pNext : m_pFirstActive;
    if (instance->m_pNext != nullptr)
        instance->m_pNext->m_pPrev = instance;
    else
        m_pLastActive = instance;
    if (after != nullptr)
        after->m_pNext = instance;
    else
        m_pFirstActive = instance;
    ++m_activeCount;
    ++ms_activeListStamp;
}

void CRoom::UnlinkActive(CInstance* instance) {
    if (instance->m_pPrev != nullptr)
        instance->m_pPrev->m_pNext = instance->m_pNext;
    else
        m_pFirstActive = instance->m_pNext;
    if (instance->m_pNext != nullptr)
        instance->m_pNext->m_pPrev = instance->m_pPrev;
    else
        m_pLastActive = instance->m_pPrev;
    instance->m_pNext = instance->m_pPrev = nullptr;
    --m_activeCount;
    ++ms_activeListStamp;
}

void CRoom::AppendDeactive(CInstance* instance) {
    instance->m_pNext = nullptr;
    instance->m_pPrev = m_pLastDeactive;
    if (m_pLastDeactive != nullptr)
        m_pLastDeactive->m_pNext = instance;
    else
        m_pFirstDeactive = instance;
    m_pLastDeactive = instance;
    ++m_deactiveCount;
}

void CRoom::UnlinkDeactive(CInstance* instance) {
    if (instance->m_pPrev != nullptr)
        instance->m_pPrev->m_pNext = instance->m_pNext;
    else
        m_pFirstDeactive = instance->m_pNext;
    if (instance->m_pNext != nullptr)
        instance->m_pNext->m_pPrev = instance->m_pPrev;
    else
        m_pLastDeactive = instance->m_pPrev;
    instance->m_pNext = instance->m_pPrev = nullptr;
    --m_deactiveCount;
}

void CRoom::Remove(CInstance* instance, bool active) {
    CLayerManager::RemoveInstance(this, instance);
    if (active)
        UnlinkActive(instance);
    else
        UnlinkDeactive(instance);
    delete instance; // also leaves the id table
}

// The list that holds the instance is found by walking the deactivated list,
// usually the short one: its flag may have changed since the lists were
// last brought in step.
void CRoom::DeleteInstance(CInstance* instance) {
    bool deactive = false;
    for (CInstance* i = m_pFirstDeactive; i != nullptr && !deactive; i = i->m_pNext) deactive = i == instance;
    Remove(instance, !deactive);
}

// The instance destructor leaves every deferred-change array, so nothing
// pending can name a removed instance.
void CRoom::RemoveMarked() {
    const bool rebuild = Room_MarkedCount() >= kTreeRebuildCount && Room_CollisionTreeExists();
    if (rebuild) Room_DiscardCollisionTree();
    for (CInstance* i = m_pFirstActive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (i->i_marked) Remove(i, true);
        i = next;
    }
    if (rebuild) Room_RebuildCollisionTree(this);
    Room_ClearMarkedCount();
}

// Clean Up events may create instances (linked into this list) or destroy
// some (only marked): the walk reads each next link after the event, and
// stops at the instance that was last before the walk began.
void CRoom::CleanPersistent() {
    CInstance* last = m_pLastActive;
    for (CInstance* i = m_pFirstActive; i != nullptr;) {
        const bool end = i == last;
        if (i->i_persistent) Perform_Event(i, i, 12, 0);
        if (end) break;
        i = i->m_pNext;
    }
}

void CRoom::ClearInstances() {
    while (m_pFirstActive != nullptr) Remove(m_pFirstActive, true);
}

void CRoom::ClearDeactiveInstances() {
    while (m_pFirstDeactive != nullptr) Remove(m_pFirstDeactive, false);
}

// Reactivated instances rejoin the active list by depth first; then every
// active instance now deactivated moves to the tail of the deactivated list.
// Only active instances stand in their objects' instance lists, so the event
// passes never meet deactivated ones.
void CRoom::UpdateActive() {
    for (CInstance* i = m_pFirstDeactive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (!i->i_deactivated) {
            UnlinkDeactive(i);
            InsertActive(i);
            i->JoinLists();
            CLayerManager::UpdateInstanceActivation(this, i);
        }
        i = next;
    }
    for (CInstance* i = m_pFirstActive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (i->i_deactivated) {
            UnlinkActive(i);
            AppendDeactive(i);
            i->LeaveLists();
            CLayerManager::UpdateInstanceActivation(this, i);
        }
        i = next;
    }
}

// ---------------------------------------------------------------------------
// Per-step updates

namespace {

// Advances an image index by its speed and wraps it once into [0, frames).
float AdvanceFrame(float index, float speed, int speedType, double fps, int frames) {
    if (speedType == 1)
        index += speed;
    else if (fps != 0.0)
        index += static_cast<float>(speed / fps);
    const float n = static_cast<float>(frames);
    if (index >= n)
        index -= n;
    else if (index < 0.0f)
        index += n;
    return index;
}

} // namespace

void CRoom::UpdateLayers() {
    if (g_isNimbar) UpdateLayers(g_GameTimer.GetFPS());
}

void CRoom::UpdateLayers(double fps) {
    for (CLayer* layer = m_Layers.m_pFirst; layer != nullptr; layer = layer->m_pNext) {
        layer->m_xoffset += layer->m_hspeed;
        layer->m_yoffset += layer->m_vspeed;
        for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext) {
            if (e->m_type == eLayerElementType_Sprite) {
                auto* s = static_cast<CLayerSpriteElement*>(e);
                s->m_imageIndex = AdvanceFrame(s->m_imageIndex, s->m_imageSpeed, s->m_speedType, fps,
                                               Room_SpriteFrameCount(s->m_sprite));
            } else if (e->m_type == eLayerElementType_Background) {
                CBackVT2* b = static_cast<CLayerBackgroundElement*>(e)->m_pBackground;
                if (b != nullptr)
                    b->imageIndex = AdvanceFrame(b->imageIndex, b->imageSpeed, b->speedType, fps,
                                                 Room_SpriteFrameCount(b->index));
            } else if (e->m_type == eLayerElementType_Instance) {
                // The elements of deactivated instances stand at the end.
                CInstance* instance = static_cast<CLayerInstanceElement*>(e)->m_pInstance;
                if (instance != nullptr && instance->i_deactivated) break;
            } else if (e->m_type == eLayerElementType_Tilemap) {
                auto* t = static_cast<CLayerTilemapElement*>(e);
                int frames = 0;
                double frameTime = 0.0;
                // A zero frame rate, frame time or frame count leaves the
                // counter as it is instead of making it NaN or infinite.
                if (Room_TilesetAnimation(t->m_tileset, &frames, &frameTime) && fps > 0.0 &&
                    frameTime > 0.0 && frames > 0)
                    t->m_frame = static_cast<float>(
                        std::fmod(static_cast<double>(t->m_frame) + 1000000.0 / (frameTime * fps), frames));
            }
        }
    }
}

void CRoom::ScrollBackground() {
    for (CBackVT& b : m_backgrounds) {
        b.x += b.hspeed;
        b.y += b.vspeed;
    }
}

// Re-files an active instance by its current depth (after others of equal
// depth); an instance this room's active list does not hold is left alone.
void CRoom::MoveToDepth(CInstance* instance) {
    if (instance == nullptr) return;
    if (instance->m_pPrev == nullptr && m_pFirstActive != instance) return;
    if (instance->m_pPrev != nullptr && instance->m_pPrev->m_pNext != instance) return;
    UnlinkActive(instance);
    InsertActive(instance);
}
