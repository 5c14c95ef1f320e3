#include "app/Application.h"

#include "app/Input.h"
#include "app/MainLoop.h"
#include "app/Options.h"
#include "app/OptionsPanel.h"
#include "app/PausableClock.h"
#include "app/RenderToggles.h"
#include "app/SdlClock.h"
#include "app/SoundSnapshot.h"
#include "game/Clock.h"
#include "game/GameState.h"
#include "game/PlayerMessages.h"
#include "game/Rules.h"
#include "level/AssetManifest.h"
#include "game/Level.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "render/DynamicResolution.h"
#include "render/FrameView.h"
#include "world/Model.h"
#include "render/GpuModel.h"
#include "render/Overlay.h"
#include "render/Renderer.h"
#include "render/WindowSize.h"
#include "sound/GameSound.h"
#include "world/GameObject.h"

#include <GL/glew.h>

#include <malloc.h>

#include <iostream>
#include <memory>

namespace {

SDL_Window* window = nullptr;
PausableClock gameClock; // game time, read by the rules through gameState.clock

// The scene's size follows the time frames take, on every renderer.
DynamicResolution dynamicResolution;

// The software renderer compiles each new drawing state's shaders with LLVM, which frees much of
// what it took. The C library's own limits, which it raises as large blocks come and go, would
// keep those pages: 4 to 6 MB more at the peak.
constexpr int RETURN_FREE_MEMORY_ABOVE = 1 << 20;
constexpr int MAP_BLOCKS_FROM = 4 << 20;

void keepFreedMemoryReturned()
{
    mallopt(M_TRIM_THRESHOLD, RETURN_FREE_MEMORY_ABOVE);
    mallopt(M_MMAP_THRESHOLD, MAP_BLOCKS_FROM);
}

// What the running game draws with and over, from startUp to releaseGame.
std::unique_ptr<Renderer> renderer;
std::unique_ptr<Overlay> overlay;

// The end screen hangs far outside the level, in front of a camera placed to look at it.
const glm::vec3 END_SCREEN_EYE(2990.0f, -1.3f, -0.5f);
const glm::vec3 END_SCREEN_TARGET(3000.0f, -1.3f, -0.5f);
const glm::vec3 END_SCREEN_POSITION(3000.0f, 0.0f, 0.0f);

// The on-screen text's font, copied into the game folder by the build.
const char* const FONT_PATH = "assets/fonts/DejaVuSans.ttf";
// A new game shows how to find the controls for this long.
const char* const CONTROLS_HINT = "F1: controls";
constexpr std::uint32_t CONTROLS_HINT_MS = 5000;
// How near and how far the eye sees.
constexpr float NEAR_PLANE = 1.0f;
constexpr float FAR_PLANE = 500.0f;

bool fail(const char* message, const char* detail)
{
    std::cerr << message << detail << std::endl;
    return false;
}

// GLEW 2.2 is built for GLX: on an EGL context (SDL's offscreen driver) it reports "no GLX
// display" although every entry point it needs has loaded.
bool glewLoaded(GLenum result)
{
    return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY;
}

void swapWindow()
{
    if (window)
        SDL_GL_SwapWindow(window);
}

// The main loop's draw step: the frame into the picture area of the window as it is now.
// The main loop's draw step. The drawing's time sets the next frame's scene size: with VSync
// the swap waits for the screen, so the drawing is timed up to its finish instead.
std::uint32_t drawFrame()
{
    const Uint64 start = SDL_GetPerformanceCounter();
    const std::uint32_t triangles = drawGameFrame();
    const bool waitsForScreen = SDL_GL_GetSwapInterval() != 0;
    if (waitsForScreen)
        glFinish();
    const Uint64 drawn = SDL_GetPerformanceCounter();
    swapWindow();
    const Uint64 end = waitsForScreen ? drawn : SDL_GetPerformanceCounter();
    const double milliseconds = 1000.0 * static_cast<double>(end - start) / static_cast<double>(SDL_GetPerformanceFrequency());
    renderer->frameTarget().setSceneScale(dynamicResolution.afterFrame(milliseconds));
    return triangles;
}

void waitForKey()
{
    SDL_Event event;
    while (SDL_WaitEvent(&event)) {
        if (event.type == SDL_KEYDOWN)
            return;
    }
}

} // namespace

SDL_Window* gameWindow()
{
    return window;
}

Renderer& gameRenderer()
{
    return *renderer;
}

Overlay& gameOverlay()
{
    return *overlay;
}

const PictureArea& fitFrameToWindow()
{
    FrameTarget& target = renderer->frameTarget();
    if (!window)
        return target.picture();
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    return target.fit(width, height);
}

bool setFullscreen(bool fullscreen)
{
    if (!window)
        return false;
    auto isFullscreen = [] { return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0; };
    // SDL leaves the window as it was when the switch fails.
    if (fullscreen != isFullscreen() &&
        SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) < 0)
        std::cerr << "Could not switch to fullscreen! SDL Error: " << SDL_GetError() << std::endl;
    return isFullscreen();
}

bool initWindow(bool shown)
{
    keepFreedMemoryReturned();
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return fail("SDL could not initialize! SDL Error: ", SDL_GetError());
    // The game plays on without gamepads when SDL cannot look for them.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) < 0)
        std::cerr << "No gamepads: SDL Error: " << SDL_GetError() << std::endl;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    // The portal pass masks with the stencil buffer.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    window = SDL_CreateWindow("Marrowdeep", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, WINDOW_WIDTH,
                              WINDOW_HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | (shown ? 0 : SDL_WINDOW_HIDDEN));
    if (!window)
        return fail("Window could not be created! SDL Error: ", SDL_GetError());
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context)
        return fail("OpenGL context could not be created! SDL Error: ", SDL_GetError());

    glewExperimental = GL_TRUE;
    GLenum glewResult = glewInit();
    if (!glewLoaded(glewResult))
        return fail("Error initializing GLEW! ", reinterpret_cast<const char*>(glewGetErrorString(glewResult)));
    glGetError(); // GLEW's probing of a core context leaves an error behind

    if (SDL_GL_SetSwapInterval(1) < 0)
        std::cerr << "Warning: Unable to set VSync! SDL Error: " << SDL_GetError() << std::endl;

    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    // The portal pass relies on a stencil buffer that holds 0 outside its own steps.
    glClear(GL_STENCIL_BUFFER_BIT);

    if (!shown)
        return true; // a hidden window has no mouse to trap
    SDL_SetHintWithPriority("SDL_MOUSE_RELATIVE_MODE_WARP", "1", SDL_HINT_OVERRIDE);
    if (SDL_SetRelativeMouseMode(SDL_TRUE) == -1)
        std::cerr << "SDL could not trap mouse: " << SDL_GetError() << std::endl;
    return true;
}

void startUp(const Clock& clock)
{
    gameClock.follow(clock);
    gameState.clock = &gameClock;
    initPhysics();
    buildLevel(); // also makes the gameState.camera, whose projection the programs need next
    gameState.camera->setProjection(DEFAULT_FIELD_OF_VIEW, WINDOW_ASPECT, NEAR_PLANE, FAR_PLANE);
    renderer = std::make_unique<Renderer>(gameState.camera->getProjectionMatrix());
    // Every model of the level goes to the GPU before the first frame, not in the middle of play.
    for (const Model* model : gameState.levelModels)
        GpuModel::of(*model);
    overlay = std::make_unique<Overlay>(renderer->screenQuad(), FONT_PATH, controlsTable());

    gameState.quitRequested = false;
    renderSettings.transparency = true;
    renderSettings.mipmapMode = MipmapMode::Linear;
    renderSettings.nearestSampling = false;
    readHeldKeysFrom(SDL_GetKeyboardState(nullptr));
    gameState.messages.show(CONTROLS_HINT, CONTROLS_HINT_MS);
}

FrameView gameFrameView()
{
    FrameView frame;
    frame.tunnel = gameState.currentTunnel;
    frame.view = gameState.camera->syncViewMatrix(); // reads the eye back from the body once for the frame
    frame.projection = gameState.camera->getProjectionMatrix();
    frame.eye = gameState.camera->getPosition();
    frame.viewDirection = glm::normalize(gameState.camera->getTarget() - gameState.camera->getPosition());
    frame.culledBy = renderSettings.frustumCulling ? gameState.camera : nullptr;
    frame.realityView = gameState.realityView;
    frame.glassDoor = glassDoorBlocks() ? gameState.glassDoor : nullptr;
    frame.settings = renderSettings;
    return frame;
}

void setFullResolution(bool locked)
{
    dynamicResolution.lockFullResolution(locked);
    renderer->frameTarget().setSceneScale(dynamicResolution.scale());
}

const OverlayView& gameOverlayView()
{
    static OverlayView view = [] {
        OverlayView made;
        made.messages.reserve(PlayerMessages::SHOWN_AT_ONCE); // no allocation while playing
        return made;
    }();
    view.messages.clear();
    gameState.messages.forEachShown(gameState.now(), [](const std::string& line, float opacity) {
        view.messages.push_back({line, opacity});
    });
    view.showControls = renderSettings.showControls;
    view.paused = isPaused();
    view.options = optionsPanel.shown();
    return view;
}

std::uint32_t drawGameFrame()
{
    fitFrameToWindow();
    const std::uint32_t triangles = renderer->renderFrame(gameFrameView()).trianglesRendered;
    overlay->drawOverGame(gameOverlayView());
    return triangles;
}

void prepareEndScreen()
{
    gameState.camera->setPositionAndTarget(END_SCREEN_EYE, END_SCREEN_TARGET);
}

void drawEndScreen()
{
    fitFrameToWindow();
    const ModelFile* screenFile = gameState.won ? &assets::WON_SCREEN : gameState.lost ? &assets::LOST_SCREEN : nullptr;
    if (!screenFile)
        return;
    // Each end screen is made once and lives until the process ends, like the level.
    static GameObject* wonScreen = nullptr;
    static GameObject* lostScreen = nullptr;
    GameObject*& screen = gameState.won ? wonScreen : lostScreen;
    if (!screen) {
        screen = new GameObject(new Model(screenFile->folder, screenFile->file));
        GpuModel::of(*screen->getModel());
        screen->setPosition(END_SCREEN_POSITION);
        screen->rotate(0, 180, 0);
    }
    renderer->renderEndScreen(gameFrameView(), screen);
    overlay->drawOverEndScreen();
}

void showEndScreen()
{
    prepareEndScreen();
    if (gameState.won || gameState.lost) {
        drawEndScreen();
        swapWindow();
    }
    waitForKey();
}

void releaseGame()
{
    // The overlay draws with the renderer's screen quad.
    overlay.reset();
    renderer.reset();
    releaseLevel();
}

void setPaused(bool paused)
{
    if (paused == isPaused())
        return;
    gameClock.setPaused(paused);
    setSoundPaused(paused);
}

bool isPaused()
{
    return gameClock.isPaused();
}

void soundTheTick()
{
    updateSound(soundSnapshot());
}

bool playTick(const std::function<void()>& afterRules)
{
    return runTick(pumpInput(), afterRules);
}

void shutdown()
{
    releaseGame();
    stopSound();
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    SDL_Quit();
}

int runGame()
{
    if (!initWindow()) {
        std::cerr << "Failed to initialize!" << std::endl;
        shutdown();
        return -1;
    }
    startSound();
    SdlClock clock;
    startUp(clock);
    useSettings(SettingsFile::ofPlayer());
    MainLoop loop(clock, {[] { return playTick(); }, drawFrame}, std::cout);
    loop.start();
    loop.run();
    showEndScreen();
    shutdown();
    return 0;
}
