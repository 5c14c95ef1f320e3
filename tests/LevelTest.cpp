#include "level/Level.h"
#include "game/GameState.h"
#include "game/PlayerState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Model.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "world/Door.h"

#include <glm/glm.hpp>

#include <map>
#include <set>
#include <utility>

namespace {

// The level's map: where each tunnel stands and where its two end walls lead.
struct TunnelPlan {
    glm::vec3 origin;
    std::vector<int> forward; // far wall, door by door
    std::vector<int> back;    // near wall, from low z to high z
};

const std::vector<TunnelPlan> LEVEL_MAP = {
    {{40, 0, 0}, {1, 2, 3}, {}},
    {{490, 0, 0}, {4, 5, 6, 7}, {0, 3, 2}},
    {{490, 0, 40}, {7, 8, 9}, {1, 0, 3}},
    {{490, 0, 80}, {9, 10, 11}, {2, 1, 0}},
    {{940, 0, 0}, {}, {1, 7, 6, 5}},
    {{940, 0, 40}, {12, 13}, {4, 1, 7, 6}},
    {{940, 0, 80}, {14, 8}, {5, 4, 1, 7}},
    {{940, 0, 120}, {8, 9, 2}, {6, 5, 4, 1}},
    {{940, 0, 160}, {6, 14}, {7, 2, 9}},
    {{940, 0, 200}, {10, 11, 3}, {8, 7, 2}},
    {{940, 0, 240}, {14, 15, 16}, {9, 3, 11}},
    {{940, 0, 280}, {16, 17, 18}, {10, 9, 3}},
    {{1390, 0, 0}, {}, {5, 13}},
    {{1390, 0, 40}, {}, {12, 5}},
    {{1390, 0, 80}, {15, 16, 10}, {6, 8}},
    {{1390, 0, 120}, {19, 20}, {14, 10, 16}},
    {{1390, 0, 160}, {17, 18, 11}, {15, 14, 10}},
    {{1390, 0, 200}, {}, {16, 11, 18}},
    {{1390, 0, 240}, {}, {17, 16, 11}},
    {{1840, 0, 0}, {}, {15, 20}},
    {{1840, 0, 40}, {}, {19, 15}},
};

// The two tunnels with stairs: their far end stands 24 higher and 2 nearer.
bool hasStairs(int tunnelIndex)
{
    return tunnelIndex == 5 || tunnelIndex == 15;
}

struct DoorFlags {
    bool shownInReality, shownInGlasses, clickableInReality, clickableInGlasses, passOnTouch;
};

DoorFlags flagsOf(const Door* door)
{
    return {door->isShownInReality(), door->isShownInGlasses(), door->clickableInReality, door->clickableInGlasses,
            door->passOnTouch};
}

bool operator==(const DoorFlags& a, const DoorFlags& b)
{
    return a.shownInReality == b.shownInReality && a.shownInGlasses == b.shownInGlasses &&
           a.clickableInReality == b.clickableInReality && a.clickableInGlasses == b.clickableInGlasses &&
           a.passOnTouch == b.passOnTouch;
}

class LevelTest : public LevelFixture {
protected:
    int indexOf(const Tunnel* wanted) const
    {
        for (int i = 0; i < TUNNEL_COUNT; ++i) {
            if (tunnel(i) == wanted)
                return i;
        }
        return -1;
    }

    // The door of tunnel `from` whose destination is tunnel `to`, found by walking the doors.
    Door* doorBetween(int from, int to) const
    {
        for (Door* door : tunnel(from)->getDoors()) {
            if (door->getDestination() == tunnel(to))
                return door;
        }
        return nullptr;
    }

    // The objects placed in a tunnel: those of its list after its doors.
    std::vector<GameObject*> placedObjects(int tunnelIndex) const
    {
        const auto& objects = tunnel(tunnelIndex)->getObjects();
        return std::vector<GameObject*>(objects.begin() + tunnel(tunnelIndex)->getDoors().size(), objects.end());
    }
};

TEST_F(LevelTest, TwentyOneTunnelsFillTheFirstSlotsAndTheRestStayEmpty)
{
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        ASSERT_NE(nullptr, tunnel(i)) << "tunnel " << i;
        expectNear(LEVEL_MAP[i].origin, tunnel(i)->getPosition());
    }
    for (int i = TUNNEL_COUNT; i < TUNNEL_SLOTS; ++i)
        EXPECT_EQ(nullptr, gameState.tunnels[i]) << "slot " << i;
    EXPECT_EQ(tunnel(0), gameState.currentTunnel);
}

TEST_F(LevelTest, EveryTunnelHasOneDoorPerNeighbourFarWallFirst)
{
    int doorCount = 0;
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        const TunnelPlan& plan = LEVEL_MAP[i];
        std::vector<Door*> doors = tunnel(i)->getDoors();
        ASSERT_EQ(plan.forward.size() + plan.back.size(), doors.size()) << "tunnel " << i;
        for (std::size_t k = 0; k < plan.forward.size(); ++k)
            EXPECT_EQ(tunnel(plan.forward[k]), doors[k]->getDestination()) << "tunnel " << i << " door " << k;
        for (std::size_t k = 0; k < plan.back.size(); ++k)
            EXPECT_EQ(tunnel(plan.back[k]), doors[plan.forward.size() + k]->getDestination())
                << "tunnel " << i << " door " << plan.forward.size() + k;
        doorCount += static_cast<int>(doors.size());
    }
    EXPECT_EQ(98, doorCount);
}

TEST_F(LevelTest, DoorsStandWhereTheWorkedExamplesPutThem)
{
    const float firstFar[] = {-12, 0, 12};
    for (int k = 0; k < 3; ++k)
        expectNear({419, 0, firstFar[k]}, door(0, k)->getPosition());
    const float secondFar[] = {-14.4f, -4.8f, 4.8f, 14.4f};
    for (int k = 0; k < 4; ++k)
        expectNear({869, 0, secondFar[k]}, door(1, k)->getPosition());
    for (int k = 0; k < 3; ++k)
        expectNear({471, 0, firstFar[k]}, door(1, 4 + k)->getPosition());
    expectNear({1317, 24, 32}, door(5, 0)->getPosition());
    expectNear({1317, 24, 48}, door(5, 1)->getPosition());
}

TEST_F(LevelTest, DoorsOfEachWallAreEightWideWithEqualGapsAcrossTheFortyWideWall)
{
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        const TunnelPlan& plan = LEVEL_MAP[i];
        std::vector<Door*> doors = tunnel(i)->getDoors();
        std::vector<Door*> farWall(doors.begin(), doors.begin() + plan.forward.size());
        std::vector<Door*> nearWall(doors.begin() + plan.forward.size(), doors.end());
        glm::vec3 farWallBase = plan.origin + (hasStairs(i) ? glm::vec3(377, 24, 0) : glm::vec3(379, 0, 0));
        glm::vec3 nearWallBase = plan.origin + glm::vec3(-19, 0, 0);
        for (auto wall : {std::make_pair(farWall, farWallBase), std::make_pair(nearWall, nearWallBase)}) {
            const std::vector<Door*>& wallDoors = wall.first;
            if (wallDoors.empty())
                continue;
            float n = static_cast<float>(wallDoors.size());
            float gap = (40 - 8 * n) / (n + 1);
            float edge = wall.second.z - 20;
            for (std::size_t k = 0; k < wallDoors.size(); ++k) {
                glm::vec3 at = wallDoors[k]->getPosition();
                EXPECT_NEAR(wall.second.x, at.x, TOLERANCE) << "tunnel " << i;
                EXPECT_NEAR(wall.second.y, at.y, TOLERANCE) << "tunnel " << i;
                // Left edge of door k: one gap and k doors with their gaps in from the wall's side.
                EXPECT_NEAR(edge + gap + k * (8 + gap), at.z - 4, 1e-3f) << "tunnel " << i << " door " << k;
            }
        }
    }
}

TEST_F(LevelTest, OnlyElevenDoorsStartUsableAndTheTouchDoorOnlyByTouch)
{
    struct DoorState {
        int from, to, index;
        glm::vec3 world;
        DoorFlags flags;
    };
    const DoorFlags glassesOnly{false, true, false, true, false};
    const DoorFlags open{true, true, true, true, false};
    const std::vector<DoorState> table = {
        {0, 1, 0, {419, 0, -12}, glassesOnly},
        {0, 2, 1, {419, 0, 0}, glassesOnly},
        {1, 0, 4, {471, 0, -12}, glassesOnly},
        {1, 2, 6, {471, 0, 12}, glassesOnly},
        {2, 1, 3, {471, 0, 28}, glassesOnly},
        {2, 0, 4, {471, 0, 40}, glassesOnly},
        {1, 4, 0, {869, 0, -14.4f}, {true, true, false, false, true}},
        {4, 1, 0, {921, 0, -14.4f}, open},
        {2, 7, 0, {869, 0, 28}, open},
        {3, 11, 2, {869, 0, 92}, open},
        {11, 3, 5, {921, 0, 292}, open},
    };
    std::set<const Door*> listed;
    for (const DoorState& state : table) {
        Door* listedDoor = door(state.from, state.index);
        EXPECT_EQ(tunnel(state.to), listedDoor->getDestination()) << state.from << "->" << state.to;
        expectNear(state.world, listedDoor->getPosition());
        EXPECT_TRUE(flagsOf(listedDoor) == state.flags) << state.from << "->" << state.to;
        listed.insert(listedDoor);
    }
    int closedDoors = 0;
    const DoorFlags closed{false, false, false, false, false};
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        for (Door* other : tunnel(i)->getDoors()) {
            if (listed.count(other))
                continue;
            EXPECT_TRUE(flagsOf(other) == closed) << "a door of tunnel " << i;
            ++closedDoors;
        }
    }
    EXPECT_EQ(87, closedDoors);
}

TEST_F(LevelTest, EveryDoorIsPairedWithTheDoorBackExceptFourBetweenTunnelsSixEightTenAndFourteen)
{
    const std::set<std::pair<int, int>> unpaired = {{6, 8}, {8, 6}, {10, 14}, {14, 10}};
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        for (Door* door : tunnel(i)->getDoors()) {
            int to = indexOf(door->getDestination());
            ASSERT_GE(to, 0);
            if (unpaired.count({i, to})) {
                EXPECT_TRUE(door->isUnpaired()) << i << "->" << to;
                expectNear(door->getPosition(), door->getPartnerPosition());
            } else {
                EXPECT_EQ(doorBetween(to, i), door->getPartner()) << i << "->" << to;
            }
        }
    }
}

TEST_F(LevelTest, ShellsAndLightsCountTenPiecesAndThreeLightsPerTunnelTwelveWithStairs)
{
    std::size_t reality = 0;
    std::size_t glasses = 0;
    std::size_t lights = 0;
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        std::size_t expected = hasStairs(i) ? 12 : 10;
        EXPECT_EQ(expected, tunnel(i)->getRealityPieces().size()) << "tunnel " << i;
        EXPECT_EQ(expected, tunnel(i)->getGlassesPieces().size()) << "tunnel " << i;
        reality += tunnel(i)->getRealityPieces().size();
        glasses += tunnel(i)->getGlassesPieces().size();
        lights += tunnel(i)->getLights().size();
        EXPECT_TRUE(tunnel(i)->getPortals().empty());
        EXPECT_EQ(nullptr, tunnel(i)->getTrain());
    }
    EXPECT_EQ(214u, reality);
    EXPECT_EQ(214u, glasses);
    EXPECT_EQ(63u, lights);
}

TEST_F(LevelTest, TwentyThreeObjectsStandInTheTunnelsAfterTheDoors)
{
    const std::map<int, std::vector<glm::vec3>> placed = {
        {0, {{340, 0, -20}}},
        {4, {{1310, 11, 0}}},
        {5, {{960, 6, 60}, {960, 6, 60}, {980, 0, 60}}},
        {7, {{960, 6, 140}, {960, 6, 140}, {980, 0, 140}}},
        {9, {{960, 6, 220}, {960, 6, 220}, {980, 0, 220}}},
        {11, {{1290, 0, 280}}},
        {13, {{1769, 0, 40}}},
        {17, {{1590, 5, 192}, {1590, 5, 200}, {1590, 5, 208}, {1390, 5, 300}, {1390, 5, 300}, {1390, 5, 300}}},
        {18, {{1740, 0, 240}}},
        {19, {{2219, 0, 0}}},
        {20, {{2220, 10, 40}, {2190, 0, 20}}},
    };
    std::size_t total = 0;
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        std::vector<GameObject*> objects = placedObjects(i);
        auto expected = placed.find(i);
        std::size_t count = expected == placed.end() ? 0 : expected->second.size();
        ASSERT_EQ(count, objects.size()) << "tunnel " << i;
        for (std::size_t k = 0; k < count; ++k)
            expectNear(expected->second[k], objects[k]->getPosition());
        total += objects.size();
    }
    EXPECT_EQ(23u, total);

    EXPECT_EQ(gameState.key, placedObjects(4)[0]);
    EXPECT_EQ(gameState.button, placedObjects(20)[0]);
    EXPECT_EQ((std::vector<GameObject*>{placedObjects(13)[0], placedObjects(19)[0]}), gameState.finalDoors);
    EXPECT_EQ(placedObjects(17), gameState.cubes);
    EXPECT_EQ((std::vector<GameObject*>{placedObjects(5)[1], placedObjects(7)[1], placedObjects(9)[1]}),
              gameState.switchBacks);
}

TEST_F(LevelTest, SignsAreTurnedToFaceTheTunnelAndKeysStandAtHalfSize)
{
    // Turned 90 degrees about y, a sign's local x axis points along world -z; turned -90, along +z.
    EXPECT_NEAR(-1.0f, placedObjects(0)[0]->getModelMatrix()[0][2], TOLERANCE);
    EXPECT_NEAR(-1.0f, placedObjects(20)[1]->getModelMatrix()[0][2], TOLERANCE);
    for (int switchTunnel : {5, 7, 9})
        EXPECT_NEAR(1.0f, placedObjects(switchTunnel)[2]->getModelMatrix()[0][2], TOLERANCE);
    EXPECT_NEAR(1.0f, placedObjects(11)[0]->getModelMatrix()[0][0], TOLERANCE);

    for (GameObject* key : {gameState.key, gameState.transparentKey}) {
        glm::mat4 matrix = key->getModelMatrix();
        EXPECT_NEAR(0.5f, glm::length(glm::vec3(matrix[0])), TOLERANCE);
        EXPECT_NEAR(0.5f, glm::length(glm::vec3(matrix[1])), TOLERANCE);
        EXPECT_NEAR(0.5f, glm::length(glm::vec3(matrix[2])), TOLERANCE);
    }
}

TEST_F(LevelTest, TheSeeThroughKeyAndTheGlassDoorStandInNoTunnel)
{
    ASSERT_NE(nullptr, gameState.transparentKey);
    ASSERT_NE(nullptr, glassDoor);
    expectNear({1310, 11, 0}, gameState.transparentKey->getPosition());
    expectNear({0, 0, 0}, glassDoor->getPosition());
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        EXPECT_FALSE(tunnel(i)->containsObject(gameState.transparentKey));
        EXPECT_FALSE(tunnel(i)->containsObject(glassDoor));
    }
}

TEST_F(LevelTest, OnlyTheThirdSwitchStartsOn)
{
    ASSERT_EQ(3u, gameState.switchStates.size());
    const std::vector<std::pair<int, bool>> switches = {{5, false}, {7, false}, {9, true}};
    for (const auto& [switchTunnel, on] : switches) {
        GameObject* front = placedObjects(switchTunnel)[0];
        ASSERT_EQ(1u, gameState.switchStates.count(front)) << "switch in tunnel " << switchTunnel;
        EXPECT_EQ(on, gameState.switchStates.at(front)) << "switch in tunnel " << switchTunnel;
    }
}

TEST_F(LevelTest, ThreeCubesStandAcrossTunnelSeventeenAndThreeHintCubesShareOnePoint)
{
    ASSERT_EQ(6u, gameState.cubes.size());
    ASSERT_EQ(3u, gameState.cubeStartPositions.size());
    for (int i = 0; i < 3; ++i)
        expectNear(gameState.cubes[i]->getPosition(), gameState.cubeStartPositions[i]);
    expectNear({1590, 5, 200}, gameState.cubeStartPositions[1]);
    for (int i = 3; i < 6; ++i)
        expectNear({1390, 5, 300}, gameState.cubes[i]->getPosition());
}

TEST_F(LevelTest, ThePlayerStartsInTheFirstTunnelWithTheGameRecordsFilled)
{
    ASSERT_NE(nullptr, playerState);
    ASSERT_NE(nullptr, camera);
    EXPECT_EQ(camera, playerState->camera);
    EXPECT_FALSE(playerState->hitByTrain);
    EXPECT_FALSE(playerState->transitPending);
    EXPECT_EQ(nullptr, playerState->transitDoor);
    expectNear({40, 10, 0}, camera->getPosition());

    EXPECT_EQ((std::vector<int>{5, 15, 17}), gameState.trainTunnels);
    ASSERT_EQ(2u, gameState.portalModels.size());
    EXPECT_EQ("assets/portal", gameState.portalModels[0]->getDirectory());
    EXPECT_EQ("assets/portal", gameState.portalModels[1]->getDirectory());
    EXPECT_NE(gameState.portalModels[0], gameState.portalModels[1]);
}

TEST_F(LevelTest, TheModelsReleasedAtShutdownAreFifteenDistinctSharedModels)
{
    ASSERT_EQ(15u, levelModels.size());
    std::set<Model*> distinct(levelModels.begin(), levelModels.end());
    EXPECT_EQ(15u, distinct.size());
    // Shell models first, the train body and the door next, then the portal's two models.
    EXPECT_EQ(tunnel(0)->getRealityPieces()[1]->getModel(), levelModels[0]);
    EXPECT_EQ(tunnel(0)->getRealityPieces()[0]->getModel(), levelModels[1]);
    EXPECT_EQ(tunnel(0)->getGlassesPieces()[1]->getModel(), levelModels[2]);
    EXPECT_EQ(tunnel(0)->getGlassesPieces()[0]->getModel(), levelModels[3]);
    EXPECT_EQ(door(0, 0)->getModel(), levelModels[5]);
    EXPECT_EQ(gameState.portalModels[0], levelModels[6]);
    EXPECT_EQ(gameState.portalModels[1], levelModels[7]);
    EXPECT_EQ(tunnel(5)->getRealityPieces()[5]->getModel(), levelModels[8]);
    EXPECT_EQ(tunnel(5)->getGlassesPieces()[5]->getModel(), levelModels[9]);
    EXPECT_EQ(placedObjects(0)[0]->getModel(), levelModels[10]);
    EXPECT_EQ(placedObjects(11)[0]->getModel(), levelModels[11]);
    EXPECT_EQ(placedObjects(20)[1]->getModel(), levelModels[12]);
    EXPECT_EQ(placedObjects(5)[2]->getModel(), levelModels[13]);
    EXPECT_EQ(placedObjects(18)[0]->getModel(), levelModels[14]);
}

} // namespace
