#pragma once

#include <SDL.h>
#include <glm/glm.hpp>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// A way through the level as a player plays it: looking about with the mouse, clicking, pressing
// keys and holding the walking keys, one game tick after another. Playing a route touches the
// game only through input (SDL events and the keyboard-state array) and the tick it is given;
// it reads the world only to decide where to look and when to stop walking, as a player's eyes
// would.
class Route {
public:
    using Condition = std::function<bool()>;
    // A world point, found when the step is played (the level does not exist before).
    using Target = std::function<glm::vec3()>;

    // What playing a route needs: the keyboard array the game reads, one game tick (true when
    // the game stops) and where to report the steps.
    struct Controls {
        Uint8* keyboard = nullptr;
        std::function<bool()> tick;
        std::ostream* report = nullptr;
        // Called after each step that was done, with its number from 1 (for screenshots).
        std::function<void(int)> stepDone;
    };

    struct Outcome {
        int stepsPlayed = 0;   // steps begun, the failed or ending one included
        int stepCount = 0;     // steps of the route
        bool gameEnded = false; // the game stopped (won, lost or quit) during the route
        std::string failure;   // empty unless a step could not be done
    };

    explicit Route(std::string name);

    // Turns the view towards the point with mouse motion, after the player has come to rest.
    Route& aim(Target target, std::string description);
    // Presses and releases the left mouse button within one tick.
    Route& click(std::string description);
    // Holds the left mouse button down for a number of ticks, then lets go.
    Route& holdButton(int ticks, std::string description);
    Route& press(SDL_Keycode key, std::string description);
    Route& walk(SDL_Scancode key, int ticks, std::string description);
    // Holds the walking key until the condition holds; fails after maxTicks.
    Route& walkUntil(SDL_Scancode key, Condition arrived, int maxTicks, std::string description);
    // Steps sideways (A or D, whichever leads there) until the eye is level with z.
    Route& strafeTo(float z, std::string description);
    // A check of the previous step's result; the route fails there when it does not hold.
    Route& expect(Condition holds, std::string what);
    // Appends the steps of another route.
    Route& then(const Route& more);

    // Plays the steps in order until the last one is done, one fails or the game ends.
    Outcome play(const Controls& controls) const;

    const std::string& getName() const { return name; }
    int stepCount() const { return static_cast<int>(steps.size()); }

private:
    class Player;
    struct Step {
        std::string description;
        std::function<bool(Player&)> play; // false when the step could not be done
        std::vector<std::pair<Condition, std::string>> expectations;
    };

    Route& add(std::string description, std::function<bool(Player&)> play);

    std::string name;
    std::vector<Step> steps;
};
