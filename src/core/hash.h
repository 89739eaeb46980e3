// Hash<T>: a chained table of element pointers keyed by an unsigned integer.
// Buckets are {first, last} node lists; the bucket of a key is key & mask.
// The table owns its elements: destroying it deletes every element still in
// it, so tables that must outlive nothing are emptied by their module's
// finaliser first.
#pragma once

#include <cstdint>
#include <new>
#include <type_traits>

#include "core/memory_manager.h"

// What Delete and Clear do with an element.
enum eDeleteType {
    eDelete_Keep = 0,       // leave it alone
    eDelete_Delete = 1,     // run its destructor and delete it
    eDelete_Free = 2,       // release its manager block only
    eDelete_DestroyFree = 3 // run its destructor, then release its manager block
};

template <typename T>
class Hash {
public:
    struct Node {
        Node* prev;
        Node* next;
        uint32_t key;
        T* element;
    };
    struct Bucket {
        Node* first;
        Node* last;
    };

    // `buckets` is rounded up to a power of two.
    explicit Hash(uint32_t buckets = 64) {
        uint32_t size = 1;
        while (size < buckets) size <<= 1;
        m_mask = size - 1;
        m_buckets = ZQ_AllocArray<Bucket>(size);
        if (m_buckets == nullptr) throw std::bad_alloc();
    }

    ~Hash() {
        Clear(eDelete_Delete);
        ZQ_Free(m_buckets);
    }
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;

    int Count() const { return m_count; }
    uint32_t BucketCount() const { return m_mask + 1; }

    // Appends {key, element} at the end of the key's bucket; duplicates are
    // allowed and found in insertion order.
    bool Insert(uint32_t key, T* element) {
        Node* node = static_cast<Node*>(ZQ_AllocNoClear(sizeof(Node)));
        if (node == nullptr) return false;
        Bucket& bucket = m_buckets[key & m_mask];
        *node = {bucket.last, nullptr, key, element};
        if (bucket.last != nullptr)
            bucket.last->next = node;
        else
            bucket.first = node;
        bucket.last = node;
        ++m_count;
        return true;
    }

    // The element of the first node with the key, or null.
    T* Find(uint32_t key) const {
        for (Node* node = m_buckets[key & m_mask].first; node != nullptr; node = node->next) {
            if (node->key == key) return node->element;
        }
        return nullptr;
    }

    bool Delete(uint32_t key, eDeleteType type) {
        Bucket& bucket = m_buckets[key & m_mask];
        for (Node* node = bucket.first; node != nullptr; node = node->next) {
            if (node->key != key) continue;
            Unlink(bucket, node);
            Dispose(node->element, type);
            ZQ_Free(node);
            --m_count;
            return true;
        }
        return false;
    }

    // Unlinks the node that holds `element` under `key`, keeping the element;
    // other nodes of the same key stay. True when there was such a node.
    bool DeleteElement(uint32_t key, const T* element) {
        Bucket& bucket = m_buckets[key & m_mask];
        for (Node* node = bucket.first; node != nullptr; node = node->next) {
            if (node->key != key || node->element != element) continue;
            Unlink(bucket, node);
            ZQ_Free(node);
            --m_count;
            return true;
        }
        return false;
    }

    // Empties every bucket, from the last to the first.
    void Clear(eDeleteType type) {
        for (uint32_t i = m_mask + 1; i-- > 0;) {
            Node* node = m_buckets[i].first;
            m_buckets[i] = {nullptr, nullptr};
            while (node != nullptr) {
                Node* next = node->next;
                Dispose(node->element, type);
                ZQ_Free(node);
                --m_count;
                node = next;
            }
        }
    }

    // Visits every element, bucket by bucket; fn(key, element).
    template <typename Fn>
    void ForEach(Fn&& fn) const {
        for (uint32_t i = 0; i <= m_mask; ++i) {
            for (Node* node = m_buckets[i].first; node != nullptr;) {
                Node* next = node->next; // fn may delete the node's key
                fn(node->key, node->element);
                node = next;
            }
        }
    }

private:
    static void Unlink(Bucket& bucket, Node* node) {
        if (node->prev != nullptr)
            node->prev->next = node->next;
        else
            bucket.first = node->next;
        if (node->next != nullptr)
            node->next->prev = node->prev;
        else
            bucket.last = node->prev;
    }

    static void Dispose(T* element, eDeleteType type) {
        if (element == nullptr) return;
        switch (type) {
            case eDelete_Keep: break;
            case eDelete_Delete: delete element; break;
            case eDelete_Free: ZQ_Free(element); break;
            case eDelete_DestroyFree:
                element->~T();
                ZQ_Free(element);
                break;
        }
    }

    Bucket* m_buckets = nullptr;
    uint32_t m_mask = 0;
    int m_count = 0;
};
