// The data-structure tests' fixture: the data-structure built-ins registered
// alone in the function table, empty tables, the default tolerance, debug
// mode, the release console captured, errors caught; and a call that goes
// through the call gate as compiled code does.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/call_gates.h"
#include "core/console.h"
#include "core/function_table.h"
#include "core/run_settings.h"
#include "core/zq_rvalue.h"
#include "data/ds_tables.h"
#include "error_capture.h"
#include "test_values.h"

class DsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FINALIZE_Code_Function();
        InitDataStructuresFunctions();
        DS_DestroyAll();
        theprec = 1e-8;
        g_DebugMode = true;
        m_savedConsole = rel_csol;
        m_console = std::make_unique<TErrStreamConsole>();
        rel_csol = m_console.get();
    }

    void TearDown() override {
        DS_DestroyAll();
        FINALIZE_Code_Function();
        rel_csol = m_savedConsole;
        g_DebugMode = true;
        theprec = 1e-8;
    }

    // Calls the built-in that scripts name `name` through the call gate.
    static ZQRValue Call(const char* name, std::initializer_list<ZQRValue> args = {}) {
        int index = Function_Find(name);
        EXPECT_GE(index, 0) << name;
        std::vector<ZQRValue> values(args);
        std::vector<ZQRValue*> pointers;
        for (ZQRValue& v : values) pointers.push_back(&v);
        ZQRValue result;
        if (index >= 0)
            ZQVTL_CallLegacyFunction(nullptr, nullptr, result, static_cast<int>(pointers.size()), index,
                                     pointers.data());
        return result;
    }

    // Everything printed on the release console so far (errors included).
    std::string Output() const { return m_console->Text(); }
    // How often `needle` was printed; clears the capture when asked.
    int Printed(const std::string& needle) const {
        int count = 0;
        std::string text = Output();
        for (size_t at = text.find(needle); at != std::string::npos;
             at = text.find(needle, at + needle.size()))
            ++count;
        return count;
    }
    int NoSuchStructureReports() const { return Printed(DS_NO_SUCH_STRUCTURE); }
    void ClearOutput() {
        m_console = std::make_unique<TErrStreamConsole>();
        rel_csol = m_console.get();
    }

    ErrorCapture m_errors;

private:
    tagIConsole* m_savedConsole = nullptr;
    std::unique_ptr<TErrStreamConsole> m_console;
};

// Value checks.
inline bool IsUndefined(const RValue& v) {
    return v.Kind() == VALUE_UNDEFINED;
}
inline bool IsReal(const RValue& v, double d) {
    return v.kind == VALUE_REAL && (v.val == d || (std::isnan(d) && std::isnan(v.val)));
}
