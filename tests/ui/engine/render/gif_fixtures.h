#pragma once
// The pictures and archives tests/ui/engine/render/make_gif_fixtures.py
// writes into the build tree before the animated-image and oversized-entry
// tests run.

#include <string>

#include "support/test_paths.h"

namespace giftest {

// The fixture folder in directory form, as Wine shows it.
inline std::wstring FixtureDir() { return testsupport::BuildDir() + L"tests\\ui\\engine\\render\\gif_fixtures\\"; }

}  // namespace giftest
