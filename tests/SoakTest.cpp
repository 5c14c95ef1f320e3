// A long game of random but seeded player input keeps the game's state sound tick after tick.
// MARROWDEEP_SOAK_TICKS sets the length (100000 ticks is about 67 minutes). What a tick and a
// frame allocate, the benchmark counts; what they leak, the sanitized suite finds.
#include "support/InGameWindow.h"
#include "support/PlayingFixture.h"

#include "physics/PhysicsWorld.h"
#include "render/Renderer.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <random>

namespace {

constexpr int DEFAULT_TICKS = 2000;
constexpr int TICKS_PER_RENDERED_FRAME = 100;
constexpr unsigned SEED = 20240610;
// A train runs on twelve wheels; a portal is a surface with a frame, and so is its linked portal.
constexpr int WHEELS_PER_TRAIN = 12;
constexpr int BODIES_PER_PORTAL = 2;
// The player may stand a little outside the shells (on a step, mid-jump) but never far.
constexpr float LEVEL_MARGIN = 50.0f;

// Every key of the game a player may press without ending it.
const std::array<SDL_Keycode, 9> PLAYER_KEYS = {SDLK_e,  SDLK_c,  SDLK_t,  SDLK_F2, SDLK_F3,
                                                SDLK_F4, SDLK_F5, SDLK_F8, SDLK_F9};
const std::array<SDL_Keycode, 2> DEBUG_JUMP_KEYS = {SDLK_TAB, SDLK_BACKSPACE};
const std::array<SDL_Scancode, 4> WALKING_KEYS = {SDL_SCANCODE_W, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D};

// The lowest and highest corner of every shell piece of every tunnel in both views, with the margin.
std::pair<glm::vec3, glm::vec3> levelBounds()
{
    glm::vec3 low(std::numeric_limits<float>::max()), high(std::numeric_limits<float>::lowest());
    for (const Tunnel* tunnel : gameState.tunnels)
        for (const auto* pieces : {&tunnel->getRealityPieces(), &tunnel->getGlassesPieces()})
            for (const GameObject* piece : *pieces) {
                const auto [first, second] = piece->worldBounds();
                low = glm::min(low, glm::min(first, second));
                high = glm::max(high, glm::max(first, second));
            }
    return {low - glm::vec3(LEVEL_MARGIN), high + glm::vec3(LEVEL_MARGIN)};
}

// Bodies the rules have added since the level was built: portals, and trains with their wheels.
int bodiesAddedByRules()
{
    int bodies = 0;
    for (const Tunnel* tunnel : gameState.tunnels) {
        for (const Portal* portal : tunnel->getPortals())
            bodies += BODIES_PER_PORTAL * (portal->getLinkedPortal() ? 2 : 1);
        for (const GameObject* object : tunnel->getObjects())
            bodies += dynamic_cast<const Train*>(object) ? 1 + WHEELS_PER_TRAIN : 0;
    }
    return bodies;
}

class SoakTest : public InGameWindow<PlayingFixture> {
protected:
    bool chance(double probability) { return std::bernoulli_distribution(probability)(random); }
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    template <typename T, std::size_t N> T anyOf(const std::array<T, N>& choices)
    {
        return choices[uniform(0, static_cast<int>(N) - 1)];
    }

    // A player who walks for a while, looks about, clicks and holds the button, and presses any
    // key but Escape and Q; the debug jumps come rarer, so that he also walks about where he lands.
    void randomInput()
    {
        if (chance(0.03))
            keys[anyOf(WALKING_KEYS)] ^= 1;
        if (chance(0.1)) {
            const int x = mouseMove(); // drawn apart: the order of arguments is the compiler's
            pushMouseMotion(x, mouseMove());
        }
        if (chance(0.05))
            pushButton(buttonDown = !buttonDown);
        if (chance(0.03))
            pushKey(anyOf(PLAYER_KEYS));
        if (chance(0.004))
            pushKey(anyOf(DEBUG_JUMP_KEYS));
    }

    // Mostly a hand's small moves, sometimes a flick, now and then any value the event can hold.
    int mouseMove()
    {
        const int reach = chance(0.9) ? 10 : chance(0.9) ? 2000 : std::numeric_limits<Sint32>::max();
        return uniform(-reach, reach);
    }

    // Fails at the first unsound state: a camera off the numbers, a player outside the level or
    // its tunnels, or bodies in the physics world that neither the level nor the rules put there.
    void expectSound(const std::pair<glm::vec3, glm::vec3>& level, int bodiesAtStart, bool ended, int played)
    {
        SCOPED_TRACE("after tick " + std::to_string(played) + " of seed " + std::to_string(SEED));
        const glm::vec3 eye = gameState.camera->syncPosition();
        for (const glm::vec3& point : {eye, gameState.camera->getTarget()})
            ASSERT_TRUE(std::isfinite(point.x + point.y + point.z)) << "the gameState.camera is not finite";
        ASSERT_TRUE(ended || (glm::all(glm::greaterThanEqual(eye, level.first)) &&
                              glm::all(glm::lessThanEqual(eye, level.second))))
            << "the player left the level at " << eye.x << ' ' << eye.y << ' ' << eye.z;
        ASSERT_EQ(std::count(gameState.tunnels, gameState.tunnels + TUNNEL_COUNT, gameState.currentTunnel), 1);
        ASSERT_EQ(dynamicsWorld()->getNumCollisionObjects(), bodiesAtStart + bodiesAddedByRules())
            << "bodies in the physics world, against those the level and the rules explain";
    }

    // Plays the soak's ticks of random input, or until the game ends, checking the state after
    // every tick and the drawing of every hundredth.
    void playRandomly()
    {
        const auto level = levelBounds();
        const int bodiesAtStart = dynamicsWorld()->getNumCollisionObjects() - bodiesAddedByRules();
        const char* ticksSetting = std::getenv("MARROWDEEP_SOAK_TICKS");
        const int ticks = ticksSetting ? std::atoi(ticksSetting) : DEFAULT_TICKS;
        int played = 0;
        bool ended = false;
        while (played < ticks && !ended) {
            randomInput();
            ended = tick() || gameState.won || gameState.lost;
            expectSound(level, bodiesAtStart, ended, ++played);
            if (HasFatalFailure())
                return;
            if (played % TICKS_PER_RENDERED_FRAME == 0) {
                gameRenderer().renderFrame(gameFrameView());
                ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame after tick " << played;
            }
        }
        std::cerr << "Soak: " << played << " ticks, " << bodiesAddedByRules() << " bodies added"
                  << (ended ? ", the game ended" : "") << std::endl;
    }

    std::mt19937 random{SEED};
    bool buttonDown = false;
};

TEST_F(SoakTest, RandomPlayFromTheStartKeepsTheGameSound)
{
    playRandomly();
}

} // namespace
