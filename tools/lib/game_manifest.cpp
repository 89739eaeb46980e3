// The game's manifest and the data file written from it (see the header).
#include "game_manifest.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "code_chunks.h"
#include "core/code.h"
#include "core/memory_manager.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "options_chunk.h"
#include "path_chunk.h"
#include "render/image_decode.h"
#include "room_chunk.h"
#include "sound_chunks.h"
#include "sprite_chunk.h"
#include "texture_chunks.h"

namespace wad {

namespace {

// ---------------------------------------------------------------------------
// Reading.

[[noreturn]] void Fail(int line, const std::string& what) {
    throw std::runtime_error("game manifest line " + std::to_string(line) + ": " + what);
}

int32_t Int(int line, const std::string& text) {
    try {
        size_t used = 0;
        const long long v = std::stoll(text, &used, 0);
        if (used != text.size() || v < INT32_MIN || v > UINT32_MAX) Fail(line, "bad number " + text);
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    } catch (const std::logic_error&) {
        Fail(line, "bad number " + text);
    }
}

float Real(int line, const std::string& text) {
    try {
        size_t used = 0;
        const float v = std::stof(text, &used);
        if (used != text.size()) Fail(line, "bad number " + text);
        return v;
    } catch (const std::logic_error&) {
        Fail(line, "bad number " + text);
    }
}

// Positional words and key=value options of one line.
struct Line {
    int number;
    std::vector<std::string> words;
    std::map<std::string, std::string> options;

    const std::string& At(size_t i) const {
        if (i >= words.size()) Fail(number, "too few fields for " + words[0]);
        return words[i];
    }
    std::string Option(const std::string& key, const std::string& fallback) const {
        auto it = options.find(key);
        return it == options.end() ? fallback : it->second;
    }
};

} // namespace

GameManifest ParseGameManifest(const std::string& text) {
    GameManifest m;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    ManifestRoom* room = nullptr;
    ManifestLayer* layer = nullptr;
    while (std::getline(in, raw)) {
        ++number;
        raw = raw.substr(0, raw.find('#'));
        Line line{number, {}, {}};
        std::istringstream words(raw);
        for (std::string w; words >> w;) {
            const size_t eq = w.find('=');
            if (eq != std::string::npos && !line.words.empty())
                line.options[w.substr(0, eq)] = w.substr(eq + 1);
            else
                line.words.push_back(w);
        }
        if (line.words.empty()) continue;
        const std::string& kind = line.words[0];
        if (kind == "game") {
            m.name = line.At(1);
            m.windowWidth = Int(number, line.At(2));
            m.windowHeight = Int(number, line.At(3));
        } else if (kind == "sprite" && layer == nullptr) {
            ManifestSprite s;
            s.name = line.At(1);
            s.file = line.At(2);
            s.frames = Int(number, line.At(3));
            s.xorigin = Int(number, line.At(4));
            s.yorigin = Int(number, line.At(5));
            s.speed = Real(number, line.Option("speed", "15"));
            if (s.frames < 1) Fail(number, "a sprite needs a frame");
            m.sprites.push_back(s);
        } else if (kind == "sound") {
            m.sounds.push_back({line.At(1), line.At(2)});
        } else if (kind == "path") {
            ManifestPath p;
            p.name = line.At(1);
            p.smooth = line.At(2) == "smooth";
            p.closed = line.At(3) == "closed";
            p.precision = Int(number, line.At(4));
            for (size_t i = 5; i < line.words.size(); ++i) {
                std::istringstream point(line.words[i]);
                std::string x, y, speed;
                if (!std::getline(point, x, ',') || !std::getline(point, y, ',') ||
                    !std::getline(point, speed))
                    Fail(number, "a path point is X,Y,SPEED");
                p.points.push_back({Real(number, x), Real(number, y), Real(number, speed)});
            }
            m.paths.push_back(p);
        } else if (kind == "object") {
            ManifestObject o;
            o.name = line.At(1);
            o.parent = line.Option("parent", "");
            o.sprite = line.Option("sprite", "");
            o.guid = line.Option("guid", "");
            o.depth = Int(number, line.Option("depth", "0"));
            o.visible = line.Option("visible", "1") != "0";
            m.objects.push_back(o);
        } else if (kind == "room") {
            ManifestRoom r;
            r.name = line.At(1);
            r.width = Int(number, line.At(2));
            r.height = Int(number, line.At(3));
            r.colour = static_cast<uint32_t>(Int(number, line.Option("colour", "0")));
            r.speed = Int(number, line.Option("speed", "60"));
            m.rooms.push_back(r);
            room = &m.rooms.back();
            layer = nullptr;
        } else if (kind == "layer") {
            if (room == nullptr) Fail(number, "a layer outside a room");
            ManifestLayer l;
            l.name = line.At(1);
            if (line.At(2) != "instances" && line.At(2) != "assets")
                Fail(number, "a layer holds instances or assets");
            l.instances = line.At(2) == "instances";
            l.depth = Int(number, line.At(3));
            room->layers.push_back(l);
            layer = &room->layers.back();
        } else if (kind == "instance" || kind == "sprite") {
            if (layer == nullptr || layer->instances != (kind == "instance"))
                Fail(number, kind + " outside a layer that holds it");
            layer->items.push_back({line.At(1), Int(number, line.At(2)), Int(number, line.At(3))});
        } else if (kind == "code") {
            m.code.push_back(line.At(1));
            room = nullptr;
            layer = nullptr;
        } else {
            Fail(number, "unknown item " + kind);
        }
    }
    return m;
}

GameManifest ReadGameManifest(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::stringstream text;
    text << in.rdbuf();
    return ParseGameManifest(text.str());
}

// ---------------------------------------------------------------------------
// Writing.

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> rgba;
};

Pixels DecodePng(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    PNGImage image;
    if (!image.Decode(bytes.data(), bytes.size(), false))
        throw std::runtime_error("not a PNG image: " + file.string());
    Pixels p;
    p.width = image.Width();
    p.height = image.Height();
    p.rgba.resize(static_cast<size_t>(p.width) * p.height);
    std::copy_n(image.Pixels(), p.rgba.size() * 4, reinterpret_cast<uint8_t*>(p.rgba.data()));
    return p;
}

std::vector<uint8_t> EncodePng(const Pixels& p) {
    uint8_t* out = nullptr;
    size_t length = 0;
    if (!PNG_EncodeRGBA(p.rgba.data(), p.width, p.height, &out, &length))
        throw std::runtime_error("cannot encode the texture page");
    std::vector<uint8_t> png(out, out + length);
    ZQ_Free(out);
    return png;
}

template <typename T>
int IndexOf(const std::vector<T>& items, const std::string& name, const char* what) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].name == name) return static_cast<int>(i);
    throw std::runtime_error(std::string("no ") + what + " named " + name);
}

// The event type and subtype a compiled function's name ends in.
struct EventName {
    const char* word;
    int32_t type;
};
constexpr EventName kEvents[] = {{"Create", 0},    {"Alarm", 2},    {"Step", 3},
                                 {"Collision", 4}, {"Other", 7},    {"Draw", 8},
                                 {"KeyPress", 9},  {"CleanUp", 12}, {"PreCreate", 14}};

struct BoundEvent {
    int object, type, subtype;
};

BoundEvent EventOf(const std::string& function, const GameManifest& m) {
    const std::string prefix = "vtl_Object_";
    if (function.rfind(prefix, 0) != 0) throw std::runtime_error("not an event function: " + function);
    const std::string rest = function.substr(prefix.size());
    // The longest object name followed by an event word (obj_transmitter and
    // obj_transmitter_waiting share a beginning).
    std::optional<BoundEvent> best;
    size_t bestLength = 0;
    for (size_t o = 0; o < m.objects.size(); ++o) {
        const std::string& name = m.objects[o].name;
        if (rest.size() <= name.size() + 1 || rest.compare(0, name.size(), name) != 0 ||
            rest[name.size()] != '_')
            continue;
        const std::string event = rest.substr(name.size() + 1);
        for (const EventName& e : kEvents) {
            const std::string word = std::string(e.word) + "_";
            if (event.rfind(word, 0) != 0 || name.size() < bestLength) continue;
            const std::string tail = event.substr(word.size());
            int32_t subtype = -1;
            if (e.type == 4) {
                for (size_t other = 0; other < m.objects.size(); ++other) {
                    std::string guid = m.objects[other].guid;
                    std::replace(guid.begin(), guid.end(), '-', '_');
                    if (!guid.empty() && guid == tail) subtype = static_cast<int32_t>(other);
                }
                if (subtype < 0) throw std::runtime_error("no object with the identifier of " + function);
            } else {
                if (tail.empty() || tail.find_first_not_of("0123456789") != std::string::npos) continue;
                subtype = std::stoi(tail);
            }
            best = BoundEvent{static_cast<int>(o), e.type, subtype};
            bestLength = name.size();
        }
    }
    if (!best) throw std::runtime_error("no object and event in " + function);
    return *best;
}

} // namespace

GameDataWriter BuildGameData(const GameManifest& m, const std::filesystem::path& assets,
                             const SCompiledFunction* compiled, int compiledCount) {
    if (static_cast<int>(m.code.size()) != compiledCount)
        throw std::runtime_error("the manifest lists " + std::to_string(m.code.size()) +
                                 " code entries, the game has " + std::to_string(compiledCount));
    for (int i = 0; i < compiledCount; ++i)
        if (m.code[static_cast<size_t>(i)] != compiled[i].pName)
            throw std::runtime_error("code entry " + std::to_string(i) + " is " +
                                     m.code[static_cast<size_t>(i)] + " in the manifest but " +
                                     compiled[i].pName + " in the game");

    GameDataWriter w;
    HeaderFields header;
    header.version = 15;
    header.projectName = m.name;
    header.displayName = m.name;
    header.windowWidth = m.windowWidth;
    header.windowHeight = m.windowHeight;
    header.flags = 0x40; // a resizable window (full screen needs it)
    for (size_t i = 0; i < m.rooms.size(); ++i) header.roomOrder.push_back(static_cast<int32_t>(i));
    header.gameSpeed = 60.0f;
    // The highest id the rooms give their instances (100001 on): instances
    // made while the game runs are numbered after it, so that none takes the
    // id of a placed instance.
    header.maxInstanceId = 100000;
    for (const ManifestRoom& r : m.rooms)
        for (const ManifestLayer& l : r.layers)
            if (l.instances) header.maxInstanceId += static_cast<uint32_t>(l.items.size());
    WriteHeader(w, header);

    OptionFields options;
    options.newAudio = true;
    options.sizeable = true;
    WriteOptions(w, options);

    // Every frame on one texture page, packed in shelves.
    constexpr int kPage = 1024;
    Pixels page;
    page.width = page.height = kPage;
    page.rgba.assign(static_cast<size_t>(kPage) * kPage, 0);
    TexturePagesFields pages;
    std::vector<std::optional<SpriteFields>> sprites;
    int shelfX = 0, shelfY = 0, shelfHeight = 0;
    for (const ManifestSprite& s : m.sprites) {
        const Pixels strip = DecodePng(assets / s.file);
        if (strip.width % s.frames != 0)
            throw std::runtime_error(s.file + " is not " + std::to_string(s.frames) + " equal frames");
        const int fw = strip.width / s.frames, fh = strip.height;
        SpriteFields sprite;
        sprite.name = s.name;
        sprite.width = fw;
        sprite.height = fh;
        sprite.left = 0;
        sprite.top = 0;
        sprite.right = fw - 1;
        sprite.bottom = fh - 1;
        sprite.precise = 0;
        sprite.xorigin = s.xorigin;
        sprite.yorigin = s.yorigin;
        sprite.newGeneration = true;
        sprite.extended = true;
        sprite.speed = s.speed;
        sprite.speedType = 0;
        for (int f = 0; f < s.frames; ++f) {
            if (shelfX + fw + 1 > kPage) {
                shelfX = 0;
                shelfY += shelfHeight + 1;
                shelfHeight = 0;
            }
            if (shelfY + fh > kPage) throw std::runtime_error("the art does not fit one texture page");
            for (int y = 0; y < fh; ++y)
                for (int x = 0; x < fw; ++x)
                    page.rgba[static_cast<size_t>(shelfY + y) * kPage + shelfX + x] =
                        strip.rgba[static_cast<size_t>(y) * strip.width + f * fw + x];
            PageEntryFields e;
            e.x = static_cast<int16_t>(shelfX);
            e.y = static_cast<int16_t>(shelfY);
            e.width = e.cropWidth = e.untrimmedWidth = static_cast<int16_t>(fw);
            e.height = e.cropHeight = e.untrimmedHeight = static_cast<int16_t>(fh);
            e.page = 0;
            sprite.pageEntries.push_back(PageEntryLabel("TPAG", pages.entries.size()));
            pages.entries.push_back(e);
            shelfX += fw + 1;
            shelfHeight = std::max(shelfHeight, fh);
        }
        sprites.push_back(sprite);
    }
    pages.pages.push_back(TexturePageFields{0, 0, EncodePng(page)});
    WriteTexturePages(w, pages);
    WriteSprites(w, sprites);

    std::vector<std::optional<SoundFields>> sounds;
    std::vector<std::optional<std::vector<uint8_t>>> audio;
    for (size_t i = 0; i < m.sounds.size(); ++i) {
        SoundFields sound;
        sound.name = m.sounds[i].name;
        sound.kind = 101; // an uncompressed sound image
        sound.fileName = std::filesystem::path(m.sounds[i].file).filename().string();
        sound.audioIndex = static_cast<int32_t>(i);
        sounds.push_back(sound);
        audio.push_back(ReadBytes(assets / m.sounds[i].file));
    }
    WriteSounds(w, sounds);
    WriteAudioGroups(w, {std::string("audiogroup_default")});
    WriteAudioData(w, audio);

    std::vector<std::optional<PathFields>> paths;
    for (const ManifestPath& p : m.paths) {
        PathFields path;
        path.name = p.name;
        path.kind = p.smooth ? 1 : 0;
        path.closed = p.closed ? 1 : 0;
        path.precision = p.precision;
        for (const ManifestPathPoint& point : p.points)
            path.points.push_back({point.x, point.y, point.speed});
        paths.push_back(path);
    }
    WritePaths(w, paths);

    // Scripts: the compiled functions named vtl_Script_<name>.
    std::vector<std::optional<ScriptFields>> scripts;
    std::vector<ObjectFields> objects(m.objects.size());
    for (size_t i = 0; i < m.code.size(); ++i) {
        const std::string& function = m.code[i];
        if (function.rfind("vtl_Script_", 0) == 0) {
            ScriptFields script;
            script.name = function.substr(11);
            script.codeIndex = static_cast<uint32_t>(i);
            scripts.push_back(script);
            continue;
        }
        const BoundEvent e = EventOf(function, m);
        auto& lists = objects[static_cast<size_t>(e.object)].events;
        if (lists.size() <= static_cast<size_t>(e.type)) lists.resize(static_cast<size_t>(e.type) + 1);
        lists[static_cast<size_t>(e.type)].push_back({e.subtype, static_cast<int32_t>(i)});
    }
    WriteScripts(w, scripts);

    std::vector<std::optional<ObjectFields>> objectRecords;
    for (size_t i = 0; i < m.objects.size(); ++i) {
        const ManifestObject& o = m.objects[i];
        ObjectFields& record = objects[i];
        record.name = o.name;
        record.parent = o.parent.empty() ? -1 : IndexOf(m.objects, o.parent, "object");
        record.spriteWord =
            o.sprite.empty() ? 0xFFFFFFFFu : static_cast<uint32_t>(IndexOf(m.sprites, o.sprite, "sprite"));
        record.visible = o.visible ? 1 : 0;
        record.depth = o.depth;
        objectRecords.push_back(record);
    }
    WriteObjects(w, objectRecords, header.version);

    std::vector<std::optional<RoomFields>> rooms;
    int32_t nextInstance = 100001, nextLayer = 1;
    for (const ManifestRoom& r : m.rooms) {
        RoomFields room;
        room.name = r.name;
        room.caption = m.name;
        room.width = r.width;
        room.height = r.height;
        room.speed = r.speed;
        room.colour = static_cast<int32_t>(r.colour);
        room.showColour = 1;
        room.flags = 0x00020000 | 0x1 | 0x2; // layers, views, the view's background cleared
        // The first view: 640 × 360 room pixels centred in the room, into the window.
        RoomViewFields view;
        view.visible = 1;
        view.wview = 640;
        view.hview = 360;
        view.xview = (r.width - view.wview) / 2;
        view.yview = (r.height - view.hview) / 2;
        view.wport = m.windowWidth;
        view.hport = m.windowHeight;
        room.views = std::vector<RoomViewFields>{view};
        std::vector<RoomInstanceFields> instances;
        std::vector<RoomLayerFields> layers;
        for (const ManifestLayer& l : r.layers) {
            RoomLayerFields layer;
            layer.name = l.name;
            layer.id = nextLayer++;
            layer.type = l.instances ? 2 : 3;
            layer.depth = l.depth;
            std::vector<RoomLayerSpriteFields> layerSprites;
            for (const ManifestPlacement& item : l.items) {
                if (l.instances) {
                    RoomInstanceFields instance;
                    instance.x = item.x;
                    instance.y = item.y;
                    instance.object = IndexOf(m.objects, item.what, "object");
                    instance.id = nextInstance++;
                    instances.push_back(instance);
                    layer.instances.push_back(instance.id);
                } else {
                    RoomLayerSpriteFields sprite;
                    sprite.name = item.what + "_" + std::to_string(layerSprites.size());
                    sprite.sprite = IndexOf(m.sprites, item.what, "sprite");
                    sprite.x = item.x;
                    sprite.y = item.y;
                    layerSprites.push_back(sprite);
                }
            }
            if (!l.instances) {
                layer.tiles = std::vector<RoomTileFields>{};
                layer.sprites = layerSprites;
            }
            layers.push_back(layer);
        }
        room.instances = instances;
        room.layers = layers;
        rooms.push_back(room);
    }
    WriteRooms(w, rooms);
    return w;
}

} // namespace wad
