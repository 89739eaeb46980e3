// Grids: two-dimensional arrays of script values with a fixed width and
// height held by index, with cell, region, disk and grid-to-grid operations,
// region and disk queries and searches, shuffling and sorting by a column;
// the ds_grid_* built-ins and compiled code's direct entries.
#pragma once

#include <cstdint>
#include <span>

#include "data/ds_tables.h"

struct ZQRValue;

// Cell (x, y) is element x + y * width: a row is width consecutive values.
// A grid with width or height 0 has no cells. Sizes are checked: negative
// sizes and more than DS_MAX_ELEMENTS cells are refused, so width * height
// never overflows. The grid owns its cells (copy rule on store).
//
// Rectangles take two corners in either order and are cut to the grid;
// disks are a real centre and radius, a cell belonging to the disk when its
// integer position lies within the radius. Both are visited column by
// column: x ascending outside, y ascending inside.
class CDS_Grid {
public:
    CDS_Grid(int width, int height);
    ~CDS_Grid();
    CDS_Grid(const CDS_Grid&) = delete;
    CDS_Grid& operator=(const CDS_Grid&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool InGrid(int64_t x, int64_t y) const { return x >= 0 && x < m_width && y >= 0 && y < m_height; }
    RValue* Cell(int x, int y) { return &m_cells[x + static_cast<int64_t>(y) * m_width]; }
    const RValue* Cell(int x, int y) const { return &m_cells[x + static_cast<int64_t>(y) * m_width]; }

    // True when a width x height grid may exist (both non-negative, cells
    // within DS_MAX_ELEMENTS).
    static bool SizeAllowed(int64_t width, int64_t height);

    // Releases every cell, then makes width x height cells of the real 0.
    // A size that is not allowed, or memory that runs out, leaves the grid
    // unchanged and gives false.
    bool SetSize(int width, int height);
    // Keeps the cells common to both sizes, new cells the real 0; false as SetSize.
    bool Resize(int width, int height);
    // Becomes a copy of source (source may be this grid).
    void Assign(const CDS_Grid* source);
    // Every cell becomes a copy of value.
    void Clear(const RValue* value);
    // The cell becomes a copy of value; false outside the grid.
    bool Set(int64_t x, int64_t y, const RValue* value);

    // DoOperation(op, cell, value) on a rectangle or a disk.
    void Region_Operation(int op, int x1, int y1, int x2, int y2, const RValue* value);
    void Disk_Operation(int op, double xm, double ym, double r, const RValue* value);
    // DoOperation(op, this cell, source cell) over the source's rectangle
    // placed at (xpos, ypos), cut to both grids. The walk runs against the
    // shift, so a rectangle copied onto an overlapping place of the same grid
    // lands as it was, not smeared.
    void Grid_Operation(int op, const CDS_Grid* source, int x1, int y1, int x2, int y2, int xpos, int ypos);

    // Region queries. Sum converts every cell with ZQGetReal; mean counts
    // only reals; max and min copy the first of equal extremes visited (any
    // kind) and leave the result alone for an empty rectangle.
    void Get_Sum(RValue& result, int x1, int y1, int x2, int y2) const;
    void Get_Mean(RValue& result, int x1, int y1, int x2, int y2) const;
    void Get_Max(RValue& result, int x1, int y1, int x2, int y2) const;
    void Get_Min(RValue& result, int x1, int y1, int x2, int y2) const;
    // Disk queries: the sum and mean count only reals.
    void Get_Disk_Sum(RValue& result, double xm, double ym, double r) const;
    void Get_Disk_Mean(RValue& result, double xm, double ym, double r) const;
    void Get_Disk_Max(RValue& result, double xm, double ym, double r) const;
    void Get_Disk_Min(RValue& result, double xm, double ym, double r) const;
    // Searches: the first cell equal to value within the tolerance decides.
    // Exists gives 1 or 0; X and Y give its coordinate, or -1.
    void Value_Exists(RValue& result, int x1, int y1, int x2, int y2, const RValue* value) const;
    void Value_X(RValue& result, int x1, int y1, int x2, int y2, const RValue* value) const;
    void Value_Y(RValue& result, int x1, int y1, int x2, int y2, const RValue* value) const;
    void Value_Disk_Exists(RValue& result, double xm, double ym, double r, const RValue* value) const;
    void Value_Disk_X(RValue& result, double xm, double ym, double r, const RValue* value) const;
    void Value_Disk_Y(RValue& result, double xm, double ym, double r, const RValue* value) const;

    // 8 x width x height rounds, each drawing x1, x2, y1, y2 from the
    // runtime's generator and exchanging the two cells.
    void Shuffle();
    // Reorders whole rows so that the key column is ascending (ascending 1)
    // or descending (-1); rows with equal keys keep their order. A column
    // outside the grid does nothing.
    void Sort(int column, int ascending);

    void WriteToString(const char*& out);
    bool ReadFromString(const char* text, bool legacy);

    // The collector's walk: every cell, rows in ascending y.
    template <typename Fn>
    void VisitValues(Fn&& fn) {
        int64_t n = static_cast<int64_t>(m_width) * m_height;
        for (int64_t i = 0; i < n; ++i) fn(m_cells[i]);
    }

private:
    struct Range {
        int x0, x1, y0, y1; // inclusive; empty when x0 > x1 or y0 > y1
    };
    Range Rectangle(int x1, int y1, int x2, int y2) const;
    Range DiskBounds(double xm, double ym, double r) const;
    static bool InDisk(int x, int y, double xm, double ym, double r) {
        double dx = x - xm;
        double dy = y - ym;
        return dx * dx + dy * dy <= r * r;
    }
    // Visits the rectangle's (with disk, the disk's) cells in column order
    // until fn returns false.
    template <typename Fn>
    void Walk(const Range& range, const double* disk, Fn&& fn) const;
    void Extreme(RValue& result, const Range& range, const double* disk, int sign, const char* query) const;
    void Search(RValue& result, const Range& range, const double* disk, const RValue* value, int what) const;
    void Mean(RValue& result, const Range& range, const double* disk) const;
    void ReleaseCells();

    RValue* m_cells = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

// Compiled code's direct entries. Every access is bounds-checked; in debug
// mode a missing grid or a cell outside it is reported as the checked
// built-ins report them.
int ZQVTL_ds_grid_create(int width, int height);
void ZQVTL_ds_grid_set(int grid, int x, int y, const ZQRValue& value);
// The cell's address. A missing grid gives null in debug mode; a cell outside
// the grid (or a missing grid outside debug mode) gives the address of an
// undefined value that is never written.
const RValue* ZQVTL_ds_grid_get(int grid, int x, int y);

// The two pairs of ds_grid_set and ds_grid_get handlers. Both check every
// index; the debug pair reports a missing grid and an access outside it, the
// release pair ignores them silently (a get then gives undefined).
void F_DsGridSet_debug(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
void F_DsGridGet_debug(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
void F_DsGridSet_release(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
void F_DsGridGet_release(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);

std::span<const DsBuiltinRow> DsGrid_Builtins();
