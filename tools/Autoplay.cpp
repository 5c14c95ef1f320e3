// The game plays itself: the real start-up, main loop, physics and frames, driven only by a
// player's input along one of the routes through the level. A clock that moves exactly 40 ms
// per tick makes every run the same. Screenshots of every step and of the end screen, and a
// contact sheet of them all, go to the output folder, with everything the player heard
// (route.wav). To hear the route, the game is held to the pace of its sound: a tick runs only
// after the previous tick's 40 ms have been mixed, so a route takes as long as it would to play.
// Usage: marrowdeep-autoplay [door1|door2|train] [output folder]   (run from the game folder)
#include "app/Application.h"
#include "app/Input.h"
#include "app/MainLoop.h"
#include "game/GameState.h"
#include "play/ManualClock.h"
#include "play/Route.h"
#include "play/Routes.h"
#include "render/Renderer.h"
#include "render/Screenshot.h"
#include "sound/GameSound.h"

#include "SoundRecorder.h"

#include <SDL_image.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Frames are drawn every few ticks: the game advances as in a real run, the software renderer
// is spared four frames in five. Every step's screenshot is drawn fresh.
constexpr int TICKS_PER_DRAWN_FRAME = 5;
constexpr int THUMBNAIL_WIDTH = 200;
constexpr int THUMBNAIL_HEIGHT = 150;
constexpr int SHEET_COLUMNS = 6;
// The end screen's jingle is heard for this many ticks' worth of sound before the recording ends.
constexpr int END_SCREEN_TICKS = 60;

bool expectedEndingReached(const std::string& route)
{
    return route == "train" ? gameState.lost : gameState.won;
}

std::string stepFileName(int step)
{
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "step-%03d.png", step);
    return name.data();
}

std::uint32_t drawAndSwap()
{
    const std::uint32_t triangles = drawGameFrame();
    SDL_GL_SwapWindow(gameWindow());
    return triangles;
}

// One PNG of small pictures of all the screenshots, in order.
void writeContactSheet(const std::vector<fs::path>& shots, const fs::path& sheetPath)
{
    if (shots.empty())
        return;
    int rows = static_cast<int>((shots.size() + SHEET_COLUMNS - 1) / SHEET_COLUMNS);
    SDL_Surface* sheet = SDL_CreateRGBSurfaceWithFormat(0, SHEET_COLUMNS * THUMBNAIL_WIDTH, rows * THUMBNAIL_HEIGHT,
                                                        32, SDL_PIXELFORMAT_ABGR8888);
    if (!sheet)
        return;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        SDL_Surface* shot = IMG_Load(shots[i].c_str());
        if (!shot)
            continue;
        SDL_Rect place{static_cast<int>(i % SHEET_COLUMNS) * THUMBNAIL_WIDTH,
                       static_cast<int>(i / SHEET_COLUMNS) * THUMBNAIL_HEIGHT, THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT};
        SDL_BlitScaled(shot, nullptr, sheet, &place);
        SDL_FreeSurface(shot);
    }
    IMG_SavePNG(sheet, sheetPath.c_str());
    SDL_FreeSurface(sheet);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string routeName = argc > 1 ? argv[1] : "door2";
    Route route = routeNamed(routeName);
    if (route.stepCount() == 0) {
        std::cerr << "usage: marrowdeep-autoplay [door1|door2|train] [output folder]" << std::endl;
        return 2;
    }
    const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("autoplay") / routeName;
    fs::create_directories(folder);

    if (!initWindow()) {
        std::cerr << "Failed to initialize!" << std::endl;
        shutdown();
        return 1;
    }
    // Without a sound card the route is heard through SDL's disk driver; only the recording is kept.
    SDL_setenv("SDL_AUDIODRIVER", "disk", 0);
    SDL_setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    startSound();
    SoundRecorder recorder;
    ManualClock clock;
    startUp(clock);
    std::vector<Uint8> keys(SDL_NUM_SCANCODES, 0);
    readHeldKeysFrom(keys.data());

    int frame = 0;
    std::uint32_t triangles = 0; // of the last frame drawn
    MainLoop loop(clock, {[] { return playTick(); }, [&frame, &triangles] {
                              if (++frame % TICKS_PER_DRAWN_FRAME == 0)
                                  triangles = drawAndSwap();
                              return triangles;
                          }},
                  std::cout);
    loop.start();

    std::vector<fs::path> shots;
    Route::Controls controls;
    controls.keyboard = keys.data();
    controls.report = &std::cout;
    controls.tick = [&] {
        clock.advance(SKIP_TICKS_MS);
        loop.runFrame();
        recorder.keepPace();
        return gameState.quitRequested;
    };
    controls.stepDone = [&](int step) {
        drawGameFrame();
        shots.push_back(folder / stepFileName(step));
        saveScreenshot(gameRenderer().frameTarget(), shots.back().string());
        SDL_GL_SwapWindow(gameWindow());
    };
    Route::Outcome outcome = route.play(controls);

    prepareEndScreen();
    drawEndScreen();
    shots.push_back(folder / "end.png");
    saveScreenshot(gameRenderer().frameTarget(), shots.back().string());
    SDL_GL_SwapWindow(gameWindow());
    writeContactSheet(shots, folder / "contact-sheet.png");
    for (int tick = 0; tick < END_SCREEN_TICKS; ++tick)
        recorder.keepPace();
    if (recorder.isListening())
        recorder.writeWav((folder / "route.wav").string());

    bool reached = expectedEndingReached(routeName);
    if (!outcome.failure.empty())
        std::cout << "route failed at " << outcome.failure << std::endl;
    std::cout << "route " << routeName << (reached ? " reached its ending" : " did not reach its ending")
              << "; screenshots in " << folder.string() << std::endl;
    shutdown();
    return reached ? 0 : 1;
}
