// Measures the game as a player runs it: frame times per scene with the time of each pass
// (GL timer queries) and heap allocations, the floor of an empty frame, the tick, start-up and
// peak memory.
// Run from the game folder under a display (bench/run.sh does both); VSync is switched off.
#include "AllocationCounter.h"
#include "app/Application.h"
#include "app/Input.h"
#include "play/ManualClock.h"
#include "app/RenderToggles.h"
#include "game/GameState.h"
#include "level/DoorPortals.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/DynamicResolution.h"
#include "render/FrameTarget.h"
#include "render/Renderer.h"
#include "sound/GameSound.h"
#include "world/Door.h"
#include "world/Train.h"

#include <GL/glew.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Stopwatch = std::chrono::steady_clock;

constexpr int FRAMES = 200;
constexpr int WARM_UP_FRAMES = 10;
// Enough for the dynamic resolution to go from full size to half and to try a step back up.
constexpr int SETTLING_FRAMES = 120;
constexpr int TICKS = 10000;
constexpr int WARM_UP_TICKS = 100;

double millisecondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

// GPU time of each pass of the frame, from GL_TIME_ELAPSED queries.
class QueryPassTimer : public PassTimer {
public:
    QueryPassTimer() { glGenQueries(static_cast<GLsizei>(queries.size()), queries.data()); }
    ~QueryPassTimer() override { glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data()); }

    void begin(FramePass pass) override { glBeginQuery(GL_TIME_ELAPSED, queries[static_cast<int>(pass)]); }
    void end(FramePass pass) override
    {
        // A software rasteriser defers drawing to the next flush: finish the pass inside its
        // query so its work is counted in its own column.
        glFinish();
        glEndQuery(GL_TIME_ELAPSED);
        used[static_cast<int>(pass)] = true;
    }
    // Collects this frame's results (the frame has finished) and clears the marks.
    void collect()
    {
        for (int pass = 0; pass < FRAME_PASS_COUNT; ++pass) {
            if (!used[pass])
                continue;
            GLuint64 nanoseconds = 0;
            glGetQueryObjectui64v(queries[pass], GL_QUERY_RESULT, &nanoseconds);
            times[pass].push_back(static_cast<double>(nanoseconds) / 1e6);
            used[pass] = false;
        }
    }
    double median(FramePass pass) const { return percentile(times[static_cast<int>(pass)], 0.5); }
    void reset()
    {
        for (auto& list : times)
            list.clear();
    }

private:
    std::array<GLuint, FRAME_PASS_COUNT> queries{};
    std::array<bool, FRAME_PASS_COUNT> used{};
    std::array<std::vector<double>, FRAME_PASS_COUNT> times;
};

struct SceneResult {
    std::string name;
    double median = 0;
    double p95 = 0;
    double cpu = 0; // median processor time of a frame, of every thread: what another program's work does not stretch
    double shadow = 0;
    double portal = 0;
    double main = 0;
    double glass = 0;
    AllocationCounter::Counts allocations; // over the FRAMES frames timed
    FrameStats work;                       // summed over the frames timed
    float settledScale = 1.0f;             // where the dynamic resolution settles in the scene
};

void addWork(FrameStats& sum, const FrameStats& frame)
{
    sum.shadowTexelsRedrawn += frame.shadowTexelsRedrawn;
    for (std::size_t light = 0; light < SCENE_LIGHTS; ++light)
        sum.meshesLitBy[light] += frame.meshesLitBy[light];
}

double processorMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

// Every frame is finished before the clock stops, so the figure is the frame's real cost.
double timedFrame(const std::function<void()>& draw)
{
    auto start = Stopwatch::now();
    draw();
    glFinish();
    SDL_GL_SwapWindow(gameWindow());
    return millisecondsSince(start);
}

// Each timed frame's time on the clock and its processor time.
struct FrameTimes {
    std::vector<double> wall;
    std::vector<double> processor;
};

// Counts the heap allocations of the timed frames (the bench's own lists of times are made first).
FrameTimes timedFrames(const std::function<void()>& draw, AllocationCounter& counter)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        timedFrame(draw);
    FrameTimes times;
    times.wall.reserve(FRAMES);
    times.processor.reserve(FRAMES);
    counter.start();
    for (int i = 0; i < FRAMES; ++i) {
        const double processorStart = processorMilliseconds();
        times.wall.push_back(timedFrame(draw));
        times.processor.push_back(processorMilliseconds() - processorStart);
    }
    counter.stop();
    return times;
}

void placeCamera(int tunnelIndex, glm::vec3 offset, glm::vec3 lookAlong)
{
    Tunnel* tunnel = gameState.tunnels[tunnelIndex];
    gameState.currentTunnel = tunnel;
    glm::vec3 eye = tunnel->getPosition() + offset;
    gameState.camera->setPositionAndTarget(eye, eye + 10.0f * lookAlong);
    gameState.camera->updateFrustum();
}

// The heaviest scene: two door pairs of the second tunnel opened, one portal at each of two of
// its doors in view.
void placeInTwoPortalScene()
{
    placeCamera(1, glm::vec3(200, 4, 0), glm::vec3(-1, 0, 0));
}

// The window resized as a player would make it; the game fits its frame to it.
void resizeWindow(int width, int height)
{
    SDL_SetWindowSize(gameWindow(), width, height);
    // Mesa's software drivers take the window's new size at the next swap.
    SDL_GL_SwapWindow(gameWindow());
    fitFrameToWindow();
}

// The scale the dynamic resolution settles at in the scene, frames drawn as the game draws them.
float settledScale(const std::function<void()>& everyFrame)
{
    DynamicResolution resolution;
    for (int i = 0; i < SETTLING_FRAMES; ++i) {
        const double milliseconds = timedFrame([&] {
            everyFrame();
            gameRenderer().renderFrame(gameFrameView());
        });
        gameRenderer().frameTarget().setSceneScale(resolution.afterFrame(milliseconds));
    }
    return resolution.scale();
}

// The frame times come from frames drawn as the game draws them, at full resolution or at the
// scale the dynamic resolution settles at; the pass times from as many
// frames again, each pass finished inside its query: that stops the driver from working on one
// pass while the next is handed over, so those frames are slower than the game's.
SceneResult measureScene(const std::string& name, QueryPassTimer& timer, AllocationCounter& counter,
                         const std::function<void()>& everyFrame, bool atSettledScale = false)
{
    const float scale = settledScale(everyFrame);
    gameRenderer().frameTarget().setSceneScale(atSettledScale ? scale : 1.0f);
    FrameStats work;
    const FrameTimes times = timedFrames(
        [&] {
            everyFrame();
            addWork(work, gameRenderer().renderFrame(gameFrameView()));
        },
        counter);
    const AllocationCounter::Counts allocations = counter.counted();
    timer.reset();
    gameRenderer().setPassTimer(&timer);
    timedFrames([&] {
        everyFrame();
        gameRenderer().renderFrame(gameFrameView());
        timer.collect();
    },
                counter);
    gameRenderer().setPassTimer(nullptr);
    return {name,
            percentile(times.wall, 0.5),
            percentile(times.wall, 0.95),
            percentile(times.processor, 0.5),
            timer.median(FramePass::Shadow),
            timer.median(FramePass::Portal),
            timer.median(FramePass::Main),
            timer.median(FramePass::GlassDoor),
            allocations,
            work,
            scale};
}

// The median tick; the counter holds the allocations of the timed ticks.
double medianTick(ManualClock& clock, AllocationCounter& counter)
{
    placeCamera(0, glm::vec3(100, 4, 0), glm::vec3(1, 0, 0));
    std::vector<double> times;
    times.reserve(TICKS);
    for (int i = -WARM_UP_TICKS; i < TICKS; ++i) {
        if (i == 0)
            counter.start();
        clock.advance(40);
        auto start = Stopwatch::now();
        playTick();
        if (i >= 0)
            times.push_back(millisecondsSince(start));
    }
    counter.stop();
    return percentile(times, 0.5);
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double perFrame(std::uint64_t allocations)
{
    return static_cast<double>(allocations) / FRAMES;
}

void printRow(const SceneResult& scene)
{
    std::printf("| %-38s | %8.2f | %8.2f | %8.2f | %7.2f | %7.2f | %7.2f | %7.2f | %7.2f | %7.2f |\n",
                scene.name.c_str(), scene.median, scene.p95, scene.cpu, scene.shadow, scene.portal, scene.main,
                scene.glass, perFrame(scene.allocations.game), perFrame(scene.allocations.driver));
}

// The work the frame's shortcuts spare: shadow texels drawn again, objects drawn with each lamp's light.
void printWorkRow(const SceneResult& scene)
{
    const double frames = FRAMES + WARM_UP_FRAMES;
    std::printf("| %-38s | %14.0f | %7.1f | %7.1f | %7.1f | %7.2f |\n", scene.name.c_str(),
                static_cast<double>(scene.work.shadowTexelsRedrawn) / frames, scene.work.meshesLitBy[0] / frames,
                scene.work.meshesLitBy[1] / frames, scene.work.meshesLitBy[2] / frames, scene.settledScale);
}

} // namespace

int main()
{
    auto processStart = Stopwatch::now();
    if (!initWindow())
        return 1;
    SDL_GL_SetSwapInterval(0);
    // The sound plays as in the game, through SDL's disk driver where there is no sound card.
    SDL_setenv("SDL_AUDIODRIVER", "disk", 0);
    SDL_setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    startSound();
    ManualClock clock(1000);
    startUp(clock);
    // Nothing prints while measuring: the culled-object lines would time the terminal.
    std::cout.setstate(std::ios::failbit);
    gameRenderer().renderFrame(gameFrameView());
    glFinish();
    SDL_GL_SwapWindow(gameWindow());
    double startSeconds = millisecondsSince(processStart) / 1000.0;

    std::vector<Uint8> keys(SDL_NUM_SCANCODES, 0);
    readHeldKeysFrom(keys.data());

    QueryPassTimer timer;
    AllocationCounter allocations;
    std::vector<SceneResult> scenes;

    const FrameTimes empty = timedFrames([] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }, allocations);
    scenes.push_back({"empty frame (clear + swap)", percentile(empty.wall, 0.5), percentile(empty.wall, 0.95),
                      percentile(empty.processor, 0.5), 0, 0, 0, 0, allocations.counted(), {}});

    placeCamera(0, glm::vec3(0, 4, 0), glm::vec3(1, 0, 0));
    scenes.push_back(measureScene("tunnel 1 at start", timer, allocations, [] {}));

    // Two door pairs of the second tunnel opened: one portal at each of two of its doors.
    openPortals(*gameState.tunnels[0]->getDoors()[0], gameState.portalModels, *gameState.camera);
    openPortals(*gameState.tunnels[1]->getDoors()[6], gameState.portalModels, *gameState.camera);
    placeInTwoPortalScene();
    scenes.push_back(measureScene("tunnel 2, two portals open", timer, allocations, [] {}));

    gameState.realityView = false;
    placeCamera(4, glm::vec3(100, 4, 0), glm::vec3(1, 0, 0));
    scenes.push_back(measureScene("tunnel 5, glasses view, glass door", timer, allocations, [] {}));
    gameState.realityView = true;

    gameState.tunnels[6]->spawnTrain();
    placeCamera(6, glm::vec3(0, 6, 15), glm::vec3(1, 0, -0.2f));
    Train* train = gameState.tunnels[6]->getTrain();
    scenes.push_back(measureScene("tunnel 7, running train", timer, allocations, [train] { train->update(); }));
    const std::size_t windowScenes = scenes.size();

    // Fullscreen on a large screen, as the game draws it there (at the scale the frame times
    // allow), and drawn whole at that size.
    resizeWindow(1600, 1200);
    placeInTwoPortalScene();
    scenes.push_back(measureScene("1600 x 1200: two portals, as the game", timer, allocations, [] {}, true));
    const glm::ivec2 gameScene = gameRenderer().frameTarget().sceneSize();
    scenes.push_back(measureScene("1600 x 1200: two portals, drawn whole", timer, allocations, [] {}));
    resizeWindow(800, 600);

    gameState.quitRequested = false;
    double tick = medianTick(clock, allocations);
    const std::uint64_t tickAllocations = allocations.counted().game;
    double rss = peakResidentMegabytes();
    std::cout.clear();

    std::printf("| %-38s | %8s | %8s | %8s | %7s | %7s | %7s | %7s | %7s | %7s |\n",
                "scene (800 x 600 unless said, VSync off)", "median", "p95", "cpu", "shadow", "portal", "main", "glass",
                "allocs", "driver");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(40, '-').c_str(), std::string(10, '-').c_str(),
                std::string(10, '-').c_str(), std::string(10, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str(), std::string(9, '-').c_str());
    for (const SceneResult& scene : scenes)
        printRow(scene);
    std::printf("\nframe times in ms over %d frames; cpu: the median frame's processor time, all threads (llvmpipe's\n"
                "too), which other programs on the machine stretch far less than the clock; pass columns are GPU\n"
                "medians (GL_TIME_ELAPSED) of as many frames again, each pass finished before the next\n",
                FRAMES);
    std::printf("allocs: heap allocations per timed frame by the game (its code, the C++ library, Bullet);\n"
                "driver: by Mesa, X and SDL inside the GL calls and the buffer swap (by caller address)\n");
    std::printf("\n| %-38s | %14s | %7s | %7s | %7s | %7s |\n", "scene, per frame", "shadow texels", "lamp 1",
                "lamp 2", "lamp 3", "scale");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(40, '-').c_str(), std::string(16, '-').c_str(),
                std::string(9, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str());
    for (std::size_t i = 1; i < scenes.size(); ++i)
        printWorkRow(scenes[i]);
    std::printf("shadow texels: shadow-map texels cleared and drawn again; lamp n: meshes drawn with its light code;\n"
                "scale: where the dynamic resolution settles (the 800 x 600 scenes are timed at full resolution)\n\n");
    const double allocationsPerTick = static_cast<double>(tickAllocations) / TICKS;
    std::printf("tick (playTick: the pump, the rules, the sound and one physics step), median of %d: %.4f ms, %.2f "
                "allocations per tick\n",
                TICKS, tick, allocationsPerTick);
    std::printf("start to first frame: %.2f s\n", startSeconds);
    std::printf("peak resident memory: %.1f MB\n", rss);

    std::printf("1600 x 1200 as the game draws it: the scene at %d x %d, scaled up\n", gameScene.x, gameScene.y);
    const float fullscreenScale = scenes[windowScenes].settledScale;

    double heaviest = 0;
    double mostAllocations = 0;
    for (std::size_t i = 1; i < scenes.size(); ++i) {
        if (i < windowScenes)
            heaviest = std::max(heaviest, scenes[i].median);
        mostAllocations = std::max(mostAllocations, perFrame(scenes[i].allocations.game));
    }
    std::printf("summary: frame_ms=%.2f fullscreen_ms=%.2f empty_ms=%.2f ratio=%.2f tick_ms=%.4f start_s=%.2f "
                "rss_mb=%.1f allocs_per_tick=%g allocs_per_frame=%g scale_1600=%.2f\n",
                heaviest, scenes[windowScenes].median, scenes[0].median, heaviest / scenes[0].median, tick,
                startSeconds, rss, allocationsPerTick, mostAllocations, fullscreenScale);
    shutdown();
    return 0;
}
