// Calling the library's built-ins by script name in tests: the handler is
// found as registration finds it and run inside a call scope, as the call
// gate runs it, with values that release themselves.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/zq_rvalue.h"
#include "library/library_builtins.h"

inline ZQRValue CallBuiltin(const char* name, std::vector<ZQRValue> args = {}, CInstance* self = nullptr,
                            CInstance* other = nullptr) {
    TRoutine routine = LibraryBuiltin_Find(name);
    ZQRValue result;
    EXPECT_NE(routine, nullptr) << name;
    if (routine == nullptr) return result;
    RFunction entry{};
    std::strncpy(entry.f_name, name, sizeof entry.f_name - 1);
    int argc = static_cast<int>(args.size());
    ZQBuiltinCall call(&entry, args.data(), argc);
    routine(result, self, other, argc, args.data());
    return result;
}

inline ZQRValue Int64(int64_t n) {
    return ZQRValue::FromInt64(n);
}
inline ZQRValue Bool(bool b) {
    return ZQRValue::FromBool(b);
}

// The text of a string value ("<kind N>" for any other kind, so a test that
// expects text fails readably).
inline std::string Text(const RValue& v) {
    if (v.Kind() != VALUE_STRING) return "<kind " + std::to_string(v.Kind()) + ">";
    return v.pRefString != nullptr && v.pRefString->Get() != nullptr ? v.pRefString->Get() : "";
}

// Sets an environment variable for the test process and puts the previous
// value (or its absence) back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* saved = std::getenv(name);
        m_had = saved != nullptr;
        if (m_had) m_saved = saved;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (m_had)
            setenv(m_name.c_str(), m_saved.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_saved;
    bool m_had = false;
};
