// Draws the level as built by the game, seen from above, into an SVG picture: tunnels with
// their numbers as the console shows them, doors coloured by their start state, lines between
// partner doors and the puzzle objects. Usage: marrowdeep-levelmap <output.svg>
// Runs from the game folder (it reads assets/) and needs a display (xvfb-run will do).
#include "game/GameState.h"
#include "game/Level.h"
#include "level/Tunnel.h"
#include "level/TunnelShape.h"
#include "physics/PhysicsWorld.h"
#include "world/Door.h"

#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

namespace {

constexpr float SCALE = 0.6f;     // pixels per world unit
constexpr float MARGIN_X = 60.0f; // world units left of tunnel 1's near end
constexpr float MARGIN_Z = 60.0f; // world units above the first row of tunnels
using shape::TUNNEL_LENGTH;
using shape::TUNNEL_WIDTH;

float mapX(float x)
{
    return (x + MARGIN_X) * SCALE;
}

float mapY(float z)
{
    return (z + MARGIN_Z) * SCALE;
}

const char* doorColour(const Door* door)
{
    if (door->passOnTouch)
        return "#e8891c"; // walk backwards into it
    if (door->clickableInReality && door->clickableInGlasses)
        return "#2e9e44"; // usable in both views
    if (door->clickableInGlasses)
        return "#2f6fd6"; // glasses view only
    if (door->clickableInReality)
        return "#b5a000"; // reality view only
    return "#9a9a9a";     // closed until a puzzle opens it
}

void writeTunnels(std::ostream& svg)
{
    for (int index = 0; index < TUNNEL_COUNT; ++index) {
        glm::vec3 origin = gameState.tunnels[index]->getPosition();
        svg << "<rect x='" << mapX(origin.x - shape::PIECE_LENGTH / 2) << "' y='" << mapY(origin.z - TUNNEL_WIDTH / 2) << "' width='"
            << TUNNEL_LENGTH * SCALE << "' height='" << TUNNEL_WIDTH * SCALE
            << "' fill='#3b3833' stroke='#1d1b18'/>\n";
        svg << "<text x='" << mapX(origin.x + 180) << "' y='" << mapY(origin.z) + 5
            << "' fill='#f4eede' font-size='14' text-anchor='middle'>" << index + 1 << "</text>\n";
    }
}

void writePartnerLines(std::ostream& svg)
{
    std::set<const Door*> drawn;
    for (int index = 0; index < TUNNEL_COUNT; ++index) {
        for (const Door* door : gameState.tunnels[index]->getDoors()) {
            const Door* partner = door->getPartner();
            if (!partner || drawn.count(partner))
                continue;
            drawn.insert(door);
            glm::vec3 a = door->getPosition();
            glm::vec3 b = partner->getPosition();
            svg << "<line x1='" << mapX(a.x) << "' y1='" << mapY(a.z) << "' x2='" << mapX(b.x) << "' y2='"
                << mapY(b.z) << "' stroke='#c9c2b0' stroke-width='0.8' stroke-opacity='0.7'/>\n";
        }
    }
}

void writeDoors(std::ostream& svg)
{
    for (int index = 0; index < TUNNEL_COUNT; ++index) {
        for (const Door* door : gameState.tunnels[index]->getDoors()) {
            glm::vec3 p = door->getPosition();
            svg << "<rect x='" << mapX(p.x) - 2 << "' y='" << mapY(p.z - 4) << "' width='4' height='"
                << 8 * SCALE << "' fill='" << doorColour(door) << "'/>\n";
        }
    }
}

void writeMarker(std::ostream& svg, const GameObject* object, const char* colour, const char* label)
{
    glm::vec3 p = object->getPosition();
    svg << "<circle cx='" << mapX(p.x) << "' cy='" << mapY(p.z) << "' r='4' fill='" << colour
        << "' stroke='#000' stroke-width='0.5'><title>" << label << "</title></circle>\n";
}

void writePuzzleObjects(std::ostream& svg)
{
    writeMarker(svg, gameState.key, "#d8a826", "key");
    for (const auto& entry : gameState.switchStates)
        writeMarker(svg, entry.first, entry.second ? "#e33" : "#822", "switch");
    for (std::size_t i = 0; i < 3 && i < gameState.cubes.size(); ++i)
        writeMarker(svg, gameState.cubes[i], "#a35bd6", "cube");
    writeMarker(svg, gameState.button, "#f06bb3", "button");
    for (const GameObject* finalDoor : gameState.finalDoors)
        writeMarker(svg, finalDoor, "#fff", "final door");
}

void writeLegend(std::ostream& svg, float top)
{
    const std::pair<const char*, const char*> entries[] = {
        {"#2e9e44", "door usable in both views"}, {"#2f6fd6", "door usable in the glasses view"},
        {"#e8891c", "touch door (walk backwards)"}, {"#9a9a9a", "door closed at start"},
        {"#d8a826", "key"}, {"#e33", "switch"}, {"#a35bd6", "cube"}, {"#f06bb3", "button"}, {"#fff", "final door"}};
    float x = 10;
    for (const auto& entry : entries) {
        svg << "<rect x='" << x << "' y='" << top << "' width='10' height='10' fill='" << entry.first
            << "' stroke='#000' stroke-width='0.5'/>";
        svg << "<text x='" << x + 14 << "' y='" << top + 9 << "' font-size='11' fill='#ddd'>" << entry.second
            << "</text>\n";
        x += 14 + 6.2f * static_cast<float>(std::string(entry.second).size()) + 14;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: marrowdeep-levelmap <output.svg>" << std::endl;
        return 2;
    }
    initPhysics();
    buildLevel();

    float width = mapX(2300);
    float height = mapY(320) + 30;
    std::ostringstream svg;
    svg << "<svg xmlns='http://www.w3.org/2000/svg' width='" << width << "' height='" << height
        << "' font-family='DejaVu Sans, sans-serif'>\n";
    svg << "<rect width='100%' height='100%' fill='#15171c'/>\n";
    svg << "<text x='10' y='18' font-size='14' fill='#eee'>Marrowdeep level map: top view, x across, z down; "
           "tunnels numbered as the game prints them</text>\n";
    writeTunnels(svg);
    writePartnerLines(svg);
    writeDoors(svg);
    writePuzzleObjects(svg);
    writeLegend(svg, height - 20);
    svg << "</svg>\n";

    std::ofstream(argv[1]) << svg.str();
    std::cout << "level map written to " << argv[1] << std::endl;
    return 0; // the level lives until the process ends, as in the game
}
