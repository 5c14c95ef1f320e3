#pragma once

// The level's plan: where the puzzles stand and which doors they open, read alike by the
// construction of the level and by the rules of the game.
//
// Tunnels are named here by their index in the tunnel table, from 0; the console ("Tunnel N"),
// the README and the level map count them from 1, so index n is the player's tunnel n + 1.

#include <glm/glm.hpp>

#include <cstdint>

// Door k of the tunnel with index n: the far-end doors first, then the near-end doors.
struct DoorIndex {
    int tunnel;
    int door;
};

namespace plan {

// The first door walked through by click, and the doors its first use opens.
inline constexpr DoorIndex FIRST_DOOR{0, 2};
inline constexpr DoorIndex FIRST_DOOR_BONUS[] = {{1, 5}, {3, 4}, {2, 5}, {3, 3}};

// The key, on the floor of its tunnel, and the doors each click on it opens.
inline constexpr int KEY_TUNNEL = 4;
inline const glm::vec3 KEY_SPOT(370.0f, 11.0f, 0.0f);
inline constexpr DoorIndex KEY_DOORS[] = {{2, 2}, {9, 5}};
inline constexpr DoorIndex KEY_DOOR_SHOWN_IN_GLASSES{0, 2};
inline constexpr DoorIndex KEY_LAST_DOOR{3, 5};

// The glass door stands in the key's tunnel, in the glasses view only: there it blocks the
// tunnel near its far end; in the reality view it waits out of the way, beyond the far end wall.
inline constexpr int GLASS_DOOR_TUNNEL = 4;
inline const glm::vec3 GLASS_DOOR_GLASSES_SPOT(350.0f, 0.0f, 0.0f);
inline const glm::vec3 GLASS_DOOR_REALITY_SPOT(450.0f, 0.0f, 0.0f);

// One switch (a front on a back plate) on the wall of each of three tunnels; only the third
// starts on.
inline constexpr int SWITCH_COUNT = 3;
inline constexpr int SWITCH_TUNNELS[SWITCH_COUNT] = {5, 7, 9};
inline constexpr bool SWITCH_STARTS_ON[SWITCH_COUNT] = {false, false, true};
inline const glm::vec3 SWITCH_SPOT(20.0f, 6.0f, 20.0f);
// Opened with their partners when every switch is on; the first six close again when one is off.
inline constexpr DoorIndex SWITCH_DOORS_THAT_CLOSE[] = {{10, 3}, {10, 4}, {10, 5}, {16, 0}, {16, 1}, {16, 2}};
inline constexpr DoorIndex SWITCH_DOORS_THAT_STAY[] = {{7, 1}, {7, 5}, {7, 6}, {9, 1},
                                                       {9, 2}, {10, 2}, {17, 1}, {17, 2}};

// View switches counted in these two tunnels open two doors for a while, and once some more.
inline constexpr int VIEW_SWITCH_TUNNELS[] = {11, 18};
inline constexpr DoorIndex MULTI_VIEW_DOORS[] = {{11, 2}, {18, 2}};
inline constexpr DoorIndex MULTI_VIEW_BONUS[] = {{1, 1}, {4, 3}, {5, 2}, {5, 3}, {5, 4}, {7, 4}};

// The button that gives way when held for more than this long.
inline constexpr int BUTTON_TUNNEL = 20;
inline constexpr std::uint32_t PATIENCE_MS = 15000;

// Three movable cubes across the cube tunnel, and as many static hint cubes shown in the glasses
// view; the list of cubes holds the movable ones first.
inline constexpr int CUBE_TUNNEL = 17;
inline constexpr int MOVABLE_CUBES = 3;
inline constexpr int HINT_CUBES = 3;
// The glasses view parks the movable cubes behind the wall and shows the hint cubes in line.
inline const glm::vec3 HIDDEN_OFFSET(0.0f, 0.0f, 100.0f);
inline const glm::vec3 HINT_CUBE_POSITIONS[HINT_CUBES] = {{1600.0f, 1.0f, 200.0f}, {1590.0f, 1.0f, 200.0f},
                                                       {1580.0f, 1.0f, 200.0f}};
inline constexpr DoorIndex ALIGN_DOORS[] = {{5, 0}, {5, 1}, {15, 0}, {15, 1}, {15, 3}, {15, 4}};

// The two doors that end the game, in the far walls of these tunnels, in this order.
inline constexpr int FINAL_DOOR_TUNNELS[] = {13, 19};

// Clicking this door in the reality view starts the trains, the first one in its own tunnel.
inline constexpr DoorIndex TRAIN_START_DOOR{3, 2};
inline constexpr int FIRST_TRAIN_TUNNEL = 11;
// Tunnels in which the train schedule never starts a train.
inline constexpr int TRAIN_FREE_TUNNELS[] = {5, 15, 17};

} // namespace plan
