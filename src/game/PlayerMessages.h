#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The one place the game tells the player something. A status line goes to standard output as
// it always has, and its screen line (in words where the console's is cryptic) is kept with the
// game time it was said at, for the overlay to show for a while.
class PlayerMessages {
public:
    // Screen lines shown at once: a new one pushes out the oldest.
    static constexpr std::size_t SHOWN_AT_ONCE = 4;
    // A said line stays on screen this long, in milliseconds of game time...
    static constexpr std::uint32_t SHOWN_FOR_MS = 3000;
    // ...fading out over the last part of it.
    static constexpr std::uint32_t FADE_MS = 1000;

    // The line to standard output, and the same line on screen.
    void say(std::string_view line);
    // The console line to standard output, and a screen line of its own.
    void say(std::string_view consoleLine, std::string_view screenLine);
    // A screen line without a console line, shown for the given time.
    void show(std::string_view screenLine, std::uint32_t forMilliseconds);

    // Calls visit(text, opacity) for each line still on screen at game time `now`, oldest
    // first; opacity runs from 1 down to 0 as the line fades.
    template <typename Visit> void forEachShown(std::uint32_t now, Visit visit) const
    {
        for (std::size_t i = 0; i < count; ++i) {
            const float opacity = lines[i].opacityAt(now);
            if (opacity > 0.0f)
                visit(lines[i].text, opacity);
        }
    }

private:
    struct Line {
        std::string text;
        std::uint32_t shownAt = 0;  // game time it was said at, ms
        std::uint32_t shownFor = 0; // how long it stays, ms
        float opacityAt(std::uint32_t now) const;
    };

    std::array<Line, SHOWN_AT_ONCE> lines; // oldest first
    std::size_t count = 0;                 // lines in use
};
