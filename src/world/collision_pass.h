// The collision pass of the step: collision events between instances whose
// objects have them, with solid instances moved back.
#pragma once

void HandleCollision();
