// Timelines: resources of moments (a step number and what runs at it),
// loaded from the "TMLN" chunk, compiled at preparation, played by
// instances, and changed by the timeline built-ins at run time.
#pragma once

#include <cstdint>

class CEvent;
class ImageReader;

// A moment's entry: a CEvent* (owned by the timeline) or, with the lowest
// bit set, a script reference 2 × script index + 1 (not owned).
using TimeLineEntry = uintptr_t;

inline bool TimeLine_EntryIsScript(TimeLineEntry entry) {
    return (entry & 1u) != 0;
}

// Moments sorted by ascending step, at most one per step.
class CTimeLine {
public:
    CTimeLine() = default;
    virtual ~CTimeLine();
    CTimeLine(const CTimeLine&) = delete;
    CTimeLine& operator=(const CTimeLine&) = delete;

    int GetCount() const { return m_count; }
    // The step or entry of moment i; 0 out of range.
    int32_t GetStep(int i) const { return i >= 0 && i < m_count ? m_steps[i] : 0; }
    TimeLineEntry GetEvent(int i) const { return i >= 0 && i < m_count ? m_entries[i] : 0; }

    // The moment at exactly `step`, or -1.
    int Find(int32_t step) const;
    // The first moment whose step is at least x (the count when none).
    int FindLarger(double x) const;
    // The last moment whose step is at most x, or -1.
    int FindSmaller(double x) const;

    // Inserts an empty (undefined) event at `step`; null when a moment is
    // already there or memory runs out.
    CEvent* AddMoment(int32_t step);
    // Inserts a moment running script `script`; its index, or -1 when a
    // moment is already at `step` (or memory runs out).
    int AddMomentScript(int32_t step, int script);
    // Adds a script moment unless one stands at exactly `step`.
    void MakeMomentScript(int32_t step, int script);
    // Removes the moment at exactly `step` (its event deleted); nothing when none.
    void DeleteMoment(int32_t step);
    // Removes every moment.
    void Clear();

    // Replaces the moments with the record's {name, count, {step, event
    // record offset}...} at the reader's position (after its name word).
    // Steps must ascend strictly. Violations throw GameDataError.
    void LoadFromChunk(ImageReader& record);
    // Compiles every moment's event with the current event number set to its step.
    bool Compile();

private:
    // Opens a gap at `index` for a new moment; false when memory runs out.
    bool InsertAt(int index, int32_t step, TimeLineEntry entry);
    static void FreeEntry(TimeLineEntry entry);

    int32_t* m_steps = nullptr;
    TimeLineEntry* m_entries = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

// Table operations. Slots of deleted timelines stay empty; new timelines
// always append.
void TimeLine_Init();
void TimeLine_Load(ImageReader& chunk);
bool TimeLine_Prepare();
int TimeLine_Number();
bool TimeLine_Exists(int index);
const char* TimeLine_Name(int index);
int TimeLine_Find(const char* name);
CTimeLine* TimeLine_Data(int index);
int TimeLine_Add();
bool TimeLine_Delete(int index);
void TimeLine_Quit();
void FINALIZE_Timeline_Main();
