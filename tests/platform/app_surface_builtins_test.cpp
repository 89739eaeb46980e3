// "application_surface_draw_enable" switches the runtime's own drawing of the
// application surface at the end of the frame (a game that scales the
// picture itself turns it off); on only above 0.5.
#include <gtest/gtest.h>

#include "core/run_globals.h"
#include "core/zq_rvalue.h"
#include "platform/platform_builtins.h"

namespace {

TEST(ApplicationSurfaceDrawEnable, SetsTheAutoDrawFlagOnAboveOneHalf) {
    const struct {
        double on;
        bool autodraw;
    } cases[] = {{0, false}, {1, true}, {0.5, false}, {0.75, true}, {-1, false}};
    for (const auto& c : cases) {
        g_Application_Surface_Autodraw = !c.autodraw;
        ZQRValue result, arg(c.on);
        F_VTLApplicationSurfaceDrawEnable(result, nullptr, nullptr, 1, &arg);
        EXPECT_EQ(g_Application_Surface_Autodraw, c.autodraw) << c.on;
    }
    g_Application_Surface_Autodraw = true;
}

} // namespace
