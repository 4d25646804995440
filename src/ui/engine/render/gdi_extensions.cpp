#include "ui/engine/render/gdi_extensions.h"

#include "util/system_library.h"

namespace TarselUI {

namespace {

struct LookedUp {
    AlphaBlendFunction alphaBlend = nullptr;
    GradientFillFunction gradientFill = nullptr;
};

const LookedUp& RealFunctions() {
    // The module stays loaded for the life of the process, like any DLL the
    // executable imports. Only the system's: never one beside the program.
    static const LookedUp functions = [] {
        LookedUp found;
        if (HMODULE module = Util::LoadSystemLibrary(L"msimg32.dll")) {
            found.alphaBlend = reinterpret_cast<AlphaBlendFunction>(
                reinterpret_cast<void*>(::GetProcAddress(module, "AlphaBlend")));
            found.gradientFill = reinterpret_cast<GradientFillFunction>(
                reinterpret_cast<void*>(::GetProcAddress(module, "GradientFill")));
        }
        return found;
    }();
    return functions;
}

bool g_overridden = false;
LookedUp g_override;

}  // namespace

AlphaBlendFunction GetAlphaBlend() {
    return g_overridden ? g_override.alphaBlend : RealFunctions().alphaBlend;
}

GradientFillFunction GetGradientFill() {
    return g_overridden ? g_override.gradientFill : RealFunctions().gradientFill;
}

void OverrideGdiExtensionsForTesting(bool useReal, AlphaBlendFunction alphaBlend,
                                     GradientFillFunction gradientFill) {
    g_overridden = !useReal;
    g_override.alphaBlend = alphaBlend;
    g_override.gradientFill = gradientFill;
}

}  // namespace TarselUI
