#pragma once

#include "game/GameState.h"
#include "game/Level.h"
#include "game/TickInput.h"
#include "level/Tunnel.h"
#include "play/ManualClock.h"
#include "play/PlayerInput.h"
#include "world/Door.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

// The physics world and the whole level as the game builds them at start, without a window; the
// clock and the keyboard are the test's, and each tick plays the keys, looks and clicks pushed
// since the last.
class LevelFixture : public ::testing::Test {
protected:
    void SetUp() override { startGame(); }
    // Released as the game releases them at shutdown; the tunnels live until the process ends.
    void TearDown() override { releaseLevel(); }

    static Tunnel* tunnel(int index) { return gameState.tunnels[index]; }
    static Door* door(int tunnelIndex, int doorIndex) { return tunnel(tunnelIndex)->getDoors().at(doorIndex); }
    // Runs one tick of the game, as the main loop does; the clock moves a tick first. Returns the
    // tick's quit answer.
    bool tick()
    {
        clock.advance(SKIP_TICKS_MS);
        return playOneTick();
    }
    void ticks(int count);
    // What a fixture adds to every tick, after its rules and before the physics step.
    virtual void afterTick() {}

    virtual void startGame();
    virtual bool playOneTick();

    ManualClock clock{1000};
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};

private:
    TickInput input;
};
