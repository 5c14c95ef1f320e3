#pragma once

#include "app/Application.h"

#include <SDL.h>
#include <gtest/gtest.h>

// The game's own window and OpenGL context, hidden: what a test draws in is what the player's
// game draws in. It stays up until the process ends (each test case has its own process), so the
// graphics driver stays loaded and the sanitized build's leak checker can still name its memory.
class RenderFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(initWindow(false)) << SDL_GetError(); }
};
