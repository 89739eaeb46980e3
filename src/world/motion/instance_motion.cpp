// Instance motion: position, image scale and angle, the two forms of the
// motion vector (hspeed/vspeed and direction/speed) kept in step, friction
// and gravity, and following a path with its four end actions.
#include <cmath>

#include "world/instances/instance.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"

namespace {

// Degrees to radians and back, in the single precision the motion uses.
constexpr float kDegToRad = 0.017453292f;
constexpr double kRadToDeg = 57.29578;

// A value less than 0.0001 from its nearest integer becomes that integer,
// so motion computed through sines and cosines lands on whole numbers.
inline double Snap(double v) {
    const double r = std::nearbyint(v);
    return std::fabs(v - r) < 0.0001 ? r : v;
}

// Any angle into [0, 360). A remainder ends for every value (a loop adding or
// subtracting 360 never ends on huge or infinite angles); non-finite angles
// give NaN, as a NaN angle always did.
inline float WrapDegrees(double d) {
    double r = std::fmod(d, 360.0);
    if (r < 0.0) r += 360.0;
    // A tiny negative remainder plus 360 may round to 360 in single precision.
    return std::fmod(static_cast<float>(r), 360.0f);
}

} // namespace

void CInstance::SetPosition(float x, float y) {
    if (x == i_x && y == i_y) return;
    i_x = x;
    i_y = y;
    CollisionMarkDirty();
}

void CInstance::SetImageScaleX(float v) {
    if (v == i_imagescalex) return;
    i_imagescalex = v;
    CollisionMarkDirty();
}

void CInstance::SetImageScaleY(float v) {
    if (v == i_imagescaley) return;
    i_imagescaley = v;
    CollisionMarkDirty();
}

void CInstance::SetImageAngle(float v) {
    if (v == i_imageangle) return;
    i_imageangle = v;
    CollisionMarkDirty();
}

// Direction grows anticlockwise with y pointing down, so the vertical
// component is negated.
void CInstance::Compute_Speed1() {
    const double h = i_hspeed;
    const double v = i_vspeed;
    double direction;
    if (h == 0.0) {
        direction = v > 0.0 ? 270.0 : (v < 0.0 ? 90.0 : 0.0);
    } else {
        const double d = std::atan2(v, h) * kRadToDeg;
        direction = d > 0.0 ? 360.0 - d : -d;
    }
    // In [0, 360] here, so the remainder by 360 only turns 360 into 0.
    direction = Snap(direction);
    i_direction = static_cast<float>(direction >= 360.0 ? direction - 360.0 : direction);
    i_speed = static_cast<float>(Snap(std::sqrt(h * h + v * v)));
    CollisionMarkDirty();
}

void CInstance::Compute_Speed2() {
    const double radians = i_direction * kDegToRad;
    i_hspeed = static_cast<float>(Snap(std::cos(radians) * i_speed));
    i_vspeed = static_cast<float>(Snap(-std::sin(radians) * i_speed));
    CollisionMarkDirty();
}

void CInstance::SetDirection(float d) {
    i_direction = WrapDegrees(d);
    Compute_Speed2();
}

void CInstance::SetSpeed(float s) {
    if (s == i_speed) return;
    i_speed = s;
    Compute_Speed2();
}

void CInstance::SetHspeed(float v) {
    if (v == i_hspeed) return;
    i_hspeed = v;
    Compute_Speed1();
}

void CInstance::SetVspeed(float v) {
    if (v == i_vspeed) return;
    i_vspeed = v;
    Compute_Speed1();
}

void CInstance::AddTo_Speed(float direction, float amount) {
    const double radians = direction * kDegToRad;
    i_hspeed = static_cast<float>(i_hspeed + std::cos(radians) * amount);
    i_vspeed = static_cast<float>(i_vspeed - std::sin(radians) * amount);
    Compute_Speed1();
}

// Friction pulls the speed toward 0 but never through it (a negative
// friction accelerates); gravity then adds its vector.
void CInstance::Adapt_Speed() {
    if (i_friction != 0.0f && i_speed != 0.0f) {
        const float s = i_speed;
        const float c = s > 0.0f ? s - i_friction : s + i_friction;
        if ((s > 0.0f && c < 0.0f) || (s < 0.0f && c > 0.0f)) {
            i_speed = i_hspeed = i_vspeed = 0.0f;
            CollisionMarkDirty();
        } else if (c != s) {
            i_speed = c;
            Compute_Speed2();
        }
    }
    if (i_gravity != 0.0f) {
        const double radians = i_gravitydir * kDegToRad;
        i_hspeed = static_cast<float>(i_hspeed + std::cos(radians) * i_gravity);
        i_vspeed = static_cast<float>(i_vspeed - std::sin(radians) * i_gravity);
        Compute_Speed1();
    }
}

void CInstance::SetPathPosition(float p) {
    i_pathposition = p < 0.0f ? 0.0f : (p > 1.0f ? 1.0f : p);
}

void CInstance::SetPathPositionPrevious(float p) {
    i_pathpositionprevious = p < 0.0f ? 0.0f : (p > 1.0f ? 1.0f : p);
}

void CInstance::Assign_Path(int path, float speed, float scale, float orientation, bool relative,
                            int endAction) {
    i_pathindex = path;
    if (path < 0) return;
    const CPath* data = Path_Data(path);
    if (data == nullptr || !(data->GetPathLength() > 0.0f)) {
        i_pathindex = -1;
        return;
    }
    i_pathspeed = speed;
    i_pathposition = i_pathpositionprevious = speed < 0.0f ? 1.0f : 0.0f;
    i_pathscale = scale;
    if (scale < 0.0f) {
        i_pathindex = -1;
        return;
    }
    i_pathorientation = orientation;
    i_pathend = endAction;
    if (relative) {
        i_pathxstart = i_x;
        i_pathystart = i_y;
    } else {
        const float at = speed < 0.0f ? 1.0f : 0.0f;
        SetPosition(data->XPosition(at), data->YPosition(at));
        i_pathxstart = data->XPosition(0.0f);
        i_pathystart = data->YPosition(0.0f);
    }
}

// One step along the path. The position advances by the point speed (a
// percentage) times the path speed over the scaled length. A scale of 0
// makes the path a single point whose scaled length is 0: like a path of
// length 0 it moves nothing (the division would make the position infinite).
bool CInstance::Adapt_Path() {
    if (i_pathindex < 0) return false;
    const CPath* path = Path_Data(i_pathindex);
    if (path == nullptr) return false;
    const float length = path->GetPathLength();
    const float divisor = i_pathscale * 100.0f;
    if (!(length > 0.0f) || divisor == 0.0f) return false;

    const float o = i_pathorientation * kDegToRad;
    const float so = std::sin(o);
    const float co = std::cos(o);
    const float scale = i_pathscale;
    const float pointSpeed = path->Speed(i_pathposition);
    i_pathposition += (pointSpeed / divisor) * i_pathspeed / length;

    bool ended = false;
    if (!(i_pathposition > 0.0f && i_pathposition < 1.0f)) {
        ended = i_pathspeed != 0.0f;
        switch (i_pathend) {
            case 1: // restart
                i_pathposition += i_pathposition >= 0.0f ? -1.0f : 1.0f;
                break;
            case 2: { // continue from the end point
                const float dx = path->XPosition(1.0f) - path->XPosition(0.0f);
                const float dy = path->YPosition(1.0f) - path->YPosition(0.0f);
                const float mx = (so * dy + co * dx) * scale;
                const float my = (co * dy - so * dx) * scale;
                if (i_pathposition < 0.0f) {
                    i_pathxstart -= mx;
                    i_pathystart -= my;
                    i_pathposition += 1.0f;
                } else {
                    i_pathxstart += mx;
                    i_pathystart += my;
                    i_pathposition -= 1.0f;
                }
                break;
            }
            case 3: // reverse
                if (i_pathposition >= 0.0f) {
                    i_pathposition = 2.0f - i_pathposition;
                    i_pathspeed = -std::fabs(i_pathspeed);
                } else {
                    i_pathposition = -i_pathposition;
                    i_pathspeed = std::fabs(i_pathspeed);
                }
                break;
            case 0: // stop
                if (i_pathspeed > 0.0f) {
                    i_pathposition = 1.0f;
                    i_pathindex = -1;
                } else if (i_pathspeed < 0.0f) {
                    i_pathposition = 0.0f;
                    i_pathindex = -1;
                }
                break;
            default:
                i_pathposition = 1.0f;
                i_pathindex = -1;
                break;
        }
    }

    const float px = path->XPosition(i_pathposition) - path->XPosition(0.0f);
    const float py = path->YPosition(i_pathposition) - path->YPosition(0.0f);
    const float nx = (so * py + co * px) * scale + i_pathxstart;
    const float ny = (co * py - so * px) * scale + i_pathystart;
    if (nx - i_x != i_hspeed) {
        i_hspeed = nx - i_x;
        Compute_Speed1();
    }
    if (ny - i_y != i_vspeed) {
        i_vspeed = ny - i_y;
        Compute_Speed1();
    }
    // The direction keeps showing the path motion; the speed stays 0 so the
    // step's own motion does not move the instance a second time.
    if (i_speed != 0.0f) {
        i_speed = i_hspeed = i_vspeed = 0.0f;
        CollisionMarkDirty();
    }
    SetPosition(nx, ny);
    return ended;
}
