#include "app/RenderSettings.h"

RenderSettings renderSettings;
