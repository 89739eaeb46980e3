// Input recording and playback: the record layout, and the file written once
// per step or read once per step in place of the platform input.
#include "world/input/input_recording.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "core/console.h"
#include "world/input/input_state.h"

bool g_IO_Record = false;
bool g_IO_Playback = false;
char* g_pIO_RecordFileName = nullptr;
FILE* g_hIOFile = nullptr;

namespace {

bool g_playbackEnded = false;
uint64_t g_recordsDone = 0; // records written or read since the file was opened
uint8_t g_record[kIORecordSize];

// Little-endian field writer and reader over one record; the offsets follow
// from the order of the calls.
class RecordWriter {
public:
    explicit RecordWriter(uint8_t* out) : m_out(out) {}
    template <typename T, size_t N>
    void Field(const T (&values)[N]) {
        for (const T& v : values) Field(v);
    }
    template <typename T>
    void Field(T value) {
        auto bits = static_cast<std::make_unsigned_t<T>>(value);
        for (size_t i = 0; i < sizeof(T); ++i) m_out[m_at++] = static_cast<uint8_t>(bits >> (8 * i));
    }
    size_t Size() const { return m_at; }

private:
    uint8_t* m_out;
    size_t m_at = 0;
};

class RecordReader {
public:
    explicit RecordReader(const uint8_t* in) : m_in(in) {}
    template <typename T, size_t N>
    void Field(T (&values)[N]) {
        for (T& v : values) Field(v);
    }
    template <typename T>
    void Field(T& value) {
        std::make_unsigned_t<T> bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            bits |= static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(m_in[m_at++])
                                                         << (8 * i));
        value = static_cast<T>(bits);
    }
    size_t Size() const { return m_at; }

private:
    const uint8_t* m_in;
    size_t m_at = 0;
};

static_assert(2 + 2 * (kIOStringMax + 1) + 4 + 4 + 3 * kIOKeyCount + 2 * 4 * kIOMouseDevices +
                      3 * kIOMouseDevices * kIOMouseButtons + 2 * kIOMouseDevices + 8 + 4 + 4 ==
                  kIORecordSize,
              "the record's fields fill it exactly");

// The seventeen fields in record order, for writing and reading alike.
struct RecordFields {
    uint16_t lastChar;
    uint16_t string[kIOStringMax + 1];
    int32_t lastKey, currentKey;
    uint8_t keyDown[kIOKeyCount], keyReleased[kIOKeyCount], keyPressed[kIOKeyCount];
    int32_t lastButton[kIOMouseDevices], currentButton[kIOMouseDevices];
    uint8_t buttonDown[kIOMouseDevices * kIOMouseButtons], buttonReleased[kIOMouseDevices * kIOMouseButtons],
        buttonPressed[kIOMouseDevices * kIOMouseButtons];
    uint8_t wheelUp[kIOMouseDevices], wheelDown[kIOMouseDevices];
    uint8_t reserved[8];
    int32_t mouseX, mouseY;

    template <typename Stream>
    void Visit(Stream& s) {
        s.Field(lastChar);
        s.Field(string);
        s.Field(lastKey);
        s.Field(currentKey);
        s.Field(keyDown);
        s.Field(keyReleased);
        s.Field(keyPressed);
        s.Field(lastButton);
        s.Field(currentButton);
        s.Field(buttonDown);
        s.Field(buttonReleased);
        s.Field(buttonPressed);
        s.Field(wheelUp);
        s.Field(wheelDown);
        s.Field(reserved);
        s.Field(mouseX);
        s.Field(mouseY);
    }
};

template <size_t N>
bool AllFlags(const uint8_t (&flags)[N]) {
    for (uint8_t f : flags)
        if (f > 1) return false;
    return true;
}

template <size_t N>
bool AllButtons(const int32_t (&buttons)[N]) {
    for (int32_t b : buttons)
        if (b < 0 || b > kIOMouseButtons) return false;
    return true;
}

bool CanBeInput(const RecordFields& r) {
    return std::find(std::begin(r.string), std::end(r.string), uint16_t{0}) != std::end(r.string) &&
           AllFlags(r.keyDown) && AllFlags(r.keyReleased) && AllFlags(r.keyPressed) &&
           AllButtons(r.lastButton) && AllButtons(r.currentButton) && AllFlags(r.buttonDown) &&
           AllFlags(r.buttonReleased) && AllFlags(r.buttonPressed) && AllFlags(r.wheelUp) &&
           AllFlags(r.wheelDown);
}

void EndPlayback(const char* why) {
    if (!g_playbackEnded)
        dbg_csol->Output("Input playback ends after %llu records: %s\n",
                         static_cast<unsigned long long>(g_recordsDone), why);
    g_playbackEnded = true;
}

} // namespace

void IO_Record_Pack(uint8_t (&record)[kIORecordSize]) {
    RecordFields r;
    r.lastChar = _IO_LastChar;
    std::memcpy(r.string, _IO_InputString, sizeof r.string);
    r.lastKey = _IO_LastKey;
    r.currentKey = _IO_CurrentKey;
    std::memcpy(r.keyDown, _IO_KeyDown, sizeof r.keyDown);
    std::memcpy(r.keyReleased, _IO_KeyReleased, sizeof r.keyReleased);
    std::memcpy(r.keyPressed, _IO_KeyPressed, sizeof r.keyPressed);
    std::memcpy(r.lastButton, _IO_LastButton, sizeof r.lastButton);
    std::memcpy(r.currentButton, _IO_CurrentButton, sizeof r.currentButton);
    std::memcpy(r.buttonDown, _IO_ButtonDown, sizeof r.buttonDown);
    std::memcpy(r.buttonReleased, _IO_ButtonReleased, sizeof r.buttonReleased);
    std::memcpy(r.buttonPressed, _IO_ButtonPressed, sizeof r.buttonPressed);
    std::memcpy(r.wheelUp, _IO_WheelUp, sizeof r.wheelUp);
    std::memcpy(r.wheelDown, _IO_WheelDown, sizeof r.wheelDown);
    std::memcpy(r.reserved, g_IO_MousePos, sizeof r.reserved);
    r.mouseX = g_MouseX;
    r.mouseY = g_MouseY;
    RecordWriter out(record);
    r.Visit(out);
}

// The pointer of the record is also the pointer of device 0, so that a replay
// moves the pointer the game sees.
bool IO_Record_Unpack(const uint8_t (&record)[kIORecordSize]) {
    RecordFields r;
    RecordReader in(record);
    r.Visit(in);
    if (!CanBeInput(r)) return false;
    _IO_LastChar = r.lastChar;
    std::memcpy(_IO_InputString, r.string, sizeof r.string);
    _IO_LastKey = r.lastKey;
    _IO_CurrentKey = r.currentKey;
    std::memcpy(_IO_KeyDown, r.keyDown, sizeof r.keyDown);
    std::memcpy(_IO_KeyReleased, r.keyReleased, sizeof r.keyReleased);
    std::memcpy(_IO_KeyPressed, r.keyPressed, sizeof r.keyPressed);
    std::memcpy(_IO_LastButton, r.lastButton, sizeof r.lastButton);
    std::memcpy(_IO_CurrentButton, r.currentButton, sizeof r.currentButton);
    std::memcpy(_IO_ButtonDown, r.buttonDown, sizeof r.buttonDown);
    std::memcpy(_IO_ButtonReleased, r.buttonReleased, sizeof r.buttonReleased);
    std::memcpy(_IO_ButtonPressed, r.buttonPressed, sizeof r.buttonPressed);
    std::memcpy(_IO_WheelUp, r.wheelUp, sizeof r.wheelUp);
    std::memcpy(_IO_WheelDown, r.wheelDown, sizeof r.wheelDown);
    std::memcpy(g_IO_MousePos, r.reserved, sizeof r.reserved);
    g_MouseX = g_MousePosX[0] = r.mouseX;
    g_MouseY = g_MousePosY[0] = r.mouseY;
    return true;
}

void IO_Record_Open() {
    const char* name = g_pIO_RecordFileName;
    if (name == nullptr || (!g_IO_Record && !g_IO_Playback)) return;
    IO_Record_Close();
    const bool playback = g_IO_Playback;
    if (playback) g_IO_Record = false;
    g_hIOFile = std::fopen(name, playback ? "rb" : "w+b");
    if (g_hIOFile == nullptr) {
        dbg_csol->Output("Unable to open the input %s file %s: %s\n", playback ? "playback" : "record", name,
                         std::strerror(errno));
        return;
    }
    std::setvbuf(g_hIOFile, nullptr, _IONBF, 0);
}

void IO_Record_Close() {
    if (g_hIOFile != nullptr) std::fclose(g_hIOFile);
    g_hIOFile = nullptr;
    g_playbackEnded = false;
    g_recordsDone = 0;
}

void IO_Record_Step() {
    if (g_hIOFile == nullptr) return;
    IO_Record_Pack(g_record);
    if (std::fwrite(g_record, 1, kIORecordSize, g_hIOFile) != kIORecordSize || std::fflush(g_hIOFile) != 0) {
        dbg_csol->Output("Input recording stopped after %llu records: %s\n",
                         static_cast<unsigned long long>(g_recordsDone), std::strerror(errno));
        std::fclose(g_hIOFile);
        g_hIOFile = nullptr;
        return;
    }
    ++g_recordsDone;
}

void IO_Playback_Step() {
    if (g_hIOFile == nullptr || g_playbackEnded) return;
    size_t got = std::fread(g_record, 1, kIORecordSize, g_hIOFile);
    if (got != kIORecordSize) {
        EndPlayback(got == 0 ? "end of the file" : "the last record is cut short");
        return;
    }
    if (!IO_Record_Unpack(g_record)) {
        EndPlayback("the next record is damaged");
        return;
    }
    ++g_recordsDone;
}

bool IO_Playback_Ended() {
    return g_playbackEnded;
}
