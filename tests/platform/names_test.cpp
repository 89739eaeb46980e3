// Names given to the window: surrounding double quotes are stripped, texts of
// any length are kept whole, and a short output buffer is never overrun.
#include <gtest/gtest.h>

#include <string>

#include "platform/runner_app.h"

TEST(GameNames, QuoteStrippingDropsTheOpeningQuoteAndTheLastCharacter) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"\"My Game\"", "My Game"}, {"\"My Game", "My Gam"}, {"\"", ""}, {"Plain", "Plain"}, {"", ""},
    };
    for (const auto& c : cases) {
        char out[64];
        RemoveBeginingAndEndQuotes(c.text, out, sizeof out);
        EXPECT_STREQ(out, c.expected) << c.text;
    }
    const std::string longName = "\"" + std::string(600, 'n') + "\"";
    char small[8];
    RemoveBeginingAndEndQuotes(longName.c_str(), small, sizeof small);
    EXPECT_STREQ(small, "nnnnnnn");
}
