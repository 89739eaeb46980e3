// The runtime's intrusive doubly linked list: the objects carry their own
// next and previous links, and a delete type says what emptying the list does
// with the objects still in it.
#pragma once

#include <cstdint>

#include "core/hash.h"
#include "core/memory_manager.h"

// An intrusive doubly linked list: objects carry m_pNext and m_pPrev (which
// may be typed as a base of T). Delete types are those of core/hash.h.
template <typename T>
struct LinkedList {
    T* m_pFirst = nullptr;
    T* m_pLast = nullptr;
    int32_t m_Count = 0;
    int32_t m_DeleteType = eDelete_Delete;

    void PushFront(T* item) {
        item->m_pPrev = nullptr;
        item->m_pNext = m_pFirst;
        if (m_pFirst != nullptr)
            m_pFirst->m_pPrev = item;
        else
            m_pLast = item;
        m_pFirst = item;
        ++m_Count;
    }
    void PushBack(T* item) {
        item->m_pNext = nullptr;
        item->m_pPrev = m_pLast;
        if (m_pLast != nullptr)
            m_pLast->m_pNext = item;
        else
            m_pFirst = item;
        m_pLast = item;
        ++m_Count;
    }
    // Links `item` in front of `before` (at the end when `before` is null).
    void InsertBefore(T* before, T* item) {
        if (before == nullptr) return PushBack(item);
        item->m_pNext = before;
        item->m_pPrev = before->m_pPrev;
        if (before->m_pPrev != nullptr)
            before->m_pPrev->m_pNext = item;
        else
            m_pFirst = item;
        before->m_pPrev = item;
        ++m_Count;
    }
    void Unlink(T* item) {
        if (item->m_pPrev != nullptr)
            item->m_pPrev->m_pNext = item->m_pNext;
        else
            m_pFirst = static_cast<T*>(item->m_pNext);
        if (item->m_pNext != nullptr)
            item->m_pNext->m_pPrev = item->m_pPrev;
        else
            m_pLast = static_cast<T*>(item->m_pPrev);
        item->m_pNext = item->m_pPrev = nullptr;
        --m_Count;
    }
    T* PopFront() {
        T* item = m_pFirst;
        if (item != nullptr) Unlink(item);
        return item;
    }
    // Empties the list, disposing of the objects by the delete type.
    void Clear() {
        while (T* item = PopFront()) {
            switch (m_DeleteType) {
                case eDelete_Delete: delete item; break;
                case eDelete_Free: ZQ_Free(item); break;
                case eDelete_DestroyFree:
                    item->~T();
                    ZQ_Free(item);
                    break;
                default: break;
            }
        }
    }
};
