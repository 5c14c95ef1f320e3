// The level as it is built: tunnels of shell pieces and stairs, doors paired across them, the
// models the level shares.
#include "game/Level.h"
#include "level/DoorPortals.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "world/Model.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "support/WorldFixture.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Train.h"

#include <btBulletDynamicsCommon.h>

#include <set>
#include <string>
#include <vector>

namespace {

using LevelTest = LevelFixture;

TEST_F(LevelTest, EveryDoorLeadsToANeighbourWhosePartnerDoorLeadsBack)
{
    int unpaired = 0;
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        SCOPED_TRACE("tunnel " + std::to_string(i));
        const std::vector<Door*>& doors = tunnel(i)->getDoors();
        ASSERT_EQ(tunnel(i)->getForwardTunnels().size() + tunnel(i)->getBackTunnels().size(), doors.size());
        for (Door* door : doors) {
            const Door* partner = door->getPartner();
            unpaired += partner ? 0 : 1;
            EXPECT_TRUE(!partner || (partner->getDestination() == tunnel(i) && partner->getPartner() == door &&
                                     door->getDestination()->containsObject(partner)));
            if (!partner) // an unpaired door has no other side to show
                openPortals(*door, gameState.portalModels, *gameState.camera);
        }
        EXPECT_TRUE(tunnel(i)->getPortals().empty());
    }
    EXPECT_EQ(unpaired, 4) << "the two couples between tunnels that face each other only one way";
}

TEST_F(LevelTest, ThePlayerStartsInTheFirstTunnelAndTheSharedModelsAreReleasedOnceAtShutdown)
{
    EXPECT_EQ(tunnel(0), gameState.currentTunnel);
    // Models that many objects share: the shells with their stairs, doors, trains and portals,
    // each released once.
    tunnel(0)->spawnTrain();
    std::set<Model*> shared(gameState.portalModels.begin(), gameState.portalModels.end());
    for (int i : {0, 5})
        for (const auto* pieces : {&tunnel(i)->getRealityPieces(), &tunnel(i)->getGlassesPieces()})
            for (GameObject* piece : *pieces)
                shared.insert(piece->getModel());
    shared.insert(door(0, 0)->getModel());
    shared.insert(tunnel(0)->getTrain()->getModel());
    const std::set<Model*> released(gameState.levelModels.begin(), gameState.levelModels.end());
    EXPECT_EQ(released.size(), gameState.levelModels.size()) << "a model released twice";
    for (Model* model : shared)
        EXPECT_EQ(released.count(model), 1u);
}

// Tunnels built by hand from the level's own models, outside the level.
using TunnelTest = WorldFixture;

TEST_F(TunnelTest, StairsLiftWhatStandsBeyondThemOntoTheUpperFloorAndLeaveWhatStandsBefore)
{
    Tunnel* tunnel = makeTunnel(940, 0, 40);
    const glm::vec3 origin = tunnel->getPosition();
    auto* before = new GameObject(doorModel.get());
    auto* beyond = new GameObject(doorModel.get());
    tunnel->place(before, 100, 0, 5);
    tunnel->place(beyond, 300, 0, 5);
    auto* stairsReality = new Model("tunnel/reality", "dungeon_large_stairs24.obj");
    auto* stairsGlasses = new Model("tunnel/glasses", "dungeon_large_stairs24.obj");
    tunnel->addStairs(stairsReality, stairsGlasses);

    // The first piece after the stairs begins the upper floor.
    const glm::vec3 upperStart = tunnel->getGlassesPieces()[6]->getPosition();
    EXPECT_GT(upperStart.y, origin.y);
    expectNear(origin + glm::vec3(100, 0, 5), before->getPosition());
    EXPECT_FLOAT_EQ(beyond->getPosition().y, upperStart.y);
    EXPECT_LT(beyond->getPosition().x, origin.x + 300) << "pulled back towards the stairs";
    for (const auto* pieces : {&tunnel->getRealityPieces(), &tunnel->getGlassesPieces()}) {
        EXPECT_EQ(pieces->front()->getModel(), (*pieces)[9]->getModel()) << "both ends are dead ends";
        // The far end is turned half round about y: its local x axis runs along world -x.
        EXPECT_GT(pieces->front()->getModelMatrix()[0][0], 0.999f);
        EXPECT_LT((*pieces)[9]->getModelMatrix()[0][0], -0.999f);
    }
    EXPECT_EQ(stairsReality, tunnel->getRealityPieces()[5]->getModel());
    EXPECT_EQ(stairsGlasses, tunnel->getGlassesPieces().back()->getModel());
}

TEST_F(TunnelTest, FindDoorOnRayGivesTheFirstListedDoorOfTheAskedWallInTheTunnelThatTheLineMeetsAhead)
{
    Tunnel* tunnel = makeTunnel(490, 0, 0);
    for (int i = 0; i < 3; ++i)
        tunnel->addForward(makeTunnel(940, 0, 40.0f * i));
    std::vector<Door*> doors = tunnel->connect({makeTunnel(40, 0, 0), makeTunnel(40, 0, 40), makeTunnel(40, 0, 80)});
    // A line down the middle of the tunnel meets the middle door of the wall it looks at.
    glm::vec3 eye(690, 10, 0);
    EXPECT_EQ(doors[1], tunnel->findDoorOnRay(eye, {30, 0, 0}, true));
    EXPECT_EQ(nullptr, tunnel->findDoorOnRay(eye, {30, 0, 0}, false)) << "behind the eye";
    EXPECT_EQ(doors[4], tunnel->findDoorOnRay(eye, {-30, 0, 0}, false));
    // Along the far wall from the +z side the last door is nearest, but the first is returned.
    glm::vec3 beside(869, 10, 30);
    EXPECT_EQ(doors[0], tunnel->findDoorOnRay(beside, {0, 0, -30}, true));
    EXPECT_EQ(nullptr, tunnel->findDoorOnRay(beside, {0, 0, -30}, false));
    EXPECT_EQ(nullptr, tunnel->findDoorOnRay({690, 35, 0}, {30, 0, 0}, true)) << "high above every door";
    // A door moved out of its wall, as a door walked through is, is no longer in the tunnel.
    doors[0]->move(500, 0, 0);
    EXPECT_EQ(nullptr, tunnel->findDoorOnRay(doors[0]->getPosition() + glm::vec3(-30, 10, 0), {30, 0, 0}, true));
}

} // namespace
