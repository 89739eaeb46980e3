// Answers for the data-structure services that other modules provide and
// that do not exist yet: the text form of each kind (write gives no text,
// read refuses every text and changes nothing) and the secure map files
// (their built-ins do nothing). A module that is built removes its own
// definitions here.
#include "data/ds_grid.h"
#include "data/ds_list.h"
#include "data/ds_map.h"
#include "data/ds_priority.h"
#include "data/ds_queue.h"
#include "data/ds_stack.h"

void CDS_Stack::WriteToString(const char*& out) {
    out = nullptr;
}
bool CDS_Stack::ReadFromString(const char*, bool) {
    return false;
}

void CDS_Queue::WriteToString(const char*& out) {
    out = nullptr;
}
bool CDS_Queue::ReadFromString(const char*, bool) {
    return false;
}

void CDS_List::WriteToString(const char*& out) {
    out = nullptr;
}
bool CDS_List::ReadFromString(const char*, bool) {
    return false;
}

void CDS_Map::WriteToString(const char*& out) {
    out = nullptr;
}
bool CDS_Map::ReadFromString(const char*, bool) {
    return false;
}

void CDS_Priority::WriteToString(const char*& out) {
    out = nullptr;
}
bool CDS_Priority::ReadFromString(const char*, bool) {
    return false;
}

void CDS_Grid::WriteToString(const char*& out) {
    out = nullptr;
}
bool CDS_Grid::ReadFromString(const char*, bool) {
    return false;
}

void F_DsMapSecureSave(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_DsMapSecureLoad(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_DsMapSecureLoadBuffer(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_DsMapSecureSaveBuffer(RValue&, CInstance*, CInstance*, int, RValue*) {}
