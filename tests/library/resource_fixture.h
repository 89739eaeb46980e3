// The resource built-ins' tests: a fixture over any test base that calls a
// built-in for its number, takes the error it showed, and writes a number
// argument briefly.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "builtin_call.h"
#include "error_capture.h"

template <typename Base>
class ResourceFixture : public Base {
protected:
    // The number a built-in answered (the check fails for any other kind).
    static double Num(const char* name, std::vector<ZQRValue> args = {}) {
        const ZQRValue r = CallBuiltin(name, std::move(args));
        EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
        return r.val;
    }
    // The message of the error shown last, and the capture cleared.
    std::string TakeError() {
        const std::string message = ErrorReportMessage(errors.LastShown());
        errors.Clear();
        return message;
    }
    static ZQRValue N(double v) { return ZQRValue(v); }

    ErrorCapture errors;
};
