#pragma once
// The shadow picture lives in the engine, which draws its own shadow too;
// the window shadow and its tests keep reaching it by this name.

#include "ui/engine/render/shadow_bitmap.h"
