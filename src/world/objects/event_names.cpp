// Readable names of events and keys, as error reports and the debugger print
// them. Names that include an object's name are built in a buffer that grows
// to fit, so no name length can overflow it.
#include <cstdarg>
#include <cstdio>

#include "core/memory_manager.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

// A text buffer shared by one kind of call, grown to fit what it formats.
class NameBuffer {
public:
    explicit NameBuffer(size_t initial) : m_capacity(initial) {}

    __attribute__((format(printf, 2, 3))) const char* Format(const char* format, ...) {
        for (;;) {
            if (m_text == nullptr) {
                m_text = static_cast<char*>(ZQ_AllocNoClear(m_capacity));
                if (m_text == nullptr) return "";
            }
            va_list args;
            va_start(args, format);
            const int n = std::vsnprintf(m_text, m_capacity, format, args);
            va_end(args);
            if (n < 0) return "";
            if (static_cast<size_t>(n) < m_capacity) return m_text;
            ZQ_Free(m_text);
            m_text = nullptr;
            m_capacity = static_cast<size_t>(n) + 1;
        }
    }

private:
    char* m_text = nullptr;
    size_t m_capacity;
};

NameBuffer& EventNameBuffer() {
    static NameBuffer* buffer = new NameBuffer(512);
    return *buffer;
}

NameBuffer& KeyNameBuffer() {
    static NameBuffer* buffer = new NameBuffer(64);
    return *buffer;
}

// Index → name tables; null entries and indices outside are "<unknown>".
template <size_t N>
const char* FromTable(const char* const (&table)[N], int index, int first = 0) {
    if (index < first || index - first >= static_cast<int>(N)) return "<unknown>";
    const char* name = table[index - first];
    return name != nullptr ? name : "<unknown>";
}

constexpr const char* kMouseNames[62] = {
    "Left Button",
    "Right Button",
    "Middle Button",
    "No Button",
    "Left Pressed",
    "Right Pressed",
    "Middle Pressed",
    "Left Released",
    "Right Released",
    "Middle Released",
    "Mouse Enter",
    "Mouse Leave",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Joystick 1 Left",
    "Joystick 1 Right",
    "Joystick 1 Up",
    "Joystick 1 Down",
    nullptr,
    "Joystick 1 Button 1",
    "Joystick 1 Button 2",
    "Joystick 1 Button 3",
    "Joystick 1 Button 4",
    "Joystick 1 Button 5",
    "Joystick 1 Button 6",
    "Joystick 1 Button 7",
    "Joystick 1 Button 8",
    nullptr,
    nullptr,
    "Joystick 2 Left",
    "Joystick 2 Right",
    "Joystick 2 Up",
    "Joystick 2 Down",
    nullptr,
    "Joystick 2 Button 1",
    "Joystick 2 Button 2",
    "Joystick 2 Button 3",
    "Joystick 2 Button 4",
    "Joystick 2 Button 5",
    "Joystick 2 Button 6",
    "Joystick 2 Button 7",
    "Joystick 2 Button 8",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Glob Left Button",
    "Glob Right Button",
    "Glob Middle Button",
    "Glob Left Pressed",
    "Glob Right Pressed",
    "Glob Middle Pressed",
    "Glob Left Released",
    "Glob Right Released",
    "Glob Middle Released",
    nullptr,
    "Mouse Wheel Up",
    "Mouse Wheel Down",
};

constexpr const char* kOtherNames[59] = {
    "Outside Room",
    "Intersect Boundary",
    "Game Start",
    "Game End",
    "Room Start",
    "Room End",
    "No More Lives",
    "Animation End",
    "End Of Path",
    "No More Health",
    "User Defined 0",
    "User Defined 1",
    "User Defined 2",
    "User Defined 3",
    "User Defined 4",
    "User Defined 5",
    "User Defined 6",
    "User Defined 7",
    "User Defined 8",
    "User Defined 9",
    "User Defined 10",
    "User Defined 11",
    "User Defined 12",
    "User Defined 13",
    "User Defined 14",
    "User Defined 15",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Close Button",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Outside View 0",
    "Outside View 1",
    "Outside View 2",
    "Outside View 3",
    "Outside View 4",
    "Outside View 5",
    "Outside View 6",
    "Outside View 7",
    nullptr,
    nullptr,
    "Boundary View 0",
    "Boundary View 1",
    "Boundary View 2",
    "Boundary View 3",
    "Boundary View 4",
    "Boundary View 5",
    "Boundary View 6",
    "Boundary View 7",
    "Animation Update",
};

constexpr int kFirstAsync = 60;
constexpr const char* kAsyncNames[16] = {
    "Image Loaded", "Sound Loaded",    "HTTP",           "Dialog",       nullptr,  nullptr,
    nullptr,        "Cloud",           "Networking",     "Steam",        "Social", "Push",
    "Save-Load",    "Audio Recording", "Audio Playback", "System Event",
};
static_assert(sizeof kAsyncNames / sizeof kAsyncNames[0] == 16);

const char* MouseName(int subtype) {
    return FromTable(kMouseNames, subtype);
}

// Subtypes above 59 are asynchronous events; 59 and the gaps are unknown.
const char* OtherName(int subtype) {
    if (subtype > 59) return FromTable(kAsyncNames, subtype, kFirstAsync);
    return FromTable(kOtherNames, subtype);
}

} // namespace

const char* KeyToStr(int key) {
    switch (key) {
        case 0: return "<no key>";
        case 1: return "<any key>";
        case 8: return "<Backspace>";
        case 9: return "<Tab>";
        case 13: return "<Enter>";
        case 16: return "<Shift>";
        case 17: return "<Ctrl>";
        case 18: return "<Alt>";
        case 27: return "<Escape>";
        case 32: return "<Space>";
        case 33: return "<Page Up>";
        case 34: return "<Page Down>";
        case 35: return "<End>";
        case 36: return "<Home>";
        case 37: return "<Left>";
        case 38: return "<Up>";
        case 39: return "<Right>";
        case 40: return "<Down>";
        case 45: return "<Insert>";
        case 46: return "<Delete>";
        case 106: return "Keypad *";
        case 107: return "Keypad +";
        case 109: return "Keypad -";
        case 110: return "Keypad .";
        case 111: return "Keypad /";
        default: break;
    }
    if ((key >= 48 && key <= 57) || (key >= 65 && key <= 90)) return KeyNameBuffer().Format("%c-key", key);
    if (key >= 96 && key <= 105) return KeyNameBuffer().Format("Keypad-%d", key - 96);
    if (key >= 112 && key <= 123) return KeyNameBuffer().Format("F%d", key - 111);
    return "<unknown>";
}

// The collision event is named after the other object ("Collision Event with
// obj_wall"), so the report says which pair collided.
const char* Get_Event_Name(int type, int subtype) {
    NameBuffer& out = EventNameBuffer();
    switch (type) {
        case EVENT_CREATE: return out.Format("Create Event");
        case EVENT_DESTROY: return out.Format("Destroy Event");
        case EVENT_ALARM: return out.Format("Alarm Event for alarm %d", subtype);
        case EVENT_STEP: return out.Format(" Step Event%d", subtype);
        case EVENT_COLLISION: return out.Format("Collision Event with %s", Object_Name(subtype));
        case EVENT_KEYBOARD: return out.Format("Keyboard Event for %s Key", KeyToStr(subtype));
        case EVENT_MOUSE: return out.Format("Mouse Event for %s", MouseName(subtype));
        case EVENT_OTHER:
            if (subtype > 59) return out.Format("Async Event: %s", OtherName(subtype));
            return out.Format("Other Event: %s", OtherName(subtype));
        case EVENT_DRAW: return out.Format("Draw Event");
        case EVENT_KEYPRESS: return out.Format("Key Press Event for %s Key", KeyToStr(subtype));
        case EVENT_KEYRELEASE: return out.Format("Key Release Event for %s Key", KeyToStr(subtype));
        case EVENT_PRE_CREATE: return out.Format("PreCreate Event");
        default: return out.Format("<Unknown Event>");
    }
}

const char* Get_Event_Name_Short(int type, int subtype) {
    NameBuffer& out = EventNameBuffer();
    switch (type) {
        case EVENT_CREATE: return out.Format("Create");
        case EVENT_DESTROY: return out.Format("Destroy");
        case EVENT_ALARM: return out.Format("Alarm %d", subtype);
        case EVENT_STEP: return out.Format("%sStep", subtype == 1 ? "Begin" : subtype == 2 ? "End" : "");
        case EVENT_COLLISION: return out.Format("%s", Object_Name(subtype));
        case EVENT_KEYBOARD: return out.Format("%s", KeyToStr(subtype));
        case EVENT_MOUSE: return out.Format("%s", MouseName(subtype));
        case EVENT_OTHER: return out.Format("%s", OtherName(subtype));
        case EVENT_DRAW: return out.Format("Draw");
        case EVENT_KEYPRESS: return out.Format("press %s", KeyToStr(subtype));
        case EVENT_KEYRELEASE: return out.Format("release %s", KeyToStr(subtype));
        case EVENT_PRE_CREATE: return out.Format("PreCreate");
        default: return out.Format("<Unknown Event>");
    }
}
