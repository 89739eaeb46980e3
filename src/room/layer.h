// Layers and their elements: the seven element kinds, the intrusive list and
// object pool that hold them, and the layer manager's state. Every layer and
// element comes from a pool and returns to it, so rooms change without
// allocating in the steady state.
#pragma once

#include <cstdint>
#include <new>

#include "core/memory_manager.h"
#include "core/timing_source.h"
#include "room/linked_list.h"
#include "room/room.h"

class CInstance;

enum eLayerElementType {
    eLayerElementType_Background = 1,
    eLayerElementType_Instance = 2,
    eLayerElementType_OldTilemap = 3,
    eLayerElementType_Sprite = 4,
    eLayerElementType_Tilemap = 5,
    eLayerElementType_ParticleSystem = 6,
    eLayerElementType_Tile = 7,
};

class CLayer;

// The settings of a background element.
struct CBackVT2 {
    bool visible;
    bool foreground;
    int32_t index; // sprite
    bool htiled;
    bool vtiled;
    float xscale;
    float yscale;
    bool stretch;
    int32_t blend;
    float alpha;
    float imageIndex;
    float imageSpeed;
    int32_t speedType;
};

struct CLayerElementBase {
    int32_t m_type;
    int32_t m_id = -1;
    bool m_bRuntimeDataInitialised = false;
    // The element's name; freed with the element when `m_bOwnsName` is set
    // (names the manager gives are always own copies, so moving an element
    // to another layer or freeing the data image never leaves it dangling).
    const char* m_pName = nullptr;
    bool m_bOwnsName = false;
    CLayer* m_pLayer = nullptr;
    CLayerElementBase* m_pNext = nullptr;
    CLayerElementBase* m_pPrev = nullptr;

    explicit CLayerElementBase(int32_t type) : m_type(type) {}
};

struct CLayerBackgroundElement : CLayerElementBase {
    CBackVT2* m_pBackground = nullptr; // owned
    CLayerBackgroundElement() : CLayerElementBase(eLayerElementType_Background) {}
};

struct CLayerInstanceElement : CLayerElementBase {
    int32_t m_instanceID = -1;
    CInstance* m_pInstance = nullptr;
    CLayerInstanceElement() : CLayerElementBase(eLayerElementType_Instance) {}
};

// 32 run-time tiles of an old tilemap; tile i lives in slab i/32 at i%32.
struct CTileSlab {
    RTile tiles[32];
    int32_t count = 0;
    CTileSlab* m_pNext = nullptr;
    CTileSlab* m_pPrev = nullptr;
};

// A block of legacy tile records an old tilemap is built from: a 32-bit
// count k, k pointers, then k records of 48 bytes (the room record's tile
// layout), pointer i addressing record i.
struct COldTileBlock {
    static constexpr size_t kRecordSize = 48;
    // A new zeroed block for `count` records with its pointers set; null when
    // the count is negative or out of memory.
    static uint8_t* Allocate(int32_t count);
    static size_t Size(int32_t count);
    static int32_t Count(const uint8_t* block);
    static uint8_t* Record(uint8_t* block, int32_t i);
    static const uint8_t* Record(const uint8_t* block, int32_t i);
};

struct CLayerOldTilemapElement : CLayerElementBase {
    uint8_t* m_pTiles = nullptr;   // owned COldTileBlock
    int32_t m_numTiles = 0;        // tiles built into the slabs
    LinkedList<CTileSlab> m_slabs; // slabs go back to their pool through the manager
    CLayerOldTilemapElement() : CLayerElementBase(eLayerElementType_OldTilemap) {
        m_slabs.m_DeleteType = eDelete_Keep;
    }
};

struct CLayerSpriteElement : CLayerElementBase {
    int32_t m_sprite = -1;
    float m_imageIndex = 0.0f;
    float m_imageSpeed = 1.0f;
    int32_t m_speedType = 0; // 0 frames per second, 1 frames per step
    float m_xscale = 1.0f;
    float m_yscale = 1.0f;
    float m_angle = 0.0f;
    int32_t m_blend = static_cast<int32_t>(0xFFFFFFFF);
    float m_alpha = 1.0f;
    float m_x = 0.0f;
    float m_y = 0.0f;
    CLayerSpriteElement() : CLayerElementBase(eLayerElementType_Sprite) {}
};

struct CLayerTilemapElement : CLayerElementBase {
    int32_t m_tileset = -1;
    float m_x = 0.0f;
    float m_y = 0.0f;
    int32_t m_width = 0;
    int32_t m_height = 0;
    float m_frame = 0.0f;
    uint32_t* m_pCells = nullptr; // owned unless in the data image
    uint32_t m_mask = 0x7FFFFFFF;
    CLayerTilemapElement() : CLayerElementBase(eLayerElementType_Tilemap) {}
};

struct CLayerParticleElement : CLayerElementBase {
    int32_t m_systemID = -1;
    CLayerParticleElement() : CLayerElementBase(eLayerElementType_ParticleSystem) {}
};

struct CLayerTileElement : CLayerElementBase {
    bool m_visible = false;
    int32_t m_background = -1;
    float m_x = 0.0f, m_y = 0.0f;
    int32_t m_width = 0, m_height = 0;
    float m_xscale = 1.0f, m_yscale = 1.0f;
    float m_angle = 0.0f;
    int32_t m_blend = static_cast<int32_t>(0xFFFFFFFF);
    float m_alpha = 1.0f;
    int32_t m_left = 0, m_top = 0;
    CLayerTileElement() : CLayerElementBase(eLayerElementType_Tile) {}
};

class CLayer {
public:
    CLayer();
    // Frees the name and unlinks any element left (the manager releases them).
    ~CLayer();
    CLayer(const CLayer&) = delete;
    CLayer& operator=(const CLayer&) = delete;

    int32_t m_id = -1;
    int32_t m_depth = 0;
    float m_xoffset = 0.0f;
    float m_yoffset = 0.0f;
    float m_hspeed = 0.0f;
    float m_vspeed = 0.0f;
    bool m_visible = true;
    bool m_dynamic = false;
    char* m_pName = nullptr; // owned copy
    int32_t m_beginScript = -1;
    int32_t m_endScript = -1;
    int32_t m_shader = -1;
    CTimingSource m_timer; // real-time clock of the layer, reset with the room's run-time data
    LinkedList<CLayerElementBase> m_elements;
    CLayer* m_pNext = nullptr;
    CLayer* m_pPrev = nullptr;
};

// A free list of ready objects of one type. Objects are taken from and
// returned to the front; an empty pool grows by its growth figure, which then
// doubles. A pool that was never filled gets its first batch of `initial`
// (also its growth figure) on first use, so no caller finds it empty.
template <typename T>
class ObjectPool {
public:
    explicit ObjectPool(int32_t initial) : m_initial(initial) { m_free.m_DeleteType = eDelete_DestroyFree; }
    ~ObjectPool() { m_free.Clear(); }
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;

    T* GetFromPool() {
        if (m_free.m_Count == 0) {
            if (m_growth == 0) {
                Prefill();
            } else {
                Grow(m_growth);
                m_growth *= 2;
            }
        }
        return m_free.PopFront();
    }
    // Puts an unlinked object back in its pool state at the front.
    void Return(T* object) {
        object->~T();
        new (object) T();
        m_free.PushFront(object);
    }
    // Fills a pool that was never filled with its first batch.
    void Prefill() {
        if (m_growth != 0) return;
        Grow(m_initial);
        m_growth = m_initial;
    }
    void Free() {
        m_free.Clear();
        m_growth = 0;
    }
    int32_t Count() const { return m_free.m_Count; }
    int32_t Growth() const { return m_growth; }

private:
    void Grow(int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            void* memory = ZQ_Alloc(sizeof(T));
            if (memory == nullptr) throw std::bad_alloc();
            m_free.PushFront(new (memory) T());
        }
    }

    LinkedList<T> m_free;
    int32_t m_initial;
    int32_t m_growth = 0;
};
