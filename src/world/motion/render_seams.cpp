// Answers for the renderer calls of the world module while there is no
// renderer: each accepts its call and draws nothing.
#include "world/motion/render_services.h"

void GR_Draw_Primitive_Begin(int, long) {}
void GR_Draw_Vertex(float, float) {}
void GR_Draw_Primitive_End() {}
