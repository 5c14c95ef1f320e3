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

#include <set>
#include <string>

namespace {

// Eight-wide doors with equal gaps between them and at both sides of a forty-wide wall.
void expectSpreadOverTheWall(const std::vector<Door*>& wall, const glm::vec3& wallMiddle)
{
    float gap = (40.0f - 8.0f * wall.size()) / (wall.size() + 1);
    for (std::size_t k = 0; k < wall.size(); ++k)
        expectNear(wallMiddle + glm::vec3(0, 0, -20 + gap + k * (8 + gap) + 4), wall[k]->getPosition(), 1e-3f);
}

using LevelTest = LevelFixture;

TEST_F(LevelTest, EveryDoorLeadsToANeighbourWhosePartnerDoorLeadsBackAndDoorsSpreadOverTheirWalls)
{
    int unpaired = 0;
    for (int i = 0; i < TUNNEL_COUNT; ++i) {
        SCOPED_TRACE("tunnel " + std::to_string(i));
        const std::vector<Door*>& doors = tunnel(i)->getDoors();
        const std::size_t farWallDoors = tunnel(i)->getForwardTunnels().size();
        ASSERT_EQ(farWallDoors + tunnel(i)->getBackTunnels().size(), doors.size());
        for (Door* door : doors) {
            const Door* partner = door->getPartner();
            unpaired += partner ? 0 : 1;
            EXPECT_TRUE(!partner || (partner->getDestination() == tunnel(i) && partner->getPartner() == door &&
                                     door->getDestination()->containsObject(partner)));
            if (!partner) // an unpaired door has no other side to show
                door->openPortals(gameState.portalModels, camera);
        }
        EXPECT_TRUE(tunnel(i)->getPortals().empty());
        // Beyond stairs (two more shell pieces) the far wall stands 24 higher and 2 nearer.
        const glm::vec3 origin = tunnel(i)->getPosition();
        const glm::vec3 farWall(origin.x + 379, tunnel(i)->getRealityPieces()[9]->getPosition().y, origin.z);
        expectSpreadOverTheWall({doors.begin(), doors.begin() + farWallDoors},
                                farWall - glm::vec3(tunnel(i)->getRealityPieces().size() > 10 ? 2 : 0, 0, 0));
        expectSpreadOverTheWall({doors.begin() + farWallDoors, doors.end()}, origin + glm::vec3(-19, 0, 0));
    }
    EXPECT_EQ(unpaired, 4) << "the two couples between tunnels that face each other only one way";
}

TEST_F(LevelTest, ThePlayerStartsInTheFirstTunnelAndTheSharedModelsAreReleasedOnceAtShutdown)
{
    EXPECT_EQ(tunnel(0), gameState.currentTunnel);
    EXPECT_EQ(camera, playerState->camera);
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
    const std::set<Model*> released(levelModels.begin(), levelModels.end());
    EXPECT_EQ(released.size(), levelModels.size()) << "a model released twice";
    for (Model* model : shared)
        EXPECT_EQ(released.count(model), 1u);
}

} // namespace
