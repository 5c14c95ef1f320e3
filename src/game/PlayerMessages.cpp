#include "game/PlayerMessages.h"

#include "game/GameState.h"

#include <algorithm>
#include <iostream>

void PlayerMessages::say(std::string_view line)
{
    say(line, line);
}

void PlayerMessages::say(std::string_view consoleLine, std::string_view screenLine)
{
    std::cout << consoleLine << std::endl;
    show(screenLine, SHOWN_FOR_MS);
}

void PlayerMessages::show(std::string_view screenLine, std::uint32_t forMilliseconds)
{
    if (count == SHOWN_AT_ONCE) {
        std::rotate(lines.begin(), lines.begin() + 1, lines.end());
        --count;
    }
    Line& line = lines[count++];
    line.text.assign(screenLine.data(), screenLine.size());
    line.shownAt = gameState.now();
    line.shownFor = forMilliseconds;
}

float PlayerMessages::Line::opacityAt(std::uint32_t now) const
{
    const std::uint32_t age = now - shownAt;
    if (age >= shownFor)
        return 0.0f;
    const std::uint32_t left = shownFor - age;
    return left >= FADE_MS ? 1.0f : static_cast<float>(left) / static_cast<float>(FADE_MS);
}
