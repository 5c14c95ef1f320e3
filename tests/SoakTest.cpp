// A long game of random but seeded player input: whatever keys, walks, mouse moves and clicks a
// player makes, the game's state stays sound tick after tick, and memory does not creep.
//
// The suite plays 2000 ticks; MARROWDEEP_SOAK_TICKS sets another length (100000 ticks is about
// 67 minutes of game time).
#include "support/PlayingFixture.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "render/Renderer.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <btBulletDynamicsCommon.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr int DEFAULT_TICKS = 2000;
constexpr int TICKS_PER_RENDERED_FRAME = 100;
constexpr unsigned SEED = 20240610;
// A train runs on twelve wheels; a portal is a surface with a frame, and each comes with the
// linked portal (also framed) that marks the other side.
constexpr int WHEELS_PER_TRAIN = 12;
constexpr int BODIES_PER_PORTAL = 2;
// The player may stand a little outside the shells (on a step, mid-jump) but never far.
constexpr float LEVEL_MARGIN = 50.0f;
// Memory: the driver's and the allocator's caches may still settle a little; every body the
// rules add may cost its shapes, proxies and contact pairs.
constexpr long MEMORY_ALLOWANCE_BYTES = 16L * 1024 * 1024;
constexpr long MEMORY_PER_ADDED_BODY_BYTES = 64L * 1024;

// Every key of the key table that a player may press without ending the game; the debug jumps
// are pressed less often, so that the player also walks about where he lands.
const std::array<SDL_Keycode, 9> PLAYER_KEYS = {SDLK_e,  SDLK_c,  SDLK_t,  SDLK_F2, SDLK_F3,
                                                SDLK_F4, SDLK_F5, SDLK_F8, SDLK_F9};
const std::array<SDL_Keycode, 2> DEBUG_JUMP_KEYS = {SDLK_TAB, SDLK_BACKSPACE};
const std::array<SDL_Scancode, 4> WALKING_KEYS = {SDL_SCANCODE_W, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D};

int soakTicks()
{
    const char* setting = std::getenv("MARROWDEEP_SOAK_TICKS");
    return setting ? std::atoi(setting) : DEFAULT_TICKS;
}

long residentBytes()
{
    long totalPages = 0;
    long residentPages = 0;
    std::ifstream("/proc/self/statm") >> totalPages >> residentPages;
    return residentPages * sysconf(_SC_PAGESIZE);
}

long peakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

bool isFinite(const glm::vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

struct Box {
    glm::vec3 low{std::numeric_limits<float>::max()};
    glm::vec3 high{std::numeric_limits<float>::lowest()};

    void add(const glm::vec3& point)
    {
        low = glm::min(low, point);
        high = glm::max(high, point);
    }
    bool contains(const glm::vec3& point) const
    {
        return glm::all(glm::greaterThanEqual(point, low)) && glm::all(glm::lessThanEqual(point, high));
    }
};

} // namespace

class SoakTest : public PlayingFixture {
protected:
    // A player who walks for a while, looks about by any amount, clicks and holds the button, and
    // presses any key of the game but Escape and Q.
    class RandomPlayer {
    public:
        explicit RandomPlayer(Uint8* keyboard) : keyboard(keyboard) {}

        // The input of one tick: held walking keys change, events are queued.
        void act()
        {
            if (chance(0.03))
                changeWalking();
            if (chance(0.1))
                moveMouse();
            if (chance(0.05))
                toggleButton();
            if (chance(0.03))
                pressKey(PLAYER_KEYS[pick(PLAYER_KEYS.size())]);
            if (chance(0.004))
                pressKey(DEBUG_JUMP_KEYS[pick(DEBUG_JUMP_KEYS.size())]);
        }

        long inputs = 0; // events queued and walking keys pressed or released

    private:
        bool chance(double probability) { return std::bernoulli_distribution(probability)(random); }
        std::size_t pick(std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); }

        void changeWalking()
        {
            SDL_Scancode key = WALKING_KEYS[pick(WALKING_KEYS.size())];
            keyboard[key] = keyboard[key] ? 0 : 1;
            ++inputs;
        }

        // Mostly a hand's small moves, sometimes a flick, now and then any value the event can hold.
        void moveMouse()
        {
            std::array<int, 2> motion{};
            for (int& axis : motion) {
                if (chance(0.9))
                    axis = std::uniform_int_distribution<int>(-10, 10)(random);
                else if (chance(0.9))
                    axis = std::uniform_int_distribution<int>(-2000, 2000)(random);
                else
                    axis = std::uniform_int_distribution<int>(std::numeric_limits<Sint32>::min(),
                                                              std::numeric_limits<Sint32>::max())(random);
            }
            SoakTest::pushMouseMotion(motion[0], motion[1]);
            ++inputs;
        }

        void toggleButton()
        {
            buttonDown = !buttonDown;
            SoakTest::pushButton(buttonDown);
            ++inputs;
        }

        void pressKey(SDL_Keycode key)
        {
            SoakTest::pushKey(key);
            ++inputs;
        }

        Uint8* keyboard;
        std::mt19937 random{SEED};
        bool buttonDown = false;
    };

    // The level's extent: every shell piece of every tunnel, in both views, with a margin.
    static Box levelBounds()
    {
        Box box;
        for (int i = 0; i < TUNNEL_COUNT; ++i) {
            for (const auto* pieces : {&gameState.tunnels[i]->getRealityPieces(), &gameState.tunnels[i]->getGlassesPieces()})
                for (const GameObject* piece : *pieces) {
                    box.add(piece->worldBounds().first);
                    box.add(piece->worldBounds().second);
                }
        }
        box.low -= glm::vec3(LEVEL_MARGIN);
        box.high += glm::vec3(LEVEL_MARGIN);
        return box;
    }

    // Bodies the rules have added since the level was built: trains with their wheels, and
    // portals with their frames and linked portals.
    static int bodiesAddedByRules()
    {
        int bodies = 0;
        for (int i = 0; i < TUNNEL_COUNT; ++i) {
            const Tunnel* tunnel = gameState.tunnels[i];
            for (const Portal* portal : tunnel->getPortals())
                bodies += BODIES_PER_PORTAL * (portal->getLinkedPortal() ? 2 : 1);
            for (const GameObject* object : tunnel->getObjects())
                if (dynamic_cast<const Train*>(object))
                    bodies += 1 + static_cast<int>(object->getChildren().size());
        }
        return bodies;
    }

    static bool everyTrainHasItsWheels()
    {
        for (int i = 0; i < TUNNEL_COUNT; ++i)
            for (const GameObject* object : gameState.tunnels[i]->getObjects())
                if (dynamic_cast<const Train*>(object) && object->getChildren().size() != WHEELS_PER_TRAIN)
                    return false;
        return true;
    }

    static bool inCurrentTunnelTable()
    {
        for (int i = 0; i < TUNNEL_COUNT; ++i)
            if (gameState.currentTunnel == gameState.tunnels[i])
                return true;
        return false;
    }

    static bool gameEnded() { return gameState.won || gameState.lost || gameState.quitRequested; }

    // What is wrong after a tick, or an empty text.
    std::string unsoundState(int bodiesAtStart, const Box& level, bool ended) const
    {
        std::ostringstream problem;
        const glm::vec3 eye = camera->syncPosition();
        if (!isFinite(eye) || !isFinite(camera->getTarget()))
            problem << "the camera is not finite: eye " << eye.x << ' ' << eye.y << ' ' << eye.z;
        else if (!ended && !level.contains(eye))
            problem << "the player left the level: " << eye.x << ' ' << eye.y << ' ' << eye.z;
        else if (!inCurrentTunnelTable())
            problem << "the current tunnel is not one of the level's 21";
        else if (!everyTrainHasItsWheels())
            problem << "a train lacks wheels";
        else if (dynamicsWorld()->getNumCollisionObjects() != bodiesAtStart + bodiesAddedByRules())
            problem << "the physics world holds " << dynamicsWorld()->getNumCollisionObjects()
                    << " bodies, the level and the rules explain " << bodiesAtStart + bodiesAddedByRules();
        return problem.str();
    }

    // The driver compiles a variant of its shaders for each mix of render settings it meets and
    // keeps it; every mix is drawn once before memory is measured, so that what grows later is
    // the game's. Each key is pressed twice in the end, leaving the settings as they were.
    void drawEveryMixOfRenderSettings()
    {
        // View, wireframe, texture sampling, transparency and culling (which change what is
        // drawn first, and how); the mipmap mode (F5) is the innermost.
        const std::array<SDL_Keycode, 5> settingKeys = {SDLK_e, SDLK_F3, SDLK_F4, SDLK_F9, SDLK_F8};
        drawEveryMixOf(settingKeys.data(), settingKeys.size());
    }

    void drawEveryMixOf(const SDL_Keycode* settingKeys, std::size_t count)
    {
        if (count == 0) {
            for (int mode = 0; mode < 3; ++mode) {
                renderFrame();
                pushKey(SDLK_F5);
                tick();
            }
            return;
        }
        for (int turn = 0; turn < 2; ++turn) {
            drawEveryMixOf(settingKeys + 1, count - 1);
            pushKey(settingKeys[0]);
            tick();
        }
    }

    // Plays the soak's number of ticks of random input, or until the game ends, checking the
    // state after every tick and memory at the end.
    void playRandomly()
    {
        const int ticks = soakTicks();
        const Box level = levelBounds();
        const int bodiesAtStart = dynamicsWorld()->getNumCollisionObjects() - bodiesAddedByRules();
        RandomPlayer player(keys.data());
        const auto started = std::chrono::steady_clock::now();

        drawEveryMixOfRenderSettings();
        const long memoryAtStart = residentBytes();
        int played = 0;
        bool ended = false;
        while (played < ticks && !ended) {
            player.act();
            ended = tick() || gameEnded();
            ++played;
            const std::string problem = unsoundState(bodiesAtStart, level, ended);
            ASSERT_EQ(problem, "") << "after tick " << played << " of seed " << SEED;
            if (played % TICKS_PER_RENDERED_FRAME == 0) {
                renderFrame();
                ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame after tick " << played;
            }
        }

        const long grown = residentBytes() - memoryAtStart;
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer keeps freed memory in quarantine, so only the plain build can tell growth.
        const long explained = MEMORY_ALLOWANCE_BYTES + MEMORY_PER_ADDED_BODY_BYTES * bodiesAddedByRules();
        EXPECT_LE(grown, explained) << "bodies added: " << bodiesAddedByRules();
#endif

        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cerr << "Soak: " << played << " ticks, " << player.inputs << " inputs, " << bodiesAddedByRules()
                  << " bodies added, memory grew " << grown / 1024 << " kB, peak resident " << peakResidentKilobytes()
                  << " kB, " << seconds << " s" << (ended ? ", the game ended" : "") << std::endl;
    }
};

TEST_F(SoakTest, RandomPlayFromTheStartKeepsTheGameSoundAndItsMemoryFlat)
{
    playRandomly();
}

TEST_F(SoakTest, RandomPlayWithTheTrainsRunningKeepsTheGameSound)
{
    // Clicking door 2 of tunnel 3 in the reality view starts the trains, the first in tunnel 11;
    // the schedule adds one every minute. A train may well end the game, which ends the soak.
    jumpTo(3);
    clickDoor(3, 2);
    ASSERT_TRUE(gameState.trainsStarted);
    playRandomly();
}
