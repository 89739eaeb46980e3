// Placeholders until room layers from the data land.
#include "room/layer_manager.h"
#include "room/room.h"

void CLayerManager::BuildRoomLayerRuntimeData(CRoom*) {}
void CLayerManager::CleanRoomLayerRuntimeData(CRoom*) {}
void CRoom::CleanPersistent() {}
