// Played on any keyboard layout, and paused while the player is away.
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "app/Input.h"
#include "render/Overlay.h"
#include "world/Train.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ComfortTest = PlayingFixture;

// A French keyboard: A and Q, W and Z change places.
SDL_Keycode azerty(SDL_Scancode place)
{
    const std::pair<SDL_Scancode, SDL_Keycode> moved[] = {{SDL_SCANCODE_Q, SDLK_a},
                                                          {SDL_SCANCODE_A, SDLK_q},
                                                          {SDL_SCANCODE_W, SDLK_z},
                                                          {SDL_SCANCODE_Z, SDLK_w}};
    for (auto [at, key] : moved)
        if (at == place)
            return key;
    return SDL_GetKeyFromScancode(place);
}

std::string keysFor(const std::vector<ControlsRow>& rows, const std::string& action)
{
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const ControlsRow& r) { return r.action == action; });
    return row == rows.end() ? "" : row->keys;
}

} // namespace

TEST_F(ComfortTest, KeysActByTheirPlaceAndThePanelNamesThemAsTheLayoutShowsThem)
{
    rest();
    // On AZERTY the key at A's place is labelled Q: it steps left and does not end the game.
    const float startZ = camera->syncPosition().z;
    pushKeyAt(SDL_SCANCODE_A, SDLK_q);
    keys[SDL_SCANCODE_A] = 1;
    EXPECT_FALSE(tick());
    ticks(3);
    keys[SDL_SCANCODE_A] = 0;
    EXPECT_NEAR(camera->syncPosition().z, startZ - 4, 0.1f);
    pushKeyAt(SDL_SCANCODE_Q, SDLK_a);
    EXPECT_TRUE(tick());

    const std::vector<ControlsRow> french = controlsTable(azerty), own = controlsTable();
    EXPECT_EQ(keysFor(french, "walk forward, walk backwards"), "Z, S");
    EXPECT_EQ(keysFor(french, "end the game"), "Esc, A");
    EXPECT_EQ(keysFor(own, "walk forward, walk backwards"), "W, S");
    EXPECT_EQ(keysFor(own, "end the game"), "Esc, Q");
}

TEST_F(ComfortTest, AwayFromTheWindowOrOnPTheGameStandsStillIgnoresClicksAndLooksAndGoesOnFromTheSameTick)
{
    jumpTo(3);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    clickDoor(3, 2); // the door that starts the trains
    EXPECT_TRUE(gameState.inTunnel(3) && !gameState.trainsStarted);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    clickDoor(3, 2);
    ASSERT_TRUE(gameState.inTunnel(11));
    const Train* train = tunnel(11)->getTrain();
    rest();
    pushKey(SDLK_F9); // a message for three seconds of game time
    tick();
    const std::size_t shown = linesOnScreen().size();

    pushKey(SDLK_p);
    tick();
    const glm::vec3 trainAt = train->getPosition(), looking = camera->syncViewDirection();
    renderFrame(gameFrameView());
    overlay->drawOverGame(playerMessages, gameState.now(), false);
    const std::vector<std::uint8_t> running = readFrame();
    pushMouseMotion(200, 0);
    ticks(200);
    EXPECT_EQ(train->getPosition(), trainAt);
    EXPECT_EQ(camera->syncViewDirection(), looking);
    EXPECT_EQ(linesOnScreen().size(), shown);
    renderFrame(gameFrameView());
    overlay->drawOverGame(playerMessages, gameState.now(), false, true);
    EXPECT_GT(compareFrames(running, readFrame(), 0, {300, 300, 500, 450}).differing, 300u) << "it says it is paused";

    // Back in the window, still paused by hand; P goes on, and the pointer's jump is no look.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    tick();
    EXPECT_EQ(train->getPosition(), trainAt);
    pushKey(SDLK_p);
    pushMouseMotion(200, 0);
    ticks(2);
    EXPECT_EQ(camera->syncViewDirection(), looking);
    EXPECT_NEAR(glm::distance(train->getPosition(), trainAt), 2.0f, 1e-3f);
    ticks(60);
    EXPECT_FALSE(linesOnScreen().empty()) << "less than three seconds of game time have passed";
    ticks(70);
    EXPECT_TRUE(linesOnScreen().empty());
}
