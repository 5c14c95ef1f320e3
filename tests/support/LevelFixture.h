#pragma once

#include "play/ManualClock.h"
#include "game/GameState.h"
#include "level/Tunnel.h"
#include "play/PlayerInput.h"
#include "support/RenderFixture.h"
#include "world/Door.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

// The game's hidden window with the physics world, the whole level and the three shader programs
// and shadow maps, as the game has them at start; the clock and the keyboard are the test's.
class LevelFixture : public RenderFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    static Tunnel* tunnel(int index) { return gameState.tunnels[index]; }
    static Door* door(int tunnelIndex, int doorIndex) { return tunnel(tunnelIndex)->getDoors().at(doorIndex); }
    // Runs one tick of the game over the input pumped, as the main loop does; the clock moves a
    // tick first. Returns the tick's quit answer.
    bool tick();
    void ticks(int count);
    // What a fixture adds to every tick, after its rules and before the physics step.
    virtual void afterTick() {}

    ManualClock clock{1000};
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};
};
