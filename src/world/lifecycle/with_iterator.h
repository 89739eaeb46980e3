// "with" blocks: the iterator compiled code keeps in its frame, and the three
// calls around its loop that select the instances, step through them as self
// and put self and other back.
#pragma once

#include <cstdint>

class CInstance;
class CObjectVT;
class ZQObjectBase;

// The array begins with a null entry that ends the iteration; the instances
// after the first follow it, and the cursor (one past the next entry to
// visit) walks backwards from the end.
struct SWithIterator {
    ZQObjectBase* m_pOriginalSelf = nullptr;
    ZQObjectBase* m_pOriginalOther = nullptr;
    CInstance** m_pInstances = nullptr;
    CInstance** m_pCursor = nullptr;
};

// Saves *self and *other, selects the instances of `target`, makes the first
// one self and the saved self other, and returns how many will be visited:
// 0 for none (self and other untouched), -1 for the targets that select
// nothing (-4, -5, -7). The set is fixed here.
int ZQVTL_NewWithIterator(SWithIterator* it, ZQObjectBase** self, ZQObjectBase** other, int target);
// Moves to the next instance as self; false at the end.
bool ZQVTL_WithIteratorNext(SWithIterator* it, ZQObjectBase** self, ZQObjectBase** other);
// Frees the array and restores self and other.
void ZQVTL_DeleteWithIterator(SWithIterator* it, ZQObjectBase** self, ZQObjectBase** other);

// The gathering of an object target, also usable one source at a time: the
// type's instances (descendants' included), then the instances waiting for an
// object change, then those waiting for (de)activation whose own object is
// the type; each neither marked nor deactivated, and each once, at its latest
// position. Gathering starts empty with WithGather_Begin.
void WithGather_Begin();
void AddActiveInstances(CObjectVT* type);
void AddChangingInstances(CObjectVT* type);
void AddDeactivatingInstances(CObjectVT* type);
// The gathered instances in order, de-duplicated (valid until the next Begin).
CInstance* const* WithGather_Result(int32_t* count);
// Frees the gathering arrays (end of the run).
void FINALIZE_With_Iterator();
