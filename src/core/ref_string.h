// The reference-counted string record that string values point to, and the
// string makers and text helpers built on it.
#pragma once

#include <cstddef>
#include <cstdint>

struct RValue;

template <typename T>
struct _RefThing;

// A string record: the text (a memory-manager block, or null), how many values
// hold the record, and the text's length when the record was made. Records
// live on the ordinary heap; the last release frees the text and the record.
// Reference counts are plain integers: values belong to the main thread.
template <>
struct _RefThing<const char*> {
    const char* m_thing;
    int32_t m_refCount;
    int32_t m_size;

    // A record with count 1 holding a copy of `text` (null gives no text).
    static _RefThing* Create(const char* text);
    // A record with count 1 holding a copy of `length` bytes and a zero.
    static _RefThing* Create(const char* bytes, size_t length);
    // A record with count 1 that takes ownership of a memory-manager text block.
    static _RefThing* Adopt(char* block);

    const char* Get() const { return m_thing; }
    int32_t Size() const { return m_size; }
    void Inc() { ++m_refCount; }
    // Drops one reference; the last one frees the text and the record.
    void Dec();
};
using RefString = _RefThing<const char*>;

// A new memory-manager block holding a copy of text and its zero; null for null.
char* ZQStrDup(const char* text);
// A new memory-manager block holding `length` bytes and a zero; null when out
// of memory.
char* ZQStrNDup(const char* bytes, size_t length);

// Releases v (kinds string to vec3), then makes it a string value holding a
// new record with a copy of text (a null text gives a record without text).
RValue* ZQCreateString(RValue* v, const char* text);
// The same without releasing: for a value that holds nothing.
RValue* ZQSetString(RValue* v, const char* text);
// Makes v a string holding the given record itself, which gains a reference
// (the text is not copied). Compiled code passes its constant records: such a
// record keeps one reference of its own for as long as it lives, so the values
// made from it never free it. The first form releases v first; the record is
// taken before the release, so v may already hold it.
RValue* ZQCreateString(RValue* v, RefString* record);
RValue* ZQSetString(RValue* v, RefString* record);
// Makes v (holding nothing) a string of `length` bytes copied from `bytes`.
RValue* ZQSetStringBytes(RValue* v, const char* bytes, size_t length);
