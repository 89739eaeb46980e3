// The room's draw pass on a headless device: the order of the draw events
// through the views, the single clear of the frame, views enabled with none
// visible, an unbalanced surface stack, the draw events of a room with
// layers, and instances drawn by their sprite.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "../world/event_fixture.h"
#include "core/run_globals.h"
#include "error_capture.h"
#include "gl_device_fixture.h"
#include "render/surface.h"
#include "render/view.h"
#include "render/window_services.h"
#include "render/window_views.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "room/layer.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "sprites/room_draw.h"
#include "world/step/step_services.h"

namespace {

// One draw event that ran: subtype, instance id, the view being drawn and
// the number of clears so far in the frame.
struct Drawn {
    int subtype;
    int id;
    int view;
    int clears;
    bool operator==(const Drawn& o) const {
        return subtype == o.subtype && id == o.id && view == o.view && clears == o.clears;
    }
};

std::ostream& operator<<(std::ostream& out, const Drawn& d) {
    return out << "{" << d.subtype << ", " << d.id << ", view " << d.view << ", clears " << d.clears << "}";
}

std::vector<Drawn>& Frame() {
    static std::vector<Drawn> frame;
    return frame;
}
int32_t g_clearsBefore = 0;
// Runs inside every logged draw event, after it is logged.
void (*g_action)(CInstance* self, int subtype) = nullptr;

void LogDraw(CInstance* self, CInstance*) {
    Frame().push_back({Current_Event_Number, self->i_id, Current_View, g_col - g_clearsBefore});
    if (g_action != nullptr) g_action(self, Current_Event_Number);
}

constexpr int kAllDrawEvents[] = {kDrawEventPre,  kDrawEventBegin,    kDrawEventDraw, kDrawEventEnd,
                                  kDrawEventPost, kDrawEventGUIBegin, kDrawEventGUI,  kDrawEventGUIEnd};

class RoomDraw : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        Frame().clear();
        g_action = nullptr;
        g_ApplicationWidth = g_ApplicationHeight = kSize;
        room_ = std::make_unique<CRoom>();
        room_->m_width = room_->m_height = kSize;
        room_->m_showColour = false;
        Run_Room = room_.get();
        for (int i = 0; i < 2; ++i) Object_Data(Object_Add())->m_flags = 0;
    }
    void TearDown() override {
        g_action = nullptr;
        Run_Room = nullptr;
        room_.reset();
        FINALIZE_Instance_Class();
        Object_Init();
        GR_Surface_FreeAll();
        GLDeviceTest::TearDown();
    }

    CInstance* Add(int object, float depth) {
        CInstance* inst = room_->AddInstance(0, 0, static_cast<int>(depth), object);
        inst->i_visible = true;
        return inst;
    }
    static void GiveEvents(int object, std::initializer_list<int> subtypes) {
        for (int s : subtypes) SetHandler(object, EVENT_DRAW, s, LogDraw);
    }
    static void GiveAllEvents(int object) {
        for (int s : kAllDrawEvents) SetHandler(object, EVENT_DRAW, s, LogDraw);
    }
    void Port(int i, int x, int y, int w, int h) {
        CViewVT& v = room_->m_views[i];
        v.visible = true;
        v.xport = x;
        v.yport = y;
        v.wport = w;
        v.hport = h;
        v.xview = static_cast<float>(x);
        v.yview = static_cast<float>(y);
        v.wview = static_cast<float>(w);
        v.hview = static_cast<float>(h);
    }
    void DrawFrame() {
        g_clearsBefore = g_col;
        GR_D3D_Start_Frame();
        Draw_Room();
        GR_D3D_Finish_Frame(false);
    }
    static std::vector<int> Subtypes() {
        std::vector<int> out;
        for (const Drawn& d : Frame()) out.push_back(d.subtype);
        return out;
    }

    std::unique_ptr<CRoom> room_;
};

TEST_F(RoomDraw, DrawEventsRunInFrameOrderThroughEachVisibleViewWithOneClear) {
    GiveAllEvents(0);
    GiveAllEvents(1);
    const int deep = Add(0, 5)->i_id, shallow = Add(1, -5)->i_id;
    room_->m_enableViews = true;
    Port(0, 0, 0, 16, 32);
    Port(2, 16, 0, 16, 32);
    DrawFrame();
    // Largest depth first in every event; the screen is cleared once, just
    // before the first pre-draw event.
    std::vector<Drawn> expected = {{76, deep, 0, 1}, {76, shallow, 0, 1}};
    for (int view : {0, 2})
        for (int subtype : {72, 0, 73})
            for (int id : {deep, shallow}) expected.push_back({subtype, id, view, 1});
    for (int subtype : {77, 74, 64, 75})
        for (int id : {deep, shallow}) expected.push_back({subtype, id, 7, 1});
    EXPECT_EQ(Frame(), expected);
    EXPECT_EQ(Current_View, 0);
    EXPECT_EQ(g_col - g_clearsBefore, 1);
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    EXPECT_TRUE(GR_Surface_Exists(g_ApplicationSurface));
}

TEST_F(RoomDraw, WithoutPreDrawEventsTheClearComesBeforePostDraw) {
    GiveEvents(0, {kDrawEventDraw, kDrawEventPost});
    const int id = Add(0, 0)->i_id;
    DrawFrame();
    EXPECT_EQ(Frame(), (std::vector<Drawn>{{0, id, 0, 0}, {77, id, 0, 1}}));
    EXPECT_EQ(g_col - g_clearsBefore, 1);

    // The room's own colour clears every view as well; without the
    // application surface the frame does not clear the screen.
    Frame().clear();
    room_->m_showColour = true;
    g_AppSurfaceEnabled = false;
    DrawFrame();
    EXPECT_EQ(Frame(), (std::vector<Drawn>{{0, id, 0, 1}, {77, id, 0, 1}}));
    EXPECT_FALSE(GR_Surface_Exists(g_ApplicationSurface));
    EXPECT_EQ(g_ApplicationSurface, APPLICATION_SURFACE_NONE);
}

TEST_F(RoomDraw, ViewsEnabledWithNoneVisibleRunOnlyTheFrameEvents) {
    GiveAllEvents(0);
    Add(0, 0);
    room_->m_enableViews = true;
    g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    DrawFrame();
    EXPECT_EQ(Subtypes(), (std::vector<int>{76, 77, 74, 64, 75}));
    EXPECT_TRUE(std::isfinite(g_DisplayScaleX) && std::isfinite(g_DisplayScaleY));
    EXPECT_FLOAT_EQ(g_DisplayScaleX, 1.0f);
}

TEST_F(RoomDraw, InvisibleMarkedAndDeactivatedInstancesAreNotDrawn) {
    GiveEvents(0, {kDrawEventDraw});
    const int shown = Add(0, 0)->i_id;
    Add(0, 1)->i_visible = false;
    Add(0, 2)->i_marked = true;
    Add(0, 3)->i_deactivated = true;
    DrawFrame();
    EXPECT_EQ(Frame(), (std::vector<Drawn>{{0, shown, 0, 0}}));
}

TEST_F(RoomDraw, UnbalancedSurfaceStackIsReportedRepairedAndEndsTheFrame) {
    ErrorCapture errors;
    GiveEvents(0, {kDrawEventDraw, kDrawEventGUI});
    Add(0, 0);
    static int surface = -1;
    surface = GR_Surface_Create(8, 8, -1);
    ASSERT_GE(surface, 0);
    g_action = [](CInstance*, int subtype) {
        if (subtype == kDrawEventDraw) ZQVTL_surface_set_target(surface);
    };
    DrawFrame();
    EXPECT_TRUE(errors.ShownContains(kUnbalancedSurfaceStack));
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    EXPECT_EQ(Subtypes(), (std::vector<int>{0})) << "no GUI after the report";

    // The next frame is whole again.
    errors.Clear();
    Frame().clear();
    g_action = nullptr;
    DrawFrame();
    EXPECT_EQ(Subtypes(), (std::vector<int>{0, 64}));
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(RoomDraw, RoomWithLayersRunsEventsLayerByLayerUpToTheFirstDeactivatedInstance) {
    GiveEvents(0, {kDrawEventBegin, kDrawEventDraw});
    // Layers in ascending depth; the walk starts at the deepest.
    auto layer = [&](int depth) {
        CLayer* l = new CLayer();
        l->m_depth = depth;
        room_->m_Layers.PushBack(l);
        return l;
    };
    CLayer* front = layer(-10);
    CLayer* back = layer(10);
    std::vector<CLayerInstanceElement*> elements;
    auto place = [&](CLayer* l, CInstance* inst) {
        auto* e = new CLayerInstanceElement();
        e->m_pInstance = inst;
        e->m_instanceID = inst->i_id;
        l->m_elements.PushBack(e);
        elements.push_back(e);
    };
    CInstance* a = Add(0, 0);
    CInstance* b = Add(0, 0);
    CInstance* c = Add(0, 0);
    CInstance* d = Add(0, 0);
    place(front, a);
    place(back, b);
    place(back, c);
    place(back, d);
    c->i_deactivated = true;
    DrawFrame();
    // Draw begin walks the layers; the draw event itself belongs to the
    // layer drawing, which draws each instance element.
    std::vector<Drawn> begins;
    for (const Drawn& e : Frame())
        if (e.subtype == kDrawEventBegin) begins.push_back(e);
    EXPECT_EQ(begins, (std::vector<Drawn>{{72, b->i_id, 0, 0}, {72, a->i_id, 0, 0}}));
    for (CLayerInstanceElement* e : elements) e->m_pLayer = nullptr;
    for (CLayer* l : {front, back}) {
        while (CLayerElementBase* e = l->m_elements.m_pFirst) {
            l->m_elements.Unlink(e);
            delete static_cast<CLayerInstanceElement*>(e);
        }
        room_->m_Layers.Unlink(l);
        delete l;
    }
}

// What one draw-begin event saw: the room extents, the viewport size and
// the surface drawn into.
struct ViewSeen {
    int left, top, right, bottom;
    int viewportW, viewportH;
    int target;
    bool operator==(const ViewSeen& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom &&
               viewportW == o.viewportW && viewportH == o.viewportH && target == o.target;
    }
};

std::ostream& operator<<(std::ostream& out, const ViewSeen& v) {
    return out << "{(" << v.left << ", " << v.top << ", " << v.right << ", " << v.bottom << ") viewport "
               << v.viewportW << "x" << v.viewportH << " target " << v.target << "}";
}

std::vector<ViewSeen>& Seen() {
    static std::vector<ViewSeen> seen;
    return seen;
}

void SeeView(CInstance*, int subtype) {
    if (subtype != kDrawEventBegin) return;
    Seen().push_back({g_roomExtents[0], g_roomExtents[1], g_roomExtents[2], g_roomExtents[3], g_ViewPortW,
                      g_ViewPortH, currenttargets[0]});
}

TEST_F(RoomDraw, EachViewDrawsItsAreaAndASurfaceViewDrawsIntoItsSurface) {
    Seen().clear();
    GiveEvents(0, {kDrawEventBegin});
    Add(0, 0);
    room_->m_enableViews = true;
    Port(0, 0, 0, 16, 32);
    room_->m_views[0].xview = 100;
    room_->m_views[0].yview = 50;
    Port(1, 16, 0, 16, 32);
    const int surface = GR_Surface_Create(8, 8, -1);
    ASSERT_GE(surface, 0);
    room_->m_views[1].surface = surface;
    room_->m_views[1].xview = 0;
    g_action = SeeView;
    DrawFrame();
    // The view area's extents reach just under a pixel beyond it (truncated).
    EXPECT_EQ(Seen(), (std::vector<ViewSeen>{{99, 49, 116, 82, 16, 32, g_ApplicationSurface},
                                             {0, 0, 16, 32, 8, 8, surface}}));
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
}

TEST_F(RoomDraw, NewGenerationRoomWithoutViewsIsDrawnThroughTheDefaultCamera) {
    Seen().clear();
    g_isNimbar = true;
    CreateDefaultCamera();
    room_->m_width = 24;
    room_->m_height = 16;
    GiveEvents(0, {kDrawEventBegin});
    Add(0, 0);
    g_action = SeeView;
    DrawFrame();
    g_isNimbar = false;
    ASSERT_EQ(Seen().size(), 1u);
    EXPECT_EQ(Seen()[0], (ViewSeen{0, 0, 24, 16, kSize, kSize, g_ApplicationSurface}));
    const CCamera* camera = g_CM.GetCamera(g_DefaultCameraID);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(g_CM.GetActiveCamera(), camera) << "the post-draw and GUI pass point it at the device";
}

TEST_F(RoomDraw, ApplicationSurfaceIsMadeResizedFreedAndMadeAgainAtItsOldSize) {
    DrawFrame();
    ASSERT_TRUE(GR_Surface_Exists(g_ApplicationSurface));
    EXPECT_EQ(GR_Surface_Get_Width(g_ApplicationSurface), kSize);
    EXPECT_EQ(wind_regionwidth, kSize);

    g_NewApplicationSize = true;
    g_NewApplicationWidth = 16;
    g_NewApplicationHeight = 8;
    DrawFrame();
    EXPECT_FALSE(g_NewApplicationSize);
    EXPECT_EQ(g_ApplicationWidth, 16);
    EXPECT_EQ(GR_Surface_Get_Height(g_ApplicationSurface), 8);

    g_AppSurfaceEnabled = false;
    DrawFrame();
    EXPECT_EQ(g_ApplicationSurface, APPLICATION_SURFACE_NONE);
    EXPECT_EQ(g_ApplicationWidth, kSize) << "the device's size without the surface";
    EXPECT_FALSE(g_bUsingAppSurface);

    g_AppSurfaceEnabled = true;
    DrawFrame();
    ASSERT_TRUE(GR_Surface_Exists(g_ApplicationSurface));
    EXPECT_EQ(g_ApplicationWidth, 16);
    EXPECT_EQ(g_ApplicationHeight, 8);
    EXPECT_EQ(wind_regionheight, 8);
}

} // namespace
