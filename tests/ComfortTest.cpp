// Played on any keyboard layout or with a gamepad, paused while the player is away, with the
// player's settings kept from one game to the next and changed on the options panel.
#include "support/InGameWindow.h"
#include "support/GameFolder.h"
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "app/Input.h"
#include "app/Options.h"
#include "play/PlayerInput.h"
#include "render/Overlay.h"
#include "world/Train.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using ComfortTest = InGameWindow<PlayingFixture>;

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

// Keys act by their place on the keyboard (see InputTest); the panel names them by their labels.
TEST_F(ComfortTest, ThePanelNamesTheKeysAsTheLayoutShowsThem)
{
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
    const glm::vec3 trainAt = train->getPosition(), looking = gameState.camera->syncViewDirection();
    gameRenderer().renderFrame(gameFrameView());
    OverlayView unpaused = gameOverlayView();
    unpaused.paused = false;
    gameOverlay().drawOverGame(unpaused);
    const std::vector<std::uint8_t> running = readFrame(gameRenderer().frameTarget());
    pushMouseMotion(200, 0);
    ticks(200);
    EXPECT_EQ(train->getPosition(), trainAt);
    EXPECT_EQ(gameState.camera->syncViewDirection(), looking);
    EXPECT_EQ(linesOnScreen().size(), shown);
    gameRenderer().renderFrame(gameFrameView());
    gameOverlay().drawOverGame(gameOverlayView());
    EXPECT_GT(compareFrames(running, readFrame(gameRenderer().frameTarget()), 0, {300, 300, 500, 450}).differing, 300u)
        << "it says it is paused";

    // Back in the window, still paused by hand; P goes on, and the pointer's jump is no look.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    tick();
    EXPECT_EQ(train->getPosition(), trainAt);
    pushKey(SDLK_p);
    pushMouseMotion(200, 0);
    ticks(2);
    EXPECT_EQ(gameState.camera->syncViewDirection(), looking);
    EXPECT_NEAR(glm::distance(train->getPosition(), trainAt), 2.0f, 1e-3f);
    ticks(60);
    EXPECT_FALSE(linesOnScreen().empty()) << "less than three seconds of game time have passed";
    ticks(70);
    EXPECT_TRUE(linesOnScreen().empty());
}

TEST_F(ComfortTest, SettingsAreKeptWholeInTheirFileAndOneThatCannotAllBeReadSaysSoOnceAndGivesTheDefaults)
{
    const ScratchFolder config(std::filesystem::temp_directory_path());
    setenv("XDG_CONFIG_HOME", config.path.c_str(), 1);
    const std::optional<SettingsFile> file = SettingsFile::ofPlayer();
    ASSERT_EQ(file->path(), config.path / "marrowdeep" / "settings.ini");
    // A file in the game's settings folder, what standard error says of it, and the volume and
    // field of view the game takes: the defaults (100, 60) for what it cannot read.
    struct Case {
        const char* file;
        const char* text;
        long errorLines;
        float volume, fieldOfView;
    } cases[] = {
        {"other.ini", "volume = 50\n", 0, 100, 60},
        {"settings.ini", "volume = 50\n# mine\nfield_of_view = 80\nshadows = ultra\n", 0, 50, 80},
        {"settings.ini", "volume = 50\nfield_of_view = 8", 1, 50, 60},
        {"settings.ini", "volume = 500\nfield_of_view = 80\nvolume = loud\nsound\n", 1, 100, 80},
        {"settings.ini", "\x89PNG\r\n\x1a\n", 1, 100, 60},
        {"settings.ini/within", "volume = 50\n", 1, 100, 60},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(config.path / "marrowdeep");
        config.write(std::string("marrowdeep/") + c.file, c.text);
        ::testing::internal::CaptureStderr();
        useSettings(file);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.errorLines) << c.text << errors;
        EXPECT_EQ(playerSettings().value(Setting::Volume), c.volume) << c.text;
        EXPECT_EQ(playerSettings().value(Setting::FieldOfView), c.fieldOfView) << c.text;
    }

    // Kept at once, by the key and by the panel alike; a change replaces the file, never writes into it.
    std::filesystem::remove_all(config.path / "marrowdeep");
    useSettings(file);
    pushKey(SDLK_MINUS);
    tick();
    const std::string first = readWhole(file->path());
    std::filesystem::create_hard_link(file->path(), config.path / "first");
    for (SDL_Keycode key : {SDLK_o, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_LEFT, SDLK_o})
        pushKey(key);
    tick();
    EXPECT_FALSE(isPaused());
    EXPECT_EQ(readWhole(config.path / "first"), first);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config.path / "marrowdeep"), {}), 1);
    const PlayerSettings kept = playerSettings();
    EXPECT_FALSE(kept == PlayerSettings());
    useSettings(file);
    EXPECT_TRUE(playerSettings() == kept);

    setenv("XDG_CONFIG_HOME", "", 1);
    unsetenv("HOME");
    EXPECT_FALSE(SettingsFile::ofPlayer()) << "without a home nothing is kept";
}

TEST_F(ComfortTest, OnTheOptionsPanelTheBrightnessAndTheFieldOfViewChangeThePictureAtOnceAndEscapeClosesIt)
{
    rest();
    const Frame before{WINDOW_WIDTH, WINDOW_HEIGHT, drawnFrame()};
    pushKey(SDLK_o);
    tick();
    EXPECT_TRUE(isPaused());
    int line = 0;
    for (auto [setting, steps] : {std::pair{Setting::FieldOfView, 4}, std::pair{Setting::Brightness, 5}}) {
        for (; line < static_cast<int>(setting); ++line)
            pushKey(SDLK_DOWN);
        for (int i = 0; i < steps; ++i)
            pushKey(SDLK_RIGHT);
        tick();
        const Frame changed{WINDOW_WIDTH, WINDOW_HEIGHT, drawnFrame()};
        EXPECT_GT(compareFrames(before.rgba, changed.rgba, 8).differing, 50000u);
        if (setting == Setting::Brightness) {
            EXPECT_GT(changed.brightness(WHOLE_WINDOW), before.brightness(WHOLE_WINDOW) + 10);
        }
        for (int i = 0; i < steps; ++i)
            pushKey(SDLK_LEFT);
        tick();
        EXPECT_EQ(compareFrames(before.rgba, drawnFrame()).differing, 0u) << "the picture as it was";
    }
    pushKey(SDLK_ESCAPE);
    EXPECT_FALSE(tick());
    EXPECT_FALSE(isPaused());
}

TEST_F(ComfortTest, AGamepadPluggedInWhilePlayingWalksClicksThroughADoorSwitchesTheViewLooksAndMayGoAgain)
{
    // The test's window is hidden, never in focus, where SDL would hold a gamepad's events back.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_VirtualJoystickDesc description{};
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    description.naxes = SDL_CONTROLLER_AXIS_MAX;
    description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int device = SDL_JoystickAttachVirtualEx(&description);
    SDL_Joystick* pad = SDL_JoystickOpen(device);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    rest();
    auto hold = [&](SDL_GameControllerAxis axis, Sint16 value, int count) {
        SDL_JoystickSetVirtualAxis(pad, axis, value);
        ticks(count);
    };
    const float startX = gameState.camera->syncPosition().x;
    hold(SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MIN, 4);
    hold(SDL_CONTROLLER_AXIS_LEFTY, 0, 1);
    EXPECT_NEAR(gameState.camera->syncPosition().x, startX + 4, 0.1f) << "four ticks forward, as W walks";

    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 1);
    tick();
    EXPECT_FALSE(gameState.realityView);
    play(Route("aim").aim(doorCentre(0, 0), "look at the door that the glasses show"));
    hold(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MAX, 1);
    hold(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0, 1);
    EXPECT_EQ(gameState.currentTunnel, tunnel(1));

    changeSetting(Setting::InvertMouse, 1);
    const float tilt = gameState.camera->syncViewDirection().y;
    hold(SDL_CONTROLLER_AXIS_RIGHTY, SDL_JOYSTICK_AXIS_MAX, 1);
    hold(SDL_CONTROLLER_AXIS_RIGHTY, 0, 1);
    EXPECT_GT(gameState.camera->syncViewDirection().y, tilt + 0.05f) << "inverted, the stick pushed down looks up";

    rest();
    hold(SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MIN, 1);
    const glm::vec3 unplugged = gameState.camera->syncPosition();
    SDL_JoystickDetachVirtual(device);
    SDL_JoystickClose(pad);
    EXPECT_FALSE(tick());
    rest(5);
    EXPECT_NEAR(glm::distance(gameState.camera->syncPosition(), unplugged), 0.0f, 0.1f) << "gone, it holds no key";
}
