#include "level/Level.h"
#include "game/GameState.h"
#include "game/PlayerState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Model.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "world/Door.h"
#include "world/Train.h"

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <tuple>

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

// The hint signs: tunnel, place among its placed objects, and turn about y in degrees.
const std::tuple<int, int, float> SIGNS[] = {{0, 0, 90},  {11, 0, 0},  {18, 0, 0}, {20, 1, 90},
                                             {5, 2, -90}, {7, 2, -90}, {9, 2, -90}};

// Eight-wide doors with equal gaps between them and at both sides of a forty-wide wall.
void expectSpreadOverTheWall(const std::vector<Door*>& wall, const glm::vec3& wallMiddle)
{
    float gap = (40.0f - 8.0f * wall.size()) / (wall.size() + 1);
    for (std::size_t k = 0; k < wall.size(); ++k)
        expectNear(wallMiddle + glm::vec3(0, 0, -20 + gap + k * (8 + gap) + 4), wall[k]->getPosition(), 1e-3f);
}

class LevelTest : public LevelFixture {
protected:
    // The objects placed in a tunnel: those of its list after its doors.
    std::vector<GameObject*> placedObjects(int tunnelIndex) const
    {
        const auto& objects = tunnel(tunnelIndex)->getObjects();
        return std::vector<GameObject*>(objects.begin() + tunnel(tunnelIndex)->getDoors().size(), objects.end());
    }
};

TEST_F(LevelTest, TwentyOneTunnelsStandAsMappedWithADoorPerNeighbourPairedButFourAndElevenUsableAtTheStart)
{
    // Shown in Reality and Glasses, clickable in reality and glasses, passed by Touch; "-" for not.
    const std::map<std::pair<int, int>, std::string> usable = {{{0, 1}, "-G-g-"},  {{0, 2}, "-G-g-"}, {{1, 0}, "-G-g-"},
                                                               {{1, 2}, "-G-g-"},  {{2, 1}, "-G-g-"}, {{2, 0}, "-G-g-"},
                                                               {{1, 4}, "RG--T"},  {{4, 1}, "RGrg-"}, {{2, 7}, "RGrg-"},
                                                               {{3, 11}, "RGrg-"}, {{11, 3}, "RGrg-"}};
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        SCOPED_TRACE("tunnel " + std::to_string(i));
        const TunnelPlan& plan = LEVEL_MAP[i];
        ASSERT_NE(nullptr, tunnel(i));
        expectNear(plan.origin, tunnel(i)->getPosition());
        EXPECT_EQ(hasStairs(i) ? 12u : 10u, tunnel(i)->getRealityPieces().size());
        EXPECT_TRUE(tunnel(i)->getPortals().empty() && tunnel(i)->getTrain() == nullptr);

        const std::vector<Door*> doors = tunnel(i)->getDoors();
        const std::size_t farWallDoors = plan.forward.size();
        ASSERT_EQ(farWallDoors + plan.back.size(), doors.size());
        for (std::size_t k = 0; k < doors.size(); ++k) {
            SCOPED_TRACE("door " + std::to_string(k));
            const Door* door = doors[k];
            const int to = k < farWallDoors ? plan.forward[k] : plan.back[k - farWallDoors];
            EXPECT_EQ(tunnel(to), door->getDestination());
            // The doors between tunnels 6 and 8 and between 10 and 14 have no partner.
            const std::set<int> pair{i, to};
            const Door* partner = door->getPartner();
            if (pair == std::set<int>{6, 8} || pair == std::set<int>{10, 14})
                EXPECT_EQ(nullptr, partner);
            else
                EXPECT_TRUE(partner && partner->getDestination() == tunnel(i) && tunnel(to)->containsObject(partner));
            const std::string state = {door->isShownInReality() ? 'R' : '-', door->isShownInGlasses() ? 'G' : '-',
                                       door->clickableInReality ? 'r' : '-', door->clickableInGlasses ? 'g' : '-',
                                       door->passOnTouch ? 'T' : '-'};
            const auto start = usable.find({i, to});
            EXPECT_EQ(start == usable.end() ? "-----" : start->second, state);
        }
        expectSpreadOverTheWall({doors.begin(), doors.begin() + farWallDoors},
                                plan.origin + (hasStairs(i) ? glm::vec3(377, 24, 0) : glm::vec3(379, 0, 0)));
        expectSpreadOverTheWall({doors.begin() + farWallDoors, doors.end()}, plan.origin + glm::vec3(-19, 0, 0));
    }
    for (int i = TUNNEL_COUNT; i < TUNNEL_SLOTS; ++i)
        EXPECT_EQ(nullptr, gameState.tunnels[i]) << "slot " << i;
}

TEST_F(LevelTest, TwentyThreeObjectsStandInTheTunnelsAfterTheDoorsAndTheGameRecordsThem)
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
        {20, {{2220, 10, 40}, {2190, 0, 20}}}};
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        std::vector<GameObject*> objects = placedObjects(i);
        auto expected = placed.find(i);
        ASSERT_EQ(expected == placed.end() ? 0 : expected->second.size(), objects.size()) << "tunnel " << i;
        for (std::size_t k = 0; k < objects.size(); ++k)
            expectNear(expected->second[k], objects[k]->getPosition());
    }
    EXPECT_EQ(gameState.key, placedObjects(4)[0]);
    EXPECT_EQ(gameState.button, placedObjects(20)[0]);
    EXPECT_EQ((std::vector<GameObject*>{placedObjects(13)[0], placedObjects(19)[0]}), gameState.finalDoors);
    // Three movable cubes across tunnel 17, three hint cubes sharing one point.
    EXPECT_EQ(placedObjects(17), gameState.cubes);
    ASSERT_EQ(3u, gameState.cubeStartPositions.size());
    for (int i = 0; i < 3; ++i)
        expectNear(gameState.cubes[i]->getPosition(), gameState.cubeStartPositions[i]);
    // A switch is a front and a back in each of tunnels 5, 7 and 9.
    EXPECT_EQ((std::vector<GameObject*>{placedObjects(5)[1], placedObjects(7)[1], placedObjects(9)[1]}),
              gameState.switchBacks);
    for (const auto& [signTunnel, index, turn] : SIGNS) {
        const float angle = glm::radians(turn);
        const glm::vec3 localX(placedObjects(signTunnel)[index]->getModelMatrix()[0]);
        expectNear({std::cos(angle), 0, -std::sin(angle)}, localX);
    }
    // Both keys stand at half size where the key stands; the see-through one and the glass door
    // stand in no tunnel.
    expectNear(gameState.key->getPosition(), gameState.transparentKey->getPosition());
    for (GameObject* key : {gameState.key, gameState.transparentKey})
        EXPECT_NEAR(0.5f, glm::length(glm::vec3(key->getModelMatrix()[1])), TOLERANCE);
    ASSERT_NE(nullptr, glassDoor);
    for (int i = 0; i < TUNNEL_COUNT; ++i)
        EXPECT_FALSE(tunnel(i)->containsObject(gameState.transparentKey) || tunnel(i)->containsObject(glassDoor));
}

TEST_F(LevelTest, ThePlayerStartsInTheFirstTunnelAndTheSharedModelsAreReleasedOnceAtShutdown)
{
    EXPECT_EQ(tunnel(0), gameState.currentTunnel);
    ASSERT_NE(nullptr, playerState);
    EXPECT_EQ(camera, playerState->camera);
    expectNear({40, 10, 0}, camera->getPosition());
    EXPECT_EQ((std::vector<int>{5, 15, 17}), gameState.trainTunnels) << "tunnels that never get a train";

    // Models that many objects share: the shells with their stairs, doors, trains, portals and signs.
    tunnel(0)->spawnTrain();
    std::set<Model*> shared(gameState.portalModels.begin(), gameState.portalModels.end());
    for (int i : {0, 5})
        for (const auto* pieces : {&tunnel(i)->getRealityPieces(), &tunnel(i)->getGlassesPieces()})
            for (GameObject* piece : *pieces)
                shared.insert(piece->getModel());
    shared.insert(door(0, 0)->getModel());
    shared.insert(tunnel(0)->getTrain()->getModel());
    for (const auto& [signTunnel, index, turn] : SIGNS)
        shared.insert(placedObjects(signTunnel)[index]->getModel());
    EXPECT_EQ(15u, shared.size());
    EXPECT_EQ(shared.size(), levelModels.size());
    EXPECT_EQ(shared, std::set<Model*>(levelModels.begin(), levelModels.end()));
}

} // namespace
