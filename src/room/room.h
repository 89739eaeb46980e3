// Rooms as far as instances and variable targets need them: the running
// room, its active instance list in ascending depth and its deactivated
// list, and adding instances with fresh ids. Views, layers, backgrounds and
// the room table come with the room module.
#pragma once

#include <cstdint>

class CInstance;

class CRoom {
public:
    CRoom() = default;
    // Destroys every instance on both lists.
    ~CRoom();
    CRoom(const CRoom&) = delete;
    CRoom& operator=(const CRoom&) = delete;

    // Makes an instance of `object` at (x, y) with the next instance id
    // (room_maxid is raised by one and its new value used), enters it in the
    // id table and its object type's lists, and inserts it into the active
    // list after the last instance whose list depth is not greater than its
    // depth (its list depth then becomes its depth).
    CInstance* AddInstance(float x, float y, int object);
    // Takes the instance out of whichever list holds it and destroys it.
    void DeleteInstance(CInstance* instance);
    // Moves instances whose deactivated flag changed between the two lists.
    void UpdateActive();
    // Takes an active instance out of the active list and inserts it again by
    // its current depth (after the others of equal depth). Nothing happens to
    // an instance this room's active list does not hold.
    void MoveToDepth(CInstance* instance);

    CInstance* m_pFirstActive = nullptr;
    CInstance* m_pLastActive = nullptr;
    int32_t m_activeCount = 0;
    CInstance* m_pFirstDeactive = nullptr; // chained through the next links, ending with null
    bool m_persistent = false;             // the room survives being left

private:
    void InsertActive(CInstance* instance);
    void UnlinkActive(CInstance* instance);
    void UnlinkDeactive(CInstance* instance);
};

// The running room, null before the first room.
extern CRoom* Run_Room;
// The last instance id handed out.
extern int32_t room_maxid;
