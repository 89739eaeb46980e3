// Room chunk layout: the count and offset table, then per room its record
// (name, caption, settings, flags, four list offsets, physics words and the
// layer-list offset) and its lists, each a count and record offsets followed
// by the records.
#include "room_chunk.h"

namespace wad {

namespace {

template <typename T, typename Write>
void WriteList(Chunk& c, const std::string& label, const std::optional<std::vector<T>>& list, Write write) {
    if (!list) return;
    c.Label(label);
    c.U32(static_cast<uint32_t>(list->size()));
    for (size_t i = 0; i < list->size(); ++i) c.Offset(label + "." + std::to_string(i));
    for (size_t i = 0; i < list->size(); ++i) {
        c.Label(label + "." + std::to_string(i));
        write(c, (*list)[i]);
    }
}

template <typename T>
void ListOffset(Chunk& c, const std::string& label, const std::optional<std::vector<T>>& list) {
    if (list)
        c.Offset(label);
    else
        c.U32(0);
}

} // namespace

Chunk& WriteRooms(GameDataWriter& writer, const std::vector<std::optional<RoomFields>>& rooms,
                  const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("ROOM");
    c.U32(static_cast<uint32_t>(rooms.size()));
    for (size_t i = 0; i < rooms.size(); ++i) {
        if (rooms[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < rooms.size(); ++i) {
        if (!rooms[i]) continue;
        const RoomFields& r = *rooms[i];
        const std::string base = labelPrefix + "." + std::to_string(i);
        c.Label(base);
        if (r.name)
            c.String(*r.name);
        else
            c.U32(0);
        if (r.caption)
            c.String(*r.caption);
        else
            c.U32(0);
        c.S32(r.width).S32(r.height).S32(r.speed).S32(r.persistent).S32(r.colour).S32(r.showColour);
        c.S32(r.code).U32(r.flags);
        ListOffset(c, base + ".bg", r.backgrounds);
        ListOffset(c, base + ".view", r.views);
        ListOffset(c, base + ".inst", r.instances);
        ListOffset(c, base + ".tile", r.tiles);
        c.S32(r.physics).Zeros(16).F32(r.gravityX).F32(r.gravityY).F32(r.pixToMeters);
        c.U32(0); // layer list: none
        WriteList(c, base + ".bg", r.backgrounds, [](Chunk& k, const RoomBackgroundFields& b) {
            k.S32(b.visible).S32(b.foreground).S32(b.index).S32(b.x).S32(b.y);
            k.S32(b.htiled).S32(b.vtiled).S32(b.hspeed).S32(b.vspeed).S32(b.stretch);
        });
        WriteList(c, base + ".view", r.views, [](Chunk& k, const RoomViewFields& v) {
            k.S32(v.visible).S32(v.xview).S32(v.yview).S32(v.wview).S32(v.hview);
            k.S32(v.xport).S32(v.yport).S32(v.wport).S32(v.hport);
            k.S32(v.hborder).S32(v.vborder).S32(v.hspeed).S32(v.vspeed).S32(v.follow);
        });
        WriteList(c, base + ".inst", r.instances, [](Chunk& k, const RoomInstanceFields& n) {
            k.S32(n.x).S32(n.y).S32(n.object).S32(n.id).S32(n.code);
            k.F32(n.xscale).F32(n.yscale).U32(n.colour).F32(n.angle).S32(n.preCreateCode);
        });
        WriteList(c, base + ".tile", r.tiles, [](Chunk& k, const RoomTileFields& t) {
            k.S32(t.x).S32(t.y).S32(t.background).S32(t.left).S32(t.top).S32(t.width).S32(t.height);
            k.S32(t.depth).S32(t.id).F32(t.xscale).F32(t.yscale).U32(t.colour);
        });
    }
    return c;
}

} // namespace wad
