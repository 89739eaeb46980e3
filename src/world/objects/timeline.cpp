// Timelines: the moments of one timeline (parallel step and entry arrays in
// ascending step order, searched by bisection), the "TMLN" chunk and the
// timeline table. Names are copied out of the data file.
#include "world/objects/timeline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "core/code.h"
#include "core/game_image.h"
#include "core/memory_manager.h"
#include "core/resource_table.h"
#include "core/run_state.h"
#include "world/datafile/game_data_services.h"
#include "world/objects/event.h"

// ---------------------------------------------------------------------------
// One timeline.

CTimeLine::~CTimeLine() {
    Clear();
    ZQ_Free(m_steps);
    ZQ_Free(m_entries);
}

void CTimeLine::FreeEntry(TimeLineEntry entry) {
    if (entry != 0 && !TimeLine_EntryIsScript(entry)) delete reinterpret_cast<CEvent*>(entry);
}

void CTimeLine::Clear() {
    for (int i = 0; i < m_count; ++i) FreeEntry(m_entries[i]);
    m_count = 0;
}

int CTimeLine::Find(int32_t step) const {
    const int i = FindLarger(step);
    return i < m_count && m_steps[i] == step ? i : -1;
}

// Bisection for the first step not below x.
int CTimeLine::FindLarger(double x) const {
    int low = 0;
    int high = m_count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (static_cast<double>(m_steps[mid]) < x)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// Bisection for the first step above x; the moment before it is the answer.
int CTimeLine::FindSmaller(double x) const {
    if (std::isnan(x)) return -1;
    int low = 0;
    int high = m_count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (static_cast<double>(m_steps[mid]) <= x)
            low = mid + 1;
        else
            high = mid;
    }
    return low - 1;
}

bool CTimeLine::InsertAt(int index, int32_t step, TimeLineEntry entry) {
    if (m_count == m_capacity) {
        if (m_capacity > INT_MAX / 2) return false;
        const int grown = m_capacity < 4 ? 4 : m_capacity * 2;
        int32_t* steps = ZQ_ReAllocArray<int32_t>(m_steps, static_cast<size_t>(grown));
        if (steps == nullptr) return false;
        m_steps = steps;
        TimeLineEntry* entries = ZQ_ReAllocArray<TimeLineEntry>(m_entries, static_cast<size_t>(grown));
        if (entries == nullptr) return false;
        m_entries = entries;
        m_capacity = grown;
    }
    const size_t tail = static_cast<size_t>(m_count - index);
    std::memmove(m_steps + index + 1, m_steps + index, tail * sizeof *m_steps);
    std::memmove(m_entries + index + 1, m_entries + index, tail * sizeof *m_entries);
    m_steps[index] = step;
    m_entries[index] = entry;
    ++m_count;
    return true;
}

CEvent* CTimeLine::AddMoment(int32_t step) {
    const int index = FindLarger(step);
    if (index < m_count && m_steps[index] == step) return nullptr;
    auto event = std::make_unique<CEvent>();
    if (!InsertAt(index, step, reinterpret_cast<TimeLineEntry>(event.get()))) return nullptr;
    return event.release();
}

int CTimeLine::AddMomentScript(int32_t step, int script) {
    if (script < 0) return -1;
    const int index = FindLarger(step);
    if (index < m_count && m_steps[index] == step) return -1;
    const TimeLineEntry entry = 2 * static_cast<TimeLineEntry>(script) + 1;
    return InsertAt(index, step, entry) ? index : -1;
}

void CTimeLine::MakeMomentScript(int32_t step, int script) {
    if (Find(step) >= 0) return;
    AddMomentScript(step, script);
}

void CTimeLine::DeleteMoment(int32_t step) {
    const int index = Find(step);
    if (index < 0) return;
    FreeEntry(m_entries[index]);
    const size_t tail = static_cast<size_t>(m_count - index - 1);
    std::memmove(m_steps + index, m_steps + index + 1, tail * sizeof *m_steps);
    std::memmove(m_entries + index, m_entries + index + 1, tail * sizeof *m_entries);
    --m_count;
}

// Moments {step, offset of the event's handler data}; steps must ascend
// strictly, since every search relies on the order. A moment without
// handler data is an empty event.
void CTimeLine::LoadFromChunk(ImageReader& record) {
    Clear();
    const uint32_t moments = record.Count(8);
    if (moments > INT_MAX / 2) record.Fail("moment count is too large");
    for (uint32_t m = 0; m < moments; ++m) {
        const int32_t step = record.S32();
        const uint32_t offset = record.U32();
        if (m_count > 0 && step <= m_steps[m_count - 1]) record.Fail("moment steps do not ascend");
        auto event = std::make_unique<CEvent>();
        if (offset != 0) {
            ImageReader handler = record.At(offset);
            event->LoadFromChunk(handler);
        }
        if (!InsertAt(m_count, step, reinterpret_cast<TimeLineEntry>(event.get()))) throw std::bad_alloc();
        event.release();
    }
}

bool CTimeLine::Compile() {
    Current_Event_Type = EVENT_TYPE_TIMELINE;
    for (int i = 0; i < m_count; ++i) {
        Current_Event_Number = m_steps[i];
        if (!TimeLine_EntryIsScript(m_entries[i]) && m_entries[i] != 0 &&
            !reinterpret_cast<CEvent*>(m_entries[i])->Compile())
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The table.

namespace {

// The timelines by index; an empty index has neither timeline nor name.
CResourceTable<CTimeLine> g_TimeLines;

} // namespace

void TimeLine_Init() {
    g_TimeLines.Clear();
}

void TimeLine_Quit() {
    TimeLine_Init();
}

void FINALIZE_Timeline_Main() {
    TimeLine_Init();
}

// The table becomes the chunk's timelines only when every record has been read.
void TimeLine_Load(ImageReader& chunk) {
    // Timelines, moments and names made for one chunk add up to at most the
    // load budget: records are reached by offset, so a small file could
    // otherwise name one large record from every slot.
    const size_t budget = GameData_LoadBudget(chunk.ImageLength());
    size_t used = 0;
    g_TimeLines.Load(chunk, "timeline count is too large", [&](int i, uint32_t offset) {
        ImageReader record = chunk.At(offset);
        const char* name = record.StringAt();
        if (name == nullptr) name = "";
        auto line = std::make_unique<CTimeLine>();
        line->LoadFromChunk(record);
        used += sizeof(CTimeLine) + std::strlen(name) + 1 +
                static_cast<size_t>(line->GetCount()) *
                    (sizeof(int32_t) + sizeof(TimeLineEntry) + sizeof(CEvent) + sizeof(CCode));
        if (used > budget)
            GameData_Fail(
                chunk.Chunk(),
                "timeline %d at offset %u: the timelines add up to more than the %zu bytes a file of this "
                "size may load",
                i, offset, budget);
        return CResourceRecord<CTimeLine>{std::move(line), name};
    });
}

bool TimeLine_Prepare() {
    for (int i = 0; i < g_TimeLines.Number(); ++i) {
        CTimeLine* line = g_TimeLines.Data(i);
        if (line == nullptr) continue;
        Current_Object = i;
        if (!line->Compile()) return false;
    }
    return true;
}

int TimeLine_Number() {
    return g_TimeLines.Number();
}

bool TimeLine_Exists(int index) {
    return g_TimeLines.Exists(index);
}

const char* TimeLine_Name(int index) {
    return g_TimeLines.Name(index);
}

int TimeLine_Find(const char* name) {
    return g_TimeLines.Find(name);
}

CTimeLine* TimeLine_Data(int index) {
    return g_TimeLines.Data(index);
}

// Scripts are told of a failed addition by -1 rather than an exception.
int TimeLine_Add() {
    try {
        return g_TimeLines.Append(std::make_unique<CTimeLine>(), "__newtimeline");
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

// The slot stays, empty: instances playing later timelines keep their indices.
bool TimeLine_Delete(int index) {
    return g_TimeLines.Delete(index);
}
