// Room chunk layout: the count and offset table, then per room its record
// (name, caption, settings, flags, four list offsets, physics words and the
// layer-list offset) and its lists, each a count and record offsets followed
// by the records; layer records carry their own tile and sprite lists.
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

void WriteTile(Chunk& k, const RoomTileFields& t) {
    k.S32(t.x).S32(t.y).S32(t.background).S32(t.left).S32(t.top).S32(t.width).S32(t.height);
    k.S32(t.depth).S32(t.id).F32(t.xscale).F32(t.yscale).U32(t.colour);
}

void WriteLayer(Chunk& k, const std::string& at, const RoomLayerFields& l) {
    if (l.name)
        k.String(*l.name);
    else
        k.U32(0);
    k.S32(l.id).S32(l.type).S32(l.depth).F32(l.xoffset).F32(l.yoffset).F32(l.hspeed).F32(l.vspeed);
    k.S32(l.visible);
    switch (l.type) {
        case 1:
            k.S32(l.bgVisible).S32(l.bgForeground).S32(l.bgSprite).S32(l.bgHtiled).S32(l.bgVtiled);
            k.S32(l.bgStretch).U32(l.bgColour).F32(l.bgImageIndex).F32(l.bgImageSpeed).S32(l.bgSpeedType);
            break;
        case 2:
            k.U32(static_cast<uint32_t>(l.instances.size()));
            for (int32_t id : l.instances) k.S32(id);
            break;
        case 3:
            ListOffset(k, at + ".tiles", l.tiles);
            ListOffset(k, at + ".sprites", l.sprites);
            WriteList(k, at + ".tiles", l.tiles, WriteTile);
            WriteList(k, at + ".sprites", l.sprites, [](Chunk& c, const RoomLayerSpriteFields& s) {
                if (s.name)
                    c.String(*s.name);
                else
                    c.U32(0);
                c.S32(s.sprite).S32(s.x).S32(s.y).F32(s.xscale).F32(s.yscale).U32(s.colour);
                c.F32(s.imageSpeed).S32(s.speedType).F32(s.imageIndex).F32(s.angle);
            });
            break;
        case 4:
            k.S32(l.tileset).S32(l.mapWidth).S32(l.mapHeight);
            for (uint32_t cell : l.cells) k.U32(cell);
            break;
        default: break;
    }
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
        ListOffset(c, base + ".layer", r.layers);
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
        WriteList(c, base + ".tile", r.tiles, WriteTile);
        WriteList(c, base + ".layer", r.layers, [&](Chunk& k, const RoomLayerFields& l) {
            // Labels of the layer's own lists follow from its place in the record.
            const std::string at = base + ".layer." + std::to_string(&l - r.layers->data());
            WriteLayer(k, at, l);
        });
    }
    return c;
}

} // namespace wad
