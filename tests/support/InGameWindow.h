#pragma once

#include "app/Application.h"
#include "app/Input.h"

#include <SDL.h>
#include <gtest/gtest.h>

// A level fixture in the game's own window and OpenGL context, hidden, started as the game starts
// (shader programs, shadow maps, overlay) and ticked through the game's input pump: what a test
// draws in is what the player's game draws in. The window stays up until the process ends (each
// test case has its own process), so the graphics driver stays loaded and the sanitized build's
// leak checker can still name its memory.
template <typename Fixture> class InGameWindow : public Fixture {
protected:
    void startGame() override
    {
        ASSERT_TRUE(initWindow(false)) << SDL_GetError();
        startUp(this->clock);
        readHeldKeysFrom(this->keys.data());
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    bool playOneTick() override
    {
        return playTick([this] { this->afterTick(); });
    }

    // Released as the game releases them at shutdown; tunnels and level objects live until the
    // process ends, as in the game.
    void TearDown() override { releaseGame(); }
};
