#pragma once

#include "support/LevelFixture.h"

#include "game/PlayerMessages.h"
#include "play/Route.h"
#include "play/Routes.h"
#include "physics/Camera.h"

#include <sstream>
#include <string>
#include <vector>

// A built level played as a player does: short routes of looks, clicks and walks, and the
// debug jump between tunnels (a real key of the game) to reach a puzzle quickly.
class PlayingFixture : public LevelFixture {
protected:
    // Plays the steps as far as they can be done, reporting each step as it begins.
    Route::Outcome playRoute(const Route& route, std::ostream& report)
    {
        Route::Controls controls;
        controls.keyboard = keys.data();
        controls.tick = [this] { return tick(); };
        controls.report = &report;
        return route.play(controls);
    }

    // Plays the steps and fails the test at the first one that cannot be done.
    void play(const Route& route)
    {
        std::ostringstream report;
        ASSERT_EQ(playRoute(route, report).failure, "") << report.str();
    }

    // Presses TAB until the debug jump has landed in tunnel n, then lets one tick pass.
    void jumpTo(int tunnel)
    {
        int presses = (tunnel - gameState.debugTunnelIndex + TUNNEL_COUNT) % TUNNEL_COUNT + 1;
        for (int i = 0; i < presses; ++i)
            pushKey(SDLK_TAB);
        tick();
    }

    // Lets the player come to rest. Each tick is followed, as a drawn frame is, by reading the
    // eye back from the character body.
    void rest(int count = 40)
    {
        for (int i = 0; i < count; ++i) {
            tick();
            gameState.camera->syncPosition();
        }
    }

    void lookAndClick(Route::Target target) { play(Route("look and click").aim(target, "look").click("click")); }

    void clickDoor(int tunnel, int door) { lookAndClick(doorCentre(tunnel, door)); }

    // The start click, in the reality view: the first train starts in tunnel 11, where the door leads.
    void startTrains()
    {
        jumpTo(3);
        clickDoor(3, 2);
        ASSERT_TRUE(gameState.inTunnel(11));
    }

    // Clicks the switch of tunnel 5, 7 or 9 (back plate 0, 1 or 2) and returns its console line.
    std::string clickSwitch(int tunnel)
    {
        jumpTo(tunnel);
        ::testing::internal::CaptureStdout();
        lookAndClick(objectCentre([tunnel] { return gameState.switchBacks[(tunnel - 5) / 2]; }));
        return ::testing::internal::GetCapturedStdout();
    }

    // The player's messages on screen now, oldest first.
    static std::vector<std::string> linesOnScreen()
    {
        std::vector<std::string> lines;
        gameState.messages.forEachShown(gameState.now(), [&lines](const std::string& line, float) { lines.push_back(line); });
        return lines;
    }

    // Runs ticks with standard output captured and returns what was written.
    std::string ticksWithOutput(int count)
    {
        ::testing::internal::CaptureStdout();
        ticks(count);
        return ::testing::internal::GetCapturedStdout();
    }
};
