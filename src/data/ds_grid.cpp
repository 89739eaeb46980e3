// Grids, their built-ins and compiled code's direct entries.
#include "data/ds_grid.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "core/compare.h"
#include "core/console.h"
#include "core/error.h"
#include "core/random.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "core/zq_rvalue.h"
#include "data/ds_sort.h"

namespace FDS = Function_Data_Structures;

CDS_Grid::CDS_Grid(int width, int height) {
    SetSize(width, height);
}

CDS_Grid::~CDS_Grid() {
    ReleaseCells();
    ZQ_Free(m_cells);
    m_cells = nullptr;
    m_width = 0;
    m_height = 0;
}

bool CDS_Grid::SizeAllowed(int64_t width, int64_t height) {
    // Each side fits 32 bits, so the product cannot overflow 64.
    return width >= 0 && height >= 0 && width <= INT32_MAX && height <= INT32_MAX &&
           width * height <= DS_MAX_ELEMENTS;
}

void CDS_Grid::ReleaseCells() {
    int64_t n = static_cast<int64_t>(m_width) * m_height;
    if (m_cells == nullptr) return;
    for (int64_t i = 0; i < n; ++i) FREE_RValue(&m_cells[i]);
}

bool CDS_Grid::SetSize(int width, int height) {
    if (!SizeAllowed(width, height)) return false;
    int64_t n = static_cast<int64_t>(width) * height;
    RValue* cells = nullptr;
    if (n > 0) {
        cells = ZQ_AllocArray<RValue>(static_cast<size_t>(n)); // zero bytes: every cell the real 0
        if (cells == nullptr) return false;
    }
    ReleaseCells();
    ZQ_Free(m_cells);
    m_cells = cells;
    m_width = width;
    m_height = height;
    return true;
}

bool CDS_Grid::Resize(int width, int height) {
    RValue* old = m_cells;
    int oldWidth = m_width;
    int oldHeight = m_height;
    if (!SizeAllowed(width, height)) return false;
    int64_t n = static_cast<int64_t>(width) * height;
    RValue* cells = nullptr;
    if (n > 0) {
        cells = ZQ_AllocArray<RValue>(static_cast<size_t>(n));
        if (cells == nullptr) return false;
    }
    int commonWidth = width < oldWidth ? width : oldWidth;
    int commonHeight = height < oldHeight ? height : oldHeight;
    for (int y = 0; y < commonHeight; ++y) {
        for (int x = 0; x < commonWidth; ++x)
            RValue_MoveInto(&cells[x + static_cast<int64_t>(y) * width],
                            &old[x + static_cast<int64_t>(y) * oldWidth]);
    }
    ReleaseCells(); // what was not kept
    ZQ_Free(old);
    m_cells = cells;
    m_width = width;
    m_height = height;
    return true;
}

void CDS_Grid::Assign(const CDS_Grid* source) {
    if (source == this || source == nullptr) return;
    if (!SetSize(source->m_width, source->m_height)) {
        DS_ReportTooLarge(static_cast<int64_t>(source->m_width) * source->m_height);
        return;
    }
    int64_t n = static_cast<int64_t>(m_width) * m_height;
    for (int64_t i = 0; i < n; ++i) COPY_RValue(&m_cells[i], &source->m_cells[i]);
}

void CDS_Grid::Clear(const RValue* value) {
    RValue copy; // the value may be one of the cells
    COPY_RValue(&copy, value);
    for (int x = 0; x < m_width; ++x) {
        for (int y = 0; y < m_height; ++y) DS_StoreCopy(Cell(x, y), &copy);
    }
    FREE_RValue(&copy);
}

bool CDS_Grid::Set(int64_t x, int64_t y, const RValue* value) {
    if (!InGrid(x, y)) return false;
    DS_StoreCopy(Cell(static_cast<int>(x), static_cast<int>(y)), value);
    return true;
}

// ---------------------------------------------------------------------------
// Rectangles and disks.

CDS_Grid::Range CDS_Grid::Rectangle(int x1, int y1, int x2, int y2) const {
    Range r;
    r.x0 = x1 < x2 ? x1 : x2;
    r.x1 = x1 < x2 ? x2 : x1;
    r.y0 = y1 < y2 ? y1 : y2;
    r.y1 = y1 < y2 ? y2 : y1;
    if (r.x0 < 0) r.x0 = 0;
    if (r.y0 < 0) r.y0 = 0;
    if (r.x1 > m_width - 1) r.x1 = m_width - 1;
    if (r.y1 > m_height - 1) r.y1 = m_height - 1;
    return r;
}

namespace {

// [floor(centre - r), ceil(centre + r)] cut to [0, size - 1], compared as
// reals before any conversion so that no centre or radius (huge, infinite
// or NaN) converts out of range; false when empty.
bool DiskSpan(double centre, double r, int size, int* lo, int* hi) {
    double first = std::floor(centre - r);
    double last = std::ceil(centre + r);
    if (first < 0.0) first = 0.0;
    if (last > size - 1.0) last = size - 1.0;
    if (!(first <= last)) return false;
    *lo = RealToInt32(first);
    *hi = RealToInt32(last);
    return true;
}

} // namespace

CDS_Grid::Range CDS_Grid::DiskBounds(double xm, double ym, double r) const {
    Range range{0, -1, 0, -1};
    Range found;
    if (DiskSpan(xm, r, m_width, &found.x0, &found.x1) && DiskSpan(ym, r, m_height, &found.y0, &found.y1))
        range = found;
    return range;
}

template <typename Fn>
void CDS_Grid::Walk(const Range& range, const double* disk, Fn&& fn) const {
    for (int x = range.x0; x <= range.x1; ++x) {
        for (int y = range.y0; y <= range.y1; ++y) {
            if (disk != nullptr && !InDisk(x, y, disk[0], disk[1], disk[2])) continue;
            if (!fn(x, y, const_cast<RValue*>(Cell(x, y)))) return;
        }
    }
}

void CDS_Grid::Region_Operation(int op, int x1, int y1, int x2, int y2, const RValue* value) {
    Walk(Rectangle(x1, y1, x2, y2), nullptr, [&](int, int, RValue* cell) {
        DoOperation(op, cell, value);
        return true;
    });
}

void CDS_Grid::Disk_Operation(int op, double xm, double ym, double r, const RValue* value) {
    const double disk[3] = {xm, ym, r};
    Walk(DiskBounds(xm, ym, r), disk, [&](int, int, RValue* cell) {
        DoOperation(op, cell, value);
        return true;
    });
}

void CDS_Grid::Grid_Operation(int op, const CDS_Grid* source, int x1, int y1, int x2, int y2, int xpos,
                              int ypos) {
    // 64-bit throughout: script corners and offsets may be anywhere in 32 bits.
    int64_t sx0 = x1 < x2 ? x1 : x2;
    int64_t sx1 = x1 < x2 ? x2 : x1;
    int64_t sy0 = y1 < y2 ? y1 : y2;
    int64_t sy1 = y1 < y2 ? y2 : y1;
    if (sx0 < 0) sx0 = 0;
    if (sy0 < 0) sy0 = 0;
    if (sx1 > source->m_width - 1) sx1 = source->m_width - 1;
    if (sy1 > source->m_height - 1) sy1 = source->m_height - 1;
    int64_t dx0 = xpos > 0 ? xpos : 0;
    int64_t dy0 = ypos > 0 ? ypos : 0;
    if (xpos < 0) sx0 -= xpos;
    if (ypos < 0) sy0 -= ypos;
    if (dx0 + (sx1 - sx0) >= m_width) sx1 = m_width - 1 - dx0 + sx0;
    if (dy0 + (sy1 - sy0) >= m_height) sy1 = m_height - 1 - dy0 + sy0;
    if (sx0 > sx1 || sy0 > sy1) return;

    // Against the shift, so that on one grid every source cell is read
    // before the operation overwrites it.
    int64_t xStep = dx0 > sx0 ? -1 : 1;
    int64_t yStep = dy0 > sy0 ? -1 : 1;
    int64_t xFirst = xStep > 0 ? sx0 : sx1;
    int64_t yFirst = yStep > 0 ? sy0 : sy1;
    for (int64_t i = 0, x = xFirst; i <= sx1 - sx0; ++i, x += xStep) {
        for (int64_t j = 0, y = yFirst; j <= sy1 - sy0; ++j, y += yStep) {
            int64_t tx = x + dx0 - sx0;
            int64_t ty = y + dy0 - sy0;
            if (!source->InGrid(x, y) || !InGrid(tx, ty)) continue;
            DoOperation(op, Cell(static_cast<int>(tx), static_cast<int>(ty)),
                        source->Cell(static_cast<int>(x), static_cast<int>(y)));
        }
    }
}

// ---------------------------------------------------------------------------
// Queries.

namespace {

double CellNumber(const RValue* cell) {
    return cell->kind == VALUE_REAL ? cell->val : ZQGetReal(cell, 0);
}

} // namespace

void CDS_Grid::Get_Sum(RValue& result, int x1, int y1, int x2, int y2) const {
    double sum = 0.0;
    Walk(Rectangle(x1, y1, x2, y2), nullptr, [&](int, int, RValue* cell) {
        sum += CellNumber(cell);
        return true;
    });
    DS_ResultReal(result, sum);
}

void CDS_Grid::Mean(RValue& result, const Range& range, const double* disk) const {
    double sum = 0.0;
    int64_t count = 0;
    Walk(range, disk, [&](int, int, RValue* cell) {
        if (cell->kind == VALUE_REAL) {
            sum += cell->val;
            ++count;
        }
        return true;
    });
    DS_ResultReal(result, count > 0 ? sum / static_cast<double>(count) : 0.0);
}

void CDS_Grid::Get_Mean(RValue& result, int x1, int y1, int x2, int y2) const {
    Mean(result, Rectangle(x1, y1, x2, y2), nullptr);
}

void CDS_Grid::Get_Disk_Mean(RValue& result, double xm, double ym, double r) const {
    const double disk[3] = {xm, ym, r};
    Mean(result, DiskBounds(xm, ym, r), disk);
}

void CDS_Grid::Get_Disk_Sum(RValue& result, double xm, double ym, double r) const {
    const double disk[3] = {xm, ym, r};
    double sum = 0.0;
    Walk(DiskBounds(xm, ym, r), disk, [&](int, int, RValue* cell) {
        if (cell->kind == VALUE_REAL) sum += cell->val;
        return true;
    });
    DS_ResultReal(result, sum);
}

void CDS_Grid::Extreme(RValue& result, const Range& range, const double* disk, int sign,
                       const char* query) const {
    const RValue* candidate = nullptr;
    bool mixed = false;
    Walk(range, disk, [&](int, int, RValue* cell) {
        if (candidate == nullptr) {
            candidate = cell;
            return true;
        }
        if ((candidate->Kind() == VALUE_STRING) != (cell->Kind() == VALUE_STRING)) mixed = true;
        if (ZQCompareVal(*candidate, *cell, theprec) * sign < 0) candidate = cell;
        return true;
    });
    if (candidate != nullptr) DS_ResultCopy(result, *candidate);
    if (mixed && g_DebugMode)
        rel_csol->Output("Warning:: ds_grid_%s called on grid with mix of strings and numerical values\n",
                         query);
}

void CDS_Grid::Get_Max(RValue& result, int x1, int y1, int x2, int y2) const {
    Extreme(result, Rectangle(x1, y1, x2, y2), nullptr, 1, "get_max");
}

void CDS_Grid::Get_Min(RValue& result, int x1, int y1, int x2, int y2) const {
    Extreme(result, Rectangle(x1, y1, x2, y2), nullptr, -1, "get_min");
}

void CDS_Grid::Get_Disk_Max(RValue& result, double xm, double ym, double r) const {
    const double disk[3] = {xm, ym, r};
    Extreme(result, DiskBounds(xm, ym, r), disk, 1, "get_disk_max");
}

void CDS_Grid::Get_Disk_Min(RValue& result, double xm, double ym, double r) const {
    const double disk[3] = {xm, ym, r};
    Extreme(result, DiskBounds(xm, ym, r), disk, -1, "get_disk_min");
}

// what: 0 exists (1 or 0), 1 the match's x, 2 its y (-1 without a match).
void CDS_Grid::Search(RValue& result, const Range& range, const double* disk, const RValue* value,
                      int what) const {
    double found = what == 0 ? 0.0 : -1.0;
    Walk(range, disk, [&](int x, int y, RValue* cell) {
        if (ZQCompareVal(*cell, *value, theprec) != 0) return true;
        found = what == 0 ? 1.0 : (what == 1 ? x : y);
        return false;
    });
    DS_ResultReal(result, found);
}

void CDS_Grid::Value_Exists(RValue& result, int x1, int y1, int x2, int y2, const RValue* value) const {
    Search(result, Rectangle(x1, y1, x2, y2), nullptr, value, 0);
}

void CDS_Grid::Value_X(RValue& result, int x1, int y1, int x2, int y2, const RValue* value) const {
    Search(result, Rectangle(x1, y1, x2, y2), nullptr, value, 1);
}

void CDS_Grid::Value_Y(RValue& result, int x1, int y1, int x2, int y2, const RValue* value) const {
    Search(result, Rectangle(x1, y1, x2, y2), nullptr, value, 2);
}

void CDS_Grid::Value_Disk_Exists(RValue& result, double xm, double ym, double r, const RValue* value) const {
    const double disk[3] = {xm, ym, r};
    Search(result, DiskBounds(xm, ym, r), disk, value, 0);
}

void CDS_Grid::Value_Disk_X(RValue& result, double xm, double ym, double r, const RValue* value) const {
    const double disk[3] = {xm, ym, r};
    Search(result, DiskBounds(xm, ym, r), disk, value, 1);
}

void CDS_Grid::Value_Disk_Y(RValue& result, double xm, double ym, double r, const RValue* value) const {
    const double disk[3] = {xm, ym, r};
    Search(result, DiskBounds(xm, ym, r), disk, value, 2);
}

// ---------------------------------------------------------------------------
// Shuffle and sort.

void CDS_Grid::Shuffle() {
    if (m_width == 0 || m_height == 0) return;
    int64_t rounds = int64_t{8} * m_width * m_height;
    for (int64_t k = 0; k < rounds; ++k) {
        int x1 = ZQRandom(m_width);
        int x2 = ZQRandom(m_width);
        int y1 = ZQRandom(m_height);
        int y2 = ZQRandom(m_height);
        if (x1 == x2 && y1 == y2) continue;
        DS_SwapValues(Cell(x1, y1), Cell(x2, y2));
    }
}

void CDS_Grid::Sort(int column, int ascending) {
    if (column < 0 || column >= m_width || m_height < 2) return;
    int32_t* order = ZQ_AllocArray<int32_t>(static_cast<size_t>(m_height));
    if (order == nullptr) {
        DS_ReportTooLarge(m_height);
        return;
    }
    for (int32_t i = 0; i < m_height; ++i) order[i] = i;
    DS_StableSort(order, m_height, [&](int32_t a, int32_t b) {
        return ZQCompareVal(*Cell(column, a), *Cell(column, b), theprec) * ascending < 0;
    });
    // Row `to` takes row order[to]. Each cycle of the permutation is carried
    // out by exchanging whole rows along it; order[i] = -1 marks a row in place.
    for (int32_t start = 0; start < m_height; ++start) {
        int32_t to = start;
        while (order[to] >= 0) {
            int32_t from = order[to];
            order[to] = -1;
            if (from == start) break;
            for (int x = 0; x < m_width; ++x) DS_SwapValues(Cell(x, to), Cell(x, from));
            to = from;
        }
    }
    ZQ_Free(order);
}

// ---------------------------------------------------------------------------
// Compiled code's entries and the checked cell access.

namespace {

void ReportBadSize(int64_t width, int64_t height) {
    char message[160];
    std::snprintf(message, sizeof message,
                  "ds_grid_create: a grid of %lld x %lld cells is refused (sizes from 0, at most %lld cells)",
                  static_cast<long long>(width), static_cast<long long>(height),
                  static_cast<long long>(DS_MAX_ELEMENTS));
    Error_Show_Action(message, false);
}

void ReportOutside(int grid, const CDS_Grid& g, int64_t x, int64_t y, const char* access) {
    rel_csol->Output("Grid %d, index out of bounds %s [%lld,%lld] - size is [%d,%d]\n", grid, access,
                     static_cast<long long>(x), static_cast<long long>(y), g.Width(), g.Height());
}

// Never written: the answer to a read outside every grid.
const RValue kOutsideCell = RValue_Undefined();

} // namespace

int ZQVTL_ds_grid_create(int width, int height) {
    if (!CDS_Grid::SizeAllowed(width, height)) {
        ReportBadSize(width, height);
        width = 0;
        height = 0;
    }
    CDS_Grid* grid = new CDS_Grid(width, height);
    if (grid->Width() != width) { // memory ran out: an empty grid stands in
        ReportBadSize(width, height);
    }
    int index = FDS::thegrids.Add(grid);
    if (index < 0) delete grid;
    return index;
}

void ZQVTL_ds_grid_set(int index, int x, int y, const ZQRValue& value) {
    CDS_Grid* grid = FDS::thegrids.Get(index);
    if (grid == nullptr) {
        if (g_DebugMode) DS_ReportNoSuchStructure();
        return;
    }
    if (!grid->Set(x, y, &value) && g_DebugMode) ReportOutside(index, *grid, x, y, "writing");
}

const RValue* ZQVTL_ds_grid_get(int index, int x, int y) {
    CDS_Grid* grid = FDS::thegrids.Get(index);
    if (grid == nullptr) {
        if (!g_DebugMode) return &kOutsideCell;
        DS_ReportNoSuchStructure();
        return nullptr;
    }
    if (grid->InGrid(x, y)) return grid->Cell(x, y);
    if (!g_DebugMode) return &kOutsideCell;
    ReportOutside(index, *grid, x, y, "reading");
    return grid->InGrid(0, 0) ? grid->Cell(0, 0) : &kOutsideCell;
}

namespace {

CDS_Grid* CheckedGrid(const RValue* args) {
    return DS_Checked(FDS::thegrids, args);
}

// The cell access shared by the set, get and cell-operation built-ins:
// the grid and cell named by args[0..2], or null after the reports that
// `report` asks for.
RValue* CheckedCell(RValue* args, bool report, const char* access, CDS_Grid** gridOut = nullptr) {
    int32_t index = ZQGetInt32(args, 0);
    CDS_Grid* grid = FDS::thegrids.Get(index);
    if (gridOut != nullptr) *gridOut = grid;
    if (grid == nullptr) {
        if (report) DS_ReportNoSuchStructure();
        return nullptr;
    }
    int32_t x = ZQGetInt32(args, 1);
    int32_t y = ZQGetInt32(args, 2);
    if (!grid->InGrid(x, y)) {
        if (report) ReportOutside(index, *grid, x, y, access);
        return nullptr;
    }
    return grid->Cell(x, y);
}

void F_DsGridCreate(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_ResultReal(result, ZQVTL_ds_grid_create(ZQGetInt32(args, 0), ZQGetInt32(args, 1)));
}

void F_DsGridDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CheckedGrid(args) != nullptr) delete FDS::thegrids.Detach(ZQGetInt32(args, 0));
}

void F_DsGridCopy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    CDS_Grid* destination = CheckedGrid(args);
    if (destination == nullptr) return;
    if (CDS_Grid* source = DS_Checked(FDS::thegrids, args, 1)) destination->Assign(source);
}

void F_DsGridResize(RValue&, CInstance*, CInstance*, int, RValue* args) {
    CDS_Grid* grid = CheckedGrid(args);
    if (grid == nullptr) return;
    int32_t width = ZQGetInt32(args, 1);
    int32_t height = ZQGetInt32(args, 2);
    if (width <= 0 || height <= 0) {
        Error_Show_Action("Error: Can not resize a grid with a dimension of <=0\n", true);
        return;
    }
    if (!grid->Resize(width, height)) ReportBadSize(width, height);
}

void F_DsGridWidth(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_ResultReal(result, 0.0);
    if (CDS_Grid* grid = CheckedGrid(args)) DS_ResultReal(result, grid->Width());
}

void F_DsGridHeight(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    DS_ResultReal(result, 0.0);
    if (CDS_Grid* grid = CheckedGrid(args)) DS_ResultReal(result, grid->Height());
}

void F_DsGridClear(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Grid* grid = CheckedGrid(args)) grid->Clear(&args[1]);
}

void F_DsGridSetPre(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Grid* grid = nullptr;
    RValue* cell = CheckedCell(args, true, "writing", &grid);
    if (grid == nullptr) return;
    if (cell != nullptr) DS_StoreCopy(cell, &args[3]);
    DS_ResultCopy(result, args[3]);
}

void F_DsGridSetPost(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    RValue* cell = CheckedCell(args, true, "writing");
    if (cell == nullptr) return;
    DS_ResultCopy(result, *cell);
    DS_StoreCopy(cell, &args[3]);
}

void F_DsGridAdd(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (RValue* cell = CheckedCell(args, true, "writing")) DoOperation(2, cell, &args[3]);
}

void F_DsGridMultiply(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (RValue* cell = CheckedCell(args, true, "writing")) DoOperation(3, cell, &args[3]);
}

void RegionOperation(RValue* args, int op) {
    if (CDS_Grid* grid = CheckedGrid(args))
        grid->Region_Operation(op, ZQGetInt32(args, 1), ZQGetInt32(args, 2), ZQGetInt32(args, 3),
                               ZQGetInt32(args, 4), &args[5]);
}

void F_DsGridSetRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    RegionOperation(args, 1);
}

void F_DsGridAddRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    RegionOperation(args, 2);
}

void F_DsGridMultiplyRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    RegionOperation(args, 3);
}

void DiskOperation(RValue* args, int op) {
    if (CDS_Grid* grid = CheckedGrid(args))
        grid->Disk_Operation(op, ZQGetReal(args, 1), ZQGetReal(args, 2), ZQGetReal(args, 3), &args[4]);
}

void F_DsGridSetDisk(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DiskOperation(args, 1);
}

void F_DsGridAddDisk(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DiskOperation(args, 2);
}

void F_DsGridMultiplyDisk(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DiskOperation(args, 3);
}

void GridOperation(RValue* args, int op) {
    CDS_Grid* grid = CheckedGrid(args);
    if (grid == nullptr) return;
    CDS_Grid* source = DS_Checked(FDS::thegrids, args, 1);
    if (source == nullptr) return;
    grid->Grid_Operation(op, source, ZQGetInt32(args, 2), ZQGetInt32(args, 3), ZQGetInt32(args, 4),
                         ZQGetInt32(args, 5), ZQGetInt32(args, 6), ZQGetInt32(args, 7));
}

void F_DsGridSetGridRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    GridOperation(args, 1);
}

void F_DsGridAddGridRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    GridOperation(args, 2);
}

void F_DsGridMultiplyGridRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    GridOperation(args, 3);
}

// The region and disk queries: the grid, then the query on its arguments.
using RegionQuery = void (CDS_Grid::*)(RValue&, int, int, int, int) const;
using DiskQuery = void (CDS_Grid::*)(RValue&, double, double, double) const;
using RegionSearch = void (CDS_Grid::*)(RValue&, int, int, int, int, const RValue*) const;
using DiskSearch = void (CDS_Grid::*)(RValue&, double, double, double, const RValue*) const;

void Query(RValue& result, RValue* args, RegionQuery query) {
    if (CDS_Grid* grid = CheckedGrid(args))
        (grid->*query)(result, ZQGetInt32(args, 1), ZQGetInt32(args, 2), ZQGetInt32(args, 3),
                       ZQGetInt32(args, 4));
}

void Query(RValue& result, RValue* args, DiskQuery query) {
    if (CDS_Grid* grid = CheckedGrid(args))
        (grid->*query)(result, ZQGetReal(args, 1), ZQGetReal(args, 2), ZQGetReal(args, 3));
}

void Query(RValue& result, RValue* args, RegionSearch query) {
    if (CDS_Grid* grid = CheckedGrid(args))
        (grid->*query)(result, ZQGetInt32(args, 1), ZQGetInt32(args, 2), ZQGetInt32(args, 3),
                       ZQGetInt32(args, 4), &args[5]);
}

void Query(RValue& result, RValue* args, DiskSearch query) {
    if (CDS_Grid* grid = CheckedGrid(args))
        (grid->*query)(result, ZQGetReal(args, 1), ZQGetReal(args, 2), ZQGetReal(args, 3), &args[4]);
}

void F_DsGridGetSum(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Sum);
}

void F_DsGridGetMax(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Max);
}

void F_DsGridGetMin(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Min);
}

void F_DsGridGetMean(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Mean);
}

void F_DsGridGetDiskSum(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Disk_Sum);
}

void F_DsGridGetDiskMax(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Disk_Max);
}

void F_DsGridGetDiskMin(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Disk_Min);
}

void F_DsGridGetDiskMean(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Get_Disk_Mean);
}

void F_DsGridValueExists(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Value_Exists);
}

void F_DsGridValueX(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Value_X);
}

void F_DsGridValueY(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Value_Y);
}

void F_DsGridValueDiskExists(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Value_Disk_Exists);
}

void F_DsGridValueDiskX(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Value_Disk_X);
}

void F_DsGridValueDiskY(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    Query(result, args, &CDS_Grid::Value_Disk_Y);
}

void F_DsGridShuffle(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Grid* grid = CheckedGrid(args)) grid->Shuffle();
}

void F_DsGridWrite(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Grid* grid = CheckedGrid(args);
    if (grid == nullptr) return;
    DS_ResultTextForm(result, grid);
}

void F_DsGridRead(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_Grid* grid = CheckedGrid(args);
    if (grid == nullptr) return;
    const char* text = ZQGetString(args, 1);
    if (text == nullptr) return;
    grid->ReadFromString(text, argc == 3 && ZQGetInt32(args, 2) > 0);
}

void F_DsGridSort(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Grid* grid = CheckedGrid(args)) grid->Sort(ZQGetInt32(args, 1), ZQGetBool(args, 2) ? 1 : -1);
}

const DsBuiltinRow kGridBuiltins[] = {
    {"ds_grid_create", F_DsGridCreate, 2},
    {"ds_grid_destroy", F_DsGridDestroy, 1},
    {"ds_grid_copy", F_DsGridCopy, 2},
    {"ds_grid_resize", F_DsGridResize, 3},
    {"ds_grid_width", F_DsGridWidth, 1},
    {"ds_grid_height", F_DsGridHeight, 1},
    {"ds_grid_clear", F_DsGridClear, 2},
    {"ds_grid_set", F_DsGridSet_debug, 4},
    {"ds_grid_set_pre", F_DsGridSetPre, 4},
    {"ds_grid_set_post", F_DsGridSetPost, 4},
    {"ds_grid_add", F_DsGridAdd, 4},
    {"ds_grid_multiply", F_DsGridMultiply, 4},
    {"ds_grid_set_region", F_DsGridSetRegion, 6},
    {"ds_grid_add_region", F_DsGridAddRegion, 6},
    {"ds_grid_multiply_region", F_DsGridMultiplyRegion, 6},
    {"ds_grid_set_disk", F_DsGridSetDisk, 5},
    {"ds_grid_add_disk", F_DsGridAddDisk, 5},
    {"ds_grid_multiply_disk", F_DsGridMultiplyDisk, 5},
    {"ds_grid_set_grid_region", F_DsGridSetGridRegion, 8},
    {"ds_grid_add_grid_region", F_DsGridAddGridRegion, 8},
    {"ds_grid_multiply_grid_region", F_DsGridMultiplyGridRegion, 8},
    {"ds_grid_get", F_DsGridGet_debug, 3},
    {"ds_grid_get_sum", F_DsGridGetSum, 5},
    {"ds_grid_get_max", F_DsGridGetMax, 5},
    {"ds_grid_get_min", F_DsGridGetMin, 5},
    {"ds_grid_get_mean", F_DsGridGetMean, 5},
    {"ds_grid_get_disk_sum", F_DsGridGetDiskSum, 4},
    {"ds_grid_get_disk_max", F_DsGridGetDiskMax, 4},
    {"ds_grid_get_disk_min", F_DsGridGetDiskMin, 4},
    {"ds_grid_get_disk_mean", F_DsGridGetDiskMean, 4},
    {"ds_grid_value_exists", F_DsGridValueExists, 6},
    {"ds_grid_value_x", F_DsGridValueX, 6},
    {"ds_grid_value_y", F_DsGridValueY, 6},
    {"ds_grid_value_disk_exists", F_DsGridValueDiskExists, 5},
    {"ds_grid_value_disk_x", F_DsGridValueDiskX, 5},
    {"ds_grid_value_disk_y", F_DsGridValueDiskY, 5},
    {"ds_grid_shuffle", F_DsGridShuffle, 1},
    {"ds_grid_write", F_DsGridWrite, 1},
    {"ds_grid_read", F_DsGridRead, 2},
    {"ds_grid_sort", F_DsGridSort, 3},
};

} // namespace

void F_DsGridSet_debug(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (RValue* cell = CheckedCell(args, true, "writing")) DS_StoreCopy(cell, &args[3]);
}

void F_DsGridGet_debug(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (const RValue* cell = CheckedCell(args, true, "reading")) DS_ResultCopy(result, *cell);
}

void F_DsGridSet_release(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (RValue* cell = CheckedCell(args, false, "writing")) DS_StoreCopy(cell, &args[3]);
}

void F_DsGridGet_release(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (const RValue* cell = CheckedCell(args, false, "reading")) DS_ResultCopy(result, *cell);
}

std::span<const DsBuiltinRow> DsGrid_Builtins() {
    return kGridBuiltins;
}
