// Measures the game as a player runs it: frame times per scene with the time of each pass
// (GL timer queries), the floor of an empty frame, the tick, start-up and peak memory.
// Run from the game folder under a display (bench/run.sh does both); VSync is switched off.
#include "app/Application.h"
#include "app/ManualClock.h"
#include "app/RenderSettings.h"
#include "game/GameState.h"
#include "game/Rules.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "render/Renderer.h"
#include "sound/GameSound.h"
#include "world/Door.h"
#include "world/Train.h"

#include <GL/glew.h>
#include <sys/resource.h>

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
constexpr int TICKS = 10000;

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
    double shadow = 0;
    double portal = 0;
    double main = 0;
    double glass = 0;
};

// Every frame is finished before the clock stops, so the figure is the frame's real cost.
double timedFrame(const std::function<void()>& draw)
{
    auto start = Stopwatch::now();
    draw();
    glFinish();
    SDL_GL_SwapWindow(gameWindow());
    return millisecondsSince(start);
}

std::vector<double> timedFrames(const std::function<void()>& draw)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        timedFrame(draw);
    std::vector<double> times;
    for (int i = 0; i < FRAMES; ++i)
        times.push_back(timedFrame(draw));
    return times;
}

void placeCamera(int tunnelIndex, glm::vec3 offset, glm::vec3 lookAlong)
{
    Tunnel* tunnel = gameState.tunnels[tunnelIndex];
    gameState.currentTunnel = tunnel;
    glm::vec3 eye = tunnel->getPosition() + offset;
    camera->setPositionAndTarget(eye, eye + 10.0f * lookAlong);
    camera->updateFrustum();
}

// The frame times come from frames drawn as the game draws them; the pass times from as many
// frames again, each pass finished inside its query: that stops the driver from working on one
// pass while the next is handed over, so those frames are slower than the game's.
SceneResult measureScene(const std::string& name, QueryPassTimer& timer, const std::function<void()>& everyFrame)
{
    std::vector<double> times = timedFrames([&] {
        everyFrame();
        renderFrame();
    });
    timer.reset();
    setPassTimer(&timer);
    timedFrames([&] {
        everyFrame();
        renderFrame();
        timer.collect();
    });
    setPassTimer(nullptr);
    return {name,
            percentile(times, 0.5),
            percentile(times, 0.95),
            timer.median(FramePass::Shadow),
            timer.median(FramePass::Portal),
            timer.median(FramePass::Main),
            timer.median(FramePass::GlassDoor)};
}

double medianTick(ManualClock& clock)
{
    placeCamera(0, glm::vec3(100, 4, 0), glm::vec3(1, 0, 0));
    std::vector<double> times;
    times.reserve(TICKS);
    for (int i = 0; i < TICKS; ++i) {
        clock.advance(40);
        auto start = Stopwatch::now();
        tickWithSound();
        stepPhysics();
        times.push_back(millisecondsSince(start));
    }
    return percentile(times, 0.5);
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void printRow(const SceneResult& scene)
{
    std::printf("| %-38s | %8.2f | %8.2f | %7.2f | %7.2f | %7.2f | %7.2f |\n", scene.name.c_str(), scene.median,
                scene.p95, scene.shadow, scene.portal, scene.main, scene.glass);
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
    renderFrame();
    glFinish();
    SDL_GL_SwapWindow(gameWindow());
    double startSeconds = millisecondsSince(processStart) / 1000.0;

    std::vector<Uint8> keys(SDL_NUM_SCANCODES, 0);
    gameState.keyboardState = keys.data();

    QueryPassTimer timer;
    std::vector<SceneResult> scenes;

    std::vector<double> empty = timedFrames([] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });
    scenes.push_back({"empty frame (clear + swap)", percentile(empty, 0.5), percentile(empty, 0.95), 0, 0, 0, 0});

    placeCamera(0, glm::vec3(0, 4, 0), glm::vec3(1, 0, 0));
    scenes.push_back(measureScene("tunnel 1 at start", timer, [] {}));

    // Two door pairs of the second tunnel opened: one portal at each of two of its doors.
    gameState.tunnels[0]->getDoors()[0]->openPortals(gameState.portalModels, camera);
    gameState.tunnels[1]->getDoors()[6]->openPortals(gameState.portalModels, camera);
    placeCamera(1, glm::vec3(200, 4, 0), glm::vec3(-1, 0, 0));
    scenes.push_back(measureScene("tunnel 2, two portals open", timer, [] {}));

    gameState.realityView = false;
    placeCamera(4, glm::vec3(100, 4, 0), glm::vec3(1, 0, 0));
    scenes.push_back(measureScene("tunnel 5, glasses view, glass door", timer, [] {}));
    gameState.realityView = true;

    gameState.tunnels[6]->spawnTrain();
    placeCamera(6, glm::vec3(0, 6, 15), glm::vec3(1, 0, -0.2f));
    Train* train = gameState.tunnels[6]->getTrain();
    scenes.push_back(measureScene("tunnel 7, running train", timer, [train] { train->update(); }));

    gameState.quitRequested = false;
    double tick = medianTick(clock);
    double rss = peakResidentMegabytes();
    std::cout.clear();

    std::printf("| %-38s | %8s | %8s | %7s | %7s | %7s | %7s |\n", "scene (800 x 600, VSync off)", "median", "p95",
                "shadow", "portal", "main", "glass");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(40, '-').c_str(), std::string(10, '-').c_str(),
                std::string(10, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str(), std::string(9, '-').c_str());
    for (const SceneResult& scene : scenes)
        printRow(scene);
    std::printf("\nframe times in ms over %d frames; pass columns are GPU medians (GL_TIME_ELAPSED) of as many\nframes "
                "again, each pass finished before the next\n",
                FRAMES);
    std::printf("tick (updateTick, its sound + one physics step), median of %d: %.4f ms\n", TICKS, tick);
    std::printf("start to first frame: %.2f s\n", startSeconds);
    std::printf("peak resident memory: %.1f MB\n", rss);

    double heaviest = 0;
    for (std::size_t i = 1; i < scenes.size(); ++i)
        heaviest = std::max(heaviest, scenes[i].median);
    std::printf("summary: frame_ms=%.2f empty_ms=%.2f ratio=%.2f tick_ms=%.4f start_s=%.2f rss_mb=%.1f\n", heaviest,
                scenes[0].median, heaviest / scenes[0].median, tick, startSeconds, rss);
    shutdown();
    return 0;
}
