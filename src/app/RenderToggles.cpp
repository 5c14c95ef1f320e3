#include "app/RenderToggles.h"

RenderSettings renderSettings;
