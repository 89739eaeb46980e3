// Object and timeline chunk layouts. Handler data is {action count, action
// record offset}; an action record is 36 bytes with the code index last.
#include "object_chunk.h"

namespace wad {

namespace {

// Handler data and its action record, labelled `label` and `label + ".a"`.
void WriteHandler(Chunk& c, const std::string& label, const std::optional<int32_t>& codeIndex) {
    c.Label(label);
    if (codeIndex) {
        c.U32(1).Offset(label + ".a");
        c.Label(label + ".a").Zeros(32).S32(*codeIndex);
    } else {
        c.U32(0).U32(0);
    }
}

} // namespace

Chunk& WriteObjects(GameDataWriter& writer, const std::vector<std::optional<ObjectFields>>& objects,
                    uint8_t version, const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("OBJT");
    c.U32(static_cast<uint32_t>(objects.size()));
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (!objects[i]) continue;
        const ObjectFields& o = *objects[i];
        const std::string base = labelPrefix + "." + std::to_string(i);
        c.Label(base);
        if (o.name)
            c.String(*o.name);
        else
            c.U32(0);
        c.U32(o.spriteWord)
            .U32(o.visible)
            .U32(o.solid)
            .S32(o.depth)
            .U32(o.persistent)
            .S32(o.parent)
            .S32(o.mask);
        if (version >= 6) {
            c.U32(o.physics).U32(o.sensor).S32(o.shape).F32(o.density).F32(o.restitution).S32(o.group);
            c.F32(o.linearDamping).F32(o.angularDamping).U32(static_cast<uint32_t>(o.points.size()));
            if (version >= 9) c.F32(o.friction).U32(o.awake).U32(o.kinematic);
            for (const auto& [x, y] : o.points) c.F32(x).F32(y);
        }
        c.U32(o.typeCount.value_or(static_cast<uint32_t>(o.events.size())));
        for (size_t t = 0; t < o.events.size(); ++t) c.Offset(base + ".t" + std::to_string(t));
        for (size_t t = 0; t < o.events.size(); ++t) {
            const std::string list = base + ".t" + std::to_string(t);
            c.Label(list).U32(static_cast<uint32_t>(o.events[t].size()));
            for (size_t e = 0; e < o.events[t].size(); ++e) c.Offset(list + ".e" + std::to_string(e));
            for (size_t e = 0; e < o.events[t].size(); ++e) {
                const std::string event = list + ".e" + std::to_string(e);
                c.Label(event).S32(o.events[t][e].subtype);
                WriteHandler(c, event + ".h", o.events[t][e].codeIndex);
            }
        }
    }
    return c;
}

Chunk& WriteTimeLines(GameDataWriter& writer, const std::vector<std::optional<TimeLineFields>>& timelines,
                      const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("TMLN");
    c.U32(static_cast<uint32_t>(timelines.size()));
    for (size_t i = 0; i < timelines.size(); ++i) {
        if (timelines[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < timelines.size(); ++i) {
        if (!timelines[i]) continue;
        const TimeLineFields& t = *timelines[i];
        const std::string base = labelPrefix + "." + std::to_string(i);
        c.Label(base);
        if (t.name)
            c.String(*t.name);
        else
            c.U32(0);
        c.U32(static_cast<uint32_t>(t.moments.size()));
        for (size_t m = 0; m < t.moments.size(); ++m) {
            c.S32(t.moments[m].step);
            if (t.moments[m].codeIndex)
                c.Offset(base + ".m" + std::to_string(m));
            else
                c.U32(0);
        }
        for (size_t m = 0; m < t.moments.size(); ++m)
            if (t.moments[m].codeIndex)
                WriteHandler(c, base + ".m" + std::to_string(m), t.moments[m].codeIndex);
    }
    return c;
}

} // namespace wad
