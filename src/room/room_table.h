// The room table: templates of all rooms by number with their names, the
// room order the game walks from its first room, and the table operations
// scripts use (add, duplicate, assign) with lookups by number and name.
#pragma once

#include <cstdint>

class CRoom;
class ImageReader;

// Empties the table and the room order and resets the display and GUI
// transform to their start values.
void Room_Init();
// Builds the table from the "ROOM" payload: a count and one record offset per
// room number (0: no room). A damaged chunk throws GameDataError and leaves
// the previous table in place.
void Room_Load(ImageReader& chunk);
bool Room_Prepare();
// Destroys every template, the names and the room order; Run_Room is null after.
void Room_Free();
void FINALIZE_Room_Main();

int Room_Number();
bool Room_Exists(int index);
CRoom* Room_Data(int index);
// The name, or "<undefined>" for no room.
const char* Room_Name(int index);
// The lowest room number with exactly that name (case-sensitive), or -1.
int Room_Find(const char* name);

// Appends an empty room named "__newroom<N>" with a stored record of its own.
int Room_Add();
// Appends a copy (settings, private stored record) of a room; -1 for no room.
int Room_Duplicate(int index);
// Replaces room `index` by a copy of room `source` whose stored instances
// become live instances; false when either names no room.
bool Room_Assign(int index, int source);

// The room order from the header payload of format version `version`.
void Room_LoadOrder(ImageReader& header, int version);
int Room_OrderCount();
int Room_OrderAt(int position);
// First and last number of the order; -1 for an empty order.
int Room_First();
int Room_Last();
// The neighbours in the order; the first room's previous is the one before
// the last and the last room's next the second (-1 with fewer than two rooms).
int Room_Previous(int room);
int Room_Next(int room);

int Room_Get_maxid();
int Room_Get_maxtileid();

// The display and GUI transform (used by drawing and GUI-space input).
extern float g_DisplayScaleX, g_DisplayScaleY;
extern int g_DisplayOffsetX, g_DisplayOffsetY;
extern int g_GUI_Width, g_GUI_Height;
extern bool g_GUI_Maximise;
extern float g_GUI_Xoffset, g_GUI_Yoffset;
extern float g_GUI_X_Scale, g_GUI_Y_Scale;
extern bool g_InGUI_Zone;
