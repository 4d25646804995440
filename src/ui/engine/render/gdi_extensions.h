#pragma once
// Alpha blending and gradient fills live in msimg32, which not every
// target has; the engine looks them up once, at first use, and falls back
// when they are missing.

#include <windows.h>

namespace TarselUI {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// Null when the platform lacks the operation.
AlphaBlendFunction GetAlphaBlend();
GradientFillFunction GetGradientFill();

// Lets tests take the fallback paths; restores the looked-up operations
// when called with `useReal` true.
void OverrideGdiExtensionsForTesting(bool useReal, AlphaBlendFunction alphaBlend,
                                     GradientFillFunction gradientFill);

}  // namespace TarselUI
