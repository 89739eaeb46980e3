// The path table: the game data's paths by resource index with their names,
// loaded from the "PATH" chunk, and the operations the path built-ins, the
// motion planners and instances use (add, duplicate, assign, delete, find).
#pragma once

class CPath;
class CStream;
class ImageReader;

// Start-up: the table is empty.
void INITIALIZE_Path();
// Frees every path and name and empties the table (before the data file's
// chunks are read, and at shut-down).
void Path_Init();
void Path_Quit();

// Loads the "PATH" chunk: a count, then one 32-bit file offset per index (0:
// no path there) of a record {name offset, kind, closed, precision, point
// count, points as x, y, speed floats}. The table becomes exactly the
// chunk's paths. A damaged chunk throws GameDataError naming it and leaves
// the table as it was.
void Path_Load(ImageReader& chunk);
// The older stream form needs the memory stream, which this runtime does not
// have: refused with a line on the debug console (false), the table unchanged.
bool Path_Load(CStream* stream);

// Valid indexes are 0 .. Path_Number() - 1, whether or not a path is there.
int Path_Number();
bool Path_Exists(int index);
// The path at `index`, or null (out of range or empty).
CPath* Path_Data(int index);
// The path's name, or "<undefined>" when there is no path at `index`.
const char* Path_Name(int index);
// The first index holding a path named exactly `name` (case counts), or -1.
int Path_Find(const char* name);

// Appends an index holding a new empty path named "__newpath<index>";
// returns the index. Indexes are never reused.
int Path_Add();
// Frees the path at `index` and its name, leaving the index empty; false
// when there was no path.
bool Path_Delete(int index);
// Appends an index holding a copy of the path at `index`, named
// "__newpath<new index>"; -1 when there is no path at `index`.
int Path_Duplicate(int index);
// Copies kind, closed, precision and points of path `from` into index `to`
// (making a path named "__newpath<to>" there when it is empty; the name of
// an index that has a path stays). False when `from` has no
// path or `to` is out of range; a path assigned to itself shows the
// non-fatal error "ERROR: Can not assign a path to itself!" and gives false.
bool Path_Assign(int to, int from);
