#include "play/Route.h"

#include "game/GameState.h"
#include "physics/Camera.h"
#include "play/PlayerInput.h"

#include <glm/gtc/constants.hpp>

#include <cmath>
#include <utility>

namespace {

// The player stands still when the eye moves less than this between two ticks.
constexpr float AT_REST = 0.01f;
constexpr int MAX_SETTLE_TICKS = 50;
// Mouse motion comes in whole pixels, one degree each; a second and third look correct the rest.
constexpr int AIM_ATTEMPTS = 3;
// Strafing stops this close to the wanted z (a step is one unit).
constexpr float LEVEL_WITH = 0.5f;
constexpr int MAX_STRAFE_TICKS = 100;

float degreesOf(float radians)
{
    return radians * 180.0f / glm::pi<float>();
}

// Heading about the vertical axis, growing as the view turns left (as a turn about +y does).
float headingDegrees(const glm::vec3& direction)
{
    return degreesOf(std::atan2(-direction.z, direction.x));
}

float pitchDegrees(const glm::vec3& direction)
{
    return degreesOf(std::asin(glm::clamp(direction.y, -1.0f, 1.0f)));
}

float wrapDegrees(float angle)
{
    while (angle > 180.0f)
        angle -= 360.0f;
    while (angle <= -180.0f)
        angle += 360.0f;
    return angle;
}

} // namespace

// Drives the game for one playing of a route: pushes events, holds keys, runs ticks.
class Route::Player {
public:
    explicit Player(const Controls& controls) : controls(controls) {}

    bool hasGameEnded() const { return gameEnded; }
    const std::string& getProblem() const { return problem; }

    // One game tick; false once the game has stopped.
    bool tick()
    {
        bool stop = controls.tick();
        // The main loop draws a frame after its ticks, and drawing reads the eye back from the
        // character body; mouse look then turns about where the eye really is.
        gameState.camera->syncPosition();
        gameEnded = stop || gameState.won || gameState.lost || gameState.quitRequested;
        return !gameEnded;
    }

    bool ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            if (!tick())
                return false;
        }
        return true;
    }

    bool fail(std::string what)
    {
        problem = std::move(what);
        return false;
    }

    void hold(SDL_Scancode key, bool down) { controls.keyboard[key] = down ? 1 : 0; }

    // Waits until the character body has stopped falling or settling, so that a look is measured
    // from where the eye really is.
    bool settle()
    {
        glm::vec3 before = gameState.camera->syncPosition();
        for (int i = 0; i < MAX_SETTLE_TICKS; ++i) {
            if (!tick())
                return false;
            glm::vec3 after = gameState.camera->syncPosition();
            if (glm::length(after - before) < AT_REST)
                return true;
            before = after;
        }
        return true;
    }

    bool aimAt(const glm::vec3& point)
    {
        if (!settle())
            return false;
        for (int attempt = 0; attempt < AIM_ATTEMPTS; ++attempt) {
            glm::vec3 current = gameState.camera->syncViewDirection();
            glm::vec3 wanted = glm::normalize(point - gameState.camera->syncPosition());
            // Moving the mouse right turns right, moving it down looks down.
            int xrel = static_cast<int>(std::lround(-wrapDegrees(headingDegrees(wanted) - headingDegrees(current))));
            int yrel = static_cast<int>(std::lround(pitchDegrees(current) - pitchDegrees(wanted)));
            if (xrel == 0 && yrel == 0)
                return true;
            pushMouseMotion(xrel, yrel);
            if (!tick())
                return false;
        }
        return true;
    }

    bool walkUntil(SDL_Scancode key, const Condition& arrived, int maxTicks)
    {
        hold(key, true);
        bool done = arrived();
        for (int i = 0; i < maxTicks && !done; ++i) {
            if (!tick())
                break;
            done = arrived();
        }
        hold(key, false);
        if (gameEnded)
            return false;
        return done || fail("not there after " + std::to_string(maxTicks) + " ticks");
    }

    bool strafeTo(float z)
    {
        glm::vec3 view = gameState.camera->syncViewDirection();
        glm::vec3 left = glm::normalize(glm::vec3(view.z, 0.0f, -view.x));
        float startOffset = z - gameState.camera->syncPosition().z;
        if (std::fabs(left.z) < 0.5f)
            return fail("the view is not across the tunnel's width");
        SDL_Scancode key = left.z * startOffset > 0.0f ? SDL_SCANCODE_A : SDL_SCANCODE_D;
        return walkUntil(key,
                         [z, startOffset] {
                             float offset = z - gameState.camera->syncPosition().z;
                             return std::fabs(offset) <= LEVEL_WITH || offset * startOffset < 0.0f;
                         },
                         MAX_STRAFE_TICKS);
    }

private:
    Controls controls;
    bool gameEnded = false;
    std::string problem;
};

Route::Route(std::string name) : name(std::move(name))
{
}

Route& Route::add(std::string description, std::function<bool(Player&)> play)
{
    steps.push_back(Step{std::move(description), std::move(play), {}});
    return *this;
}

Route& Route::aim(Target target, std::string description)
{
    return add(std::move(description), [target](Player& player) { return player.aimAt(target()); });
}

Route& Route::click(std::string description)
{
    return add(std::move(description), [](Player& player) {
        pushButton(true);
        pushButton(false);
        return player.tick();
    });
}

Route& Route::holdButton(int ticks, std::string description)
{
    return add(std::move(description), [ticks](Player& player) {
        pushButton(true);
        if (!player.ticks(ticks))
            return false;
        pushButton(false);
        return player.tick();
    });
}

Route& Route::press(SDL_Keycode key, std::string description)
{
    return add(std::move(description), [key](Player& player) {
        pushKey(key);
        return player.tick();
    });
}

Route& Route::walk(SDL_Scancode key, int ticks, std::string description)
{
    return add(std::move(description), [key, ticks](Player& player) {
        player.hold(key, true);
        bool going = player.ticks(ticks);
        player.hold(key, false);
        return going;
    });
}

Route& Route::walkUntil(SDL_Scancode key, Condition arrived, int maxTicks, std::string description)
{
    return add(std::move(description),
               [key, arrived, maxTicks](Player& player) { return player.walkUntil(key, arrived, maxTicks); });
}

Route& Route::strafeTo(float z, std::string description)
{
    return add(std::move(description), [z](Player& player) { return player.strafeTo(z); });
}

Route& Route::expect(Condition holds, std::string what)
{
    steps.back().expectations.emplace_back(std::move(holds), std::move(what));
    return *this;
}

Route& Route::then(const Route& more)
{
    steps.insert(steps.end(), more.steps.begin(), more.steps.end());
    return *this;
}

Route::Outcome Route::play(const Controls& controls) const
{
    Outcome outcome;
    outcome.stepCount = stepCount();
    Player player(controls);
    for (const Step& step : steps) {
        outcome.stepsPlayed += 1;
        std::string label = "step " + std::to_string(outcome.stepsPlayed) + "/" + std::to_string(outcome.stepCount) +
                            ": " + step.description;
        if (controls.report)
            *controls.report << label << std::endl;
        bool done = step.play(player);
        if (player.hasGameEnded()) {
            outcome.gameEnded = true;
            return outcome;
        }
        if (!done) {
            outcome.failure = label + ": " + player.getProblem();
            return outcome;
        }
        for (const auto& [holds, what] : step.expectations) {
            if (!holds()) {
                outcome.failure = label + ": expected " + what;
                return outcome;
            }
        }
        if (controls.stepDone)
            controls.stepDone(outcome.stepsPlayed);
    }
    return outcome;
}
