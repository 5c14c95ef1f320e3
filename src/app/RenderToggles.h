#pragma once

#include "render/RenderSettings.h"

// The render toggles of this run: the F-keys change them, every frame hands them to the renderer.
extern RenderSettings renderSettings;
