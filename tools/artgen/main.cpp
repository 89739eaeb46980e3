// corvane-art: makes the game's art and sounds procedurally.
//   corvane-art DIR   writes DIR/art/*.png (sprites; a sprite of several
//                     frames is one strip, frames side by side) and
//                     DIR/sound/*.wav (16-bit mono)
// Its output is committed under assets/ so that it can be edited by hand;
// run it again only to start the art over. assets/game.manifest says how the
// files become sprites and sounds.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "render/image_decode.h"
#include "sound_chunks.h"

namespace {

// ---------------------------------------------------------------------------
// Pictures.

struct Image {
    int width, height;
    std::vector<uint32_t> pixels; // 0xAABBGGRR: bytes red, green, blue, alpha

    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    void Set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = c;
    }
    uint32_t Get(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void Fill(int x0, int y0, int w, int h, uint32_t c) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) Set(x, y, c);
    }
    // Pixels whose centre lies within radius r of (cx, cy).
    void Disc(float cx, float cy, float r, uint32_t c) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((x + 0.5f - cx) * (x + 0.5f - cx) + (y + 0.5f - cy) * (y + 0.5f - cy) <= r * r)
                    Set(x, y, c);
    }
    // A dark outline around every opaque pixel.
    void Outline(uint32_t c) {
        Image copy = *this;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if ((copy.Get(x, y) >> 24) != 0) continue;
                bool edge = false;
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < width && ny < height && (copy.Get(nx, ny) >> 24) != 0 &&
                        copy.Get(nx, ny) != c)
                        edge = true;
                }
                if (edge) Set(x, y, c);
            }
    }
};

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return 0xFF000000u | (b << 16) | (g << 8) | r;
}
constexpr uint32_t kClear = 0;
constexpr uint32_t kInk = Rgb(24, 20, 37);
constexpr uint32_t kWhite = Rgb(255, 255, 255);

// A 10 × 10 picture from rows of palette letters.
Image Picture(const std::array<const char*, 10>& rows, const std::function<uint32_t(char)>& palette) {
    Image img(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) img.Set(x, y, palette(rows[static_cast<size_t>(y)][x]));
    return img;
}

// Four colourful pictures, 100 pixels each (every pixel becomes a piece).
Image Heart() {
    return Picture({"bbbbbbbbbb", "brrrbbrrrb", "rrwrrrrrrr", "rwrrrrrrrr", "rrrrrrrrrr", "brrrrrrrrb",
                    "bbrrrrrrbb", "bbbrrrrbbb", "bbbbrrbbbb", "bbbbbbbbbb"},
                   [](char c) {
                       return c == 'r' ? Rgb(230, 40, 80) : c == 'w' ? Rgb(255, 200, 210) : Rgb(60, 30, 90);
                   });
}
Image Mushroom() {
    return Picture({"gggrrrrggg", "ggrrwwrrgg", "grwwrrrwrg", "grrrrrwwrg", "rrwrrrrrrr", "ggkffffkgg",
                    "ggffkkffgg", "ggffffffgg", "GGGffffGGG", "GGGGGGGGGG"},
                   [](char c) {
                       switch (c) {
                           case 'r': return Rgb(220, 50, 40);
                           case 'w': return Rgb(250, 250, 240);
                           case 'f': return Rgb(240, 210, 170);
                           case 'k': return Rgb(40, 30, 30);
                           case 'G': return Rgb(60, 160, 60);
                           default: return Rgb(120, 200, 250);
                       }
                   });
}
Image Landscape() {
    return Picture({"sssssssyys", "ssssssyyyy", "ssssssyyyy", "sccssssyys", "cccccsssss", "sssmssssss",
                    "ssmmmsssms", "smmmmmsmmm", "gggggggggg", "ggGggggGgg"},
                   [](char c) {
                       switch (c) {
                           case 'y': return Rgb(255, 220, 60);
                           case 'c': return Rgb(250, 250, 255);
                           case 'm': return Rgb(120, 100, 150);
                           case 'g': return Rgb(80, 190, 70);
                           case 'G': return Rgb(40, 130, 50);
                           default: return Rgb(90, 170, 240);
                       }
                   });
}
Image Fish() {
    return Picture({"dddddddddd", "dddooodddd", "dbooooooddd", "oooowoookd", "ooooooooodd", "dooooooodd",
                    "ddoooooddd", "dddoodddbd", "ddddddddbd", "yyyyyyyyyy"},
                   [](char c) {
                       switch (c) {
                           case 'o': return Rgb(250, 140, 30);
                           case 'w': return Rgb(255, 255, 255);
                           case 'k': return Rgb(20, 20, 20);
                           case 'b': return Rgb(170, 230, 255);
                           case 'y': return Rgb(230, 200, 120);
                           default: return Rgb(20, 80, 160);
                       }
                   });
}

// A strip of `frames` frames of w × h, each drawn by `draw(frame image, i)`.
Image Strip(int w, int h, int frames, const std::function<void(Image&, int)>& draw) {
    Image strip(w * frames, h);
    for (int i = 0; i < frames; ++i) {
        Image frame(w, h);
        draw(frame, i);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) strip.Set(i * w + x, y, frame.Get(x, y));
    }
    return strip;
}

// The carrier: a little courier drone pointing right (its angle is its direction).
void Carrier(Image& img, uint32_t body, uint32_t wing) {
    img.Disc(12, 12, 6, body);
    img.Fill(5, 3, 8, 3, wing);
    img.Fill(5, 18, 8, 3, wing);
    img.Disc(15, 12, 2, kWhite);
    img.Set(16, 12, kInk);
    img.Outline(kInk);
}

// The player: an arrow-shaped ship pointing right.
Image Player() {
    Image img(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const float dx = x - 4.0f, dy = std::fabs(y + 0.5f - 12.0f);
            if (dx >= 0 && dy <= 9.0f - dx * 0.45f && !(dx < 5 && dy < 3)) img.Set(x, y, Rgb(70, 140, 255));
        }
    img.Disc(12, 12, 3, Rgb(200, 240, 255));
    img.Outline(kInk);
    return img;
}

// The enemy: a spiky red blob with an eye, pointing right.
Image Enemy() {
    Image img(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const float dx = x + 0.5f - 12, dy = y + 0.5f - 12;
            const float a = std::atan2(dy, dx);
            const float r = 7.5f + 2.5f * std::cos(a * 6);
            if (dx * dx + dy * dy <= r * r) img.Set(x, y, Rgb(210, 40, 50));
        }
    img.Disc(15, 12, 2.5f, Rgb(255, 240, 120));
    img.Set(16, 12, kInk);
    img.Outline(kInk);
    return img;
}

// The pile: a heap of coloured blocks.
Image Pile() {
    Image img(40, 28);
    const uint32_t colours[] = {Rgb(230, 40, 80), Rgb(250, 140, 30), Rgb(255, 220, 60),
                                Rgb(80, 190, 70), Rgb(90, 170, 240), Rgb(150, 90, 220)};
    int n = 0;
    for (int row = 0; row < 5; ++row) {
        const int width = 9 - row * 2, y = 22 - row * 5;
        for (int i = 0; i < width; ++i) img.Fill(20 - width * 2 + i * 4, y, 4, 5, colours[(n++ * 7) % 6]);
    }
    img.Outline(kInk);
    return img;
}

// The board: a dark frame of 88 × 88 with a grid of 8-pixel cells.
Image Board() {
    Image img(88, 88);
    img.Fill(0, 0, 88, 88, Rgb(50, 45, 70));
    img.Fill(4, 4, 80, 80, Rgb(30, 28, 45));
    for (int i = 0; i <= 10; ++i) {
        img.Fill(4 + i * 8, 4, 1, 80, Rgb(60, 55, 85));
        img.Fill(4, 4 + i * 8, 80, 1, Rgb(60, 55, 85));
    }
    return img;
}

// The burst: a star growing over 4 frames (the game shows frame 2, still).
Image Burst() {
    return Strip(32, 32, 4, [](Image& img, int f) {
        const float r = 5.0f + 3.0f * f;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const float dx = x + 0.5f - 16, dy = y + 0.5f - 16;
                const float a = std::atan2(dy, dx);
                const float edge = r * (0.55f + 0.45f * std::fabs(std::cos(a * 4)));
                if (dx * dx + dy * dy <= edge * edge) img.Set(x, y, Rgb(255, 240, 150));
            }
        img.Disc(16, 16, r * 0.35f, kWhite);
    });
}

// The wreck: smoke and debris spreading and fading over 6 frames.
Image Wreck() {
    return Strip(32, 32, 6, [](Image& img, int f) {
        const uint32_t grey = Rgb(static_cast<uint32_t>(90 + f * 20), static_cast<uint32_t>(80 + f * 20),
                                  static_cast<uint32_t>(80 + f * 20));
        for (int k = 0; k < 6; ++k) {
            const float a = k * 1.047f + f * 0.2f;
            img.Disc(16 + std::cos(a) * (2.0f + f * 2.0f), 16 + std::sin(a) * (2.0f + f * 2.0f),
                     4.0f - f * 0.5f, grey);
        }
        if (f < 3) img.Disc(16, 16, 5.0f - f, Rgb(255, 160, 40));
    });
}

// A piece: a white rounded 8 × 8 tile, tinted by its colour when drawn.
Image Piece(int variants) {
    return Strip(8, 8, variants, [](Image& img, int f) {
        img.Fill(1, 0, 6, 8, kWhite);
        img.Fill(0, 1, 8, 6, kWhite);
        img.Set(1 + f % 3 * 2, 1 + f / 2 * 3, Rgb(225, 225, 225)); // a speck, so the board is not flat
    });
}

// Text in a 5 × 7 pixel font, each pixel `scale` pixels square, with a shadow.
const char* Glyph(char c) {
    switch (c) {
        case 'A': return "01110100011000111111100011000110001";
        case 'C': return "01110100011000010000100001000101110";
        case 'D': return "11110100011000110001100011000111110";
        case 'E': return "11111100001000011110100001000011111";
        case 'F': return "11111100001000011110100001000010000";
        case 'G': return "01110100011000010111100011000101111";
        case 'H': return "10001100011000111111100011000110001";
        case 'I': return "01110001000010000100001000010001110";
        case 'K': return "10001100101010011000101001001010001";
        case 'L': return "10000100001000010000100001000011111";
        case 'M': return "10001110111010110101100011000110001";
        case 'N': return "10001110011010110011100011000110001";
        case 'O': return "01110100011000110001100011000101110";
        case 'P': return "11110100011000111110100001000010000";
        case 'R': return "11110100011000111110101001001010001";
        case 'S': return "01111100001000001110000010000111110";
        case 'T': return "11111001000010000100001000010000100";
        case 'U': return "10001100011000110001100011000101110";
        case 'V': return "10001100011000110001100010101000100";
        case 'W': return "10001100011000110101101011010101010";
        case 'Y': return "10001100010101000100001000010000100";
        case '!': return "00100001000010000100001000000000100";
        case ',': return "00000000000000000000001100010001000";
        case '-': return "00000000000000011111000000000000000";
        case '.': return "00000000000000000000000000110001100";
        default: return "00000000000000000000000000000000000";
    }
}

Image Text(const std::vector<std::string>& lines, int scale, uint32_t colour) {
    size_t longest = 0;
    for (const std::string& l : lines) longest = std::max(longest, l.size());
    const int w = static_cast<int>(longest) * 6 * scale + scale,
              h = static_cast<int>(lines.size()) * 10 * scale;
    Image img(w, h);
    for (int pass = 0; pass < 2; ++pass) {
        const int shadow = pass == 0 ? scale / 2 + 1 : 0;
        for (size_t row = 0; row < lines.size(); ++row) {
            const std::string& l = lines[row];
            const int left = static_cast<int>((longest - l.size()) * 3 * scale); // centred
            for (size_t i = 0; i < l.size(); ++i) {
                const char* g = Glyph(l[i]);
                for (int gy = 0; gy < 7; ++gy)
                    for (int gx = 0; gx < 5; ++gx)
                        if (g[gy * 5 + gx] == '1')
                            img.Fill(left + (static_cast<int>(i) * 6 + gx) * scale + shadow,
                                     (static_cast<int>(row) * 10 + gy) * scale + shadow, scale, scale,
                                     pass == 0 ? kInk : colour);
            }
        }
    }
    return img;
}

bool WritePng(const std::filesystem::path& path, const Image& img) {
    uint8_t* out = nullptr;
    size_t length = 0;
    if (!PNG_EncodeRGBA(img.pixels.data(), img.width, img.height, &out, &length)) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(out, 1, length, f) == length;
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    ZQ_Free(out);
    return ok;
}

// ---------------------------------------------------------------------------
// Sounds: 22050 Hz, 16-bit mono.

constexpr int kRate = 22050;

double NoteHz(int semitone) { // 0 = A4
    return 440.0 * std::pow(2.0, semitone / 12.0);
}

// Adds a plucked square-ish note with a short attack and exponential decay.
void AddNote(std::vector<double>& mix, double start, double seconds, double hz, double gain,
             double duty = 0.5) {
    const size_t first = static_cast<size_t>(start * kRate), count = static_cast<size_t>(seconds * kRate);
    for (size_t i = 0; i < count && first + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double phase = std::fmod(t * hz, 1.0);
        const double wave = (phase < duty ? 1.0 : -1.0) * 0.6 + std::sin(2 * M_PI * hz * t) * 0.4;
        const double env = std::min(1.0, t * 200.0) * std::exp(-t * 4.0);
        mix[first + i] += wave * env * gain;
    }
}

std::vector<int16_t> ToSamples(const std::vector<double>& mix) {
    std::vector<int16_t> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32000.0));
    return out;
}

// A looping tune: a bass line and a melody over `bars` bars of four beats.
std::vector<int16_t> Tune(double bpm, const std::vector<int>& bass, const std::vector<int>& melody,
                          double duty) {
    const double beat = 60.0 / bpm;
    const size_t beats = melody.size();
    std::vector<double> mix(static_cast<size_t>(beats * beat * kRate), 0.0);
    for (size_t i = 0; i < beats; ++i) {
        if (melody[i] != 99) AddNote(mix, i * beat, beat * 0.95, NoteHz(melody[i]), 0.22, duty);
        if (i % 2 == 0)
            AddNote(mix, i * beat, beat * 1.9, NoteHz(bass[(i / 2) % bass.size()] - 24), 0.28, 0.5);
    }
    return ToSamples(mix);
}

std::vector<int16_t> Impact() {
    std::vector<double> mix(static_cast<size_t>(0.35 * kRate));
    uint32_t noise = 12345;
    for (size_t i = 0; i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        const double n = ((noise >> 16) & 0x7FFF) / 16384.0 - 1.0;
        mix[i] = (n * 0.6 + std::sin(2 * M_PI * (90 - t * 120) * t) * 0.8) * std::exp(-t * 12.0);
    }
    return ToSamples(mix);
}

std::vector<int16_t> Dash() {
    std::vector<double> mix(static_cast<size_t>(0.25 * kRate));
    double phase = 0;
    for (size_t i = 0; i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += (300 + t * 2400) / kRate;
        mix[i] = (std::fmod(phase, 1.0) < 0.5 ? 0.5 : -0.5) * std::exp(-t * 9.0);
    }
    return ToSamples(mix);
}

bool WriteWav(const std::filesystem::path& path, const std::vector<int16_t>& samples) {
    const std::vector<uint8_t> bytes = wad::WavImage16(kRate, samples);
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane-art DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir / "art", ec);
    std::filesystem::create_directories(dir / "sound", ec);

    Image carrier(24, 24);
    Carrier(carrier, Rgb(250, 200, 60), Rgb(250, 240, 200));
    Image down(24, 24);
    Carrier(down, Rgb(110, 110, 120), Rgb(160, 160, 170));
    Image waiting(24, 24);
    Carrier(waiting, Rgb(200, 170, 90), Rgb(220, 215, 190));
    const uint32_t gold = Rgb(255, 220, 90), pale = Rgb(230, 230, 255);

    const std::pair<const char*, Image> images[] = {
        {"pile", Pile()},
        {"carrier", carrier},
        {"player", Player()},
        {"enemy", Enemy()},
        {"placed_piece", Piece(4)},
        {"board", Board()},
        {"burst", Burst()},
        {"piece", Piece(1)},
        {"wreck", Wreck()},
        {"waiting_carrier", waiting},
        {"picture_heart", Heart()},
        {"picture_mushroom", Mushroom()},
        {"picture_landscape", Landscape()},
        {"carrier_down", down},
        {"picture_fish", Fish()},
        {"title", Text({"CORVANE"}, 8, gold)},
        {"title_prompt", Text({"PRESS ANY KEY"}, 3, pale)},
        {"how_to_play",
         Text({"HOW TO PLAY", "", "W A S D - MOVE", "SPACE - DASH", "", "DASH INTO ENEMIES.",
               "KEEP THE CARRIERS SAFE", "TILL THE PICTURE IS DONE.", "", "ESC - TITLE", "", "PRESS ANY KEY"},
              2, pale)},
        {"win", Text({"WELL DONE!"}, 4, gold)},
    };
    bool ok = true;
    for (const auto& [name, img] : images)
        ok = WritePng(dir / "art" / (std::string(name) + ".png"), img) && ok;

    // Title: A minor, calm; game: driving, in D minor. 99 is a rest.
    const std::vector<int> titleMelody = {0,  3, 7, 12, 10, 7, 3, 5, 3, 0, -2, 0,  3, 99, 0,  99,
                                          -4, 0, 3, 8,  7,  3, 0, 2, 3, 2, 0,  -2, 0, 99, 99, 99};
    const std::vector<int> gameMelody = {5, 5, 8,  5, 12, 10, 8,  7,  5, 5, 8, 10, 12, 15, 12, 10,
                                         8, 8, 12, 8, 15, 13, 12, 10, 8, 7, 5, 7,  8,  99, 5,  99};
    ok = WriteWav(dir / "sound" / "music_game.wav", Tune(150, {5, 5, 1, 3}, gameMelody, 0.25)) && ok;
    ok = WriteWav(dir / "sound" / "music_title.wav", Tune(96, {0, -4, -7, -2}, titleMelody, 0.5)) && ok;
    ok = WriteWav(dir / "sound" / "impact.wav", Impact()) && ok;
    ok = WriteWav(dir / "sound" / "dash.wav", Dash()) && ok;
    if (!ok) std::fprintf(stderr, "corvane-art: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
