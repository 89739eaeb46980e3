// Catching the error window: while a ShownErrors lives, every error text that
// would open the window is kept instead, and afterwards the run's error state
// (the pending game end a shown error requests) is put back.
#pragma once

#include <string>
#include <vector>

#include "core/error.h"
#include "core/run_state.h"

class ShownErrors {
public:
    ShownErrors() : m_saved(g_ErrorHooks) {
        Texts().clear();
        g_ErrorHooks = {};
        g_ErrorHooks.showMessage = [](const char* text) { Texts().emplace_back(text); };
    }
    ~ShownErrors() {
        g_ErrorHooks = m_saved;
        aborterror = false;
        New_Room = ROOM_NONE;
    }
    ShownErrors(const ShownErrors&) = delete;
    ShownErrors& operator=(const ShownErrors&) = delete;

    static std::vector<std::string>& Texts() {
        static std::vector<std::string> texts;
        return texts;
    }
    // True when some shown text contains `part`.
    bool Contains(const std::string& part) const {
        for (const std::string& t : Texts())
            if (t.find(part) != std::string::npos) return true;
        return false;
    }

private:
    ErrorHooks m_saved;
};
