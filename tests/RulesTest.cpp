#include "support/PlayingFixture.h"

#include "game/GameState.h"
#include "game/PlayerState.h"
#include "game/Puzzles.h"
#include "game/Rules.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "world/Door.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <algorithm>

namespace {

using RulesTest = PlayingFixture;


// Distance from a point to the nearest point of an axis-aligned box given by its two corners.
float distanceToBox(const glm::vec3& point, const std::pair<glm::vec3, glm::vec3>& box)
{
    glm::vec3 low = glm::min(box.first, box.second);
    glm::vec3 high = glm::max(box.first, box.second);
    return glm::length(point - glm::clamp(point, low, high));
}

// Doors by click.
TEST_F(RulesTest, ClickingAnOpenDoorCarriesThePlayerBesideItsPartnerAndOpensThePortals)
{
    Door* door = this->door(0, 0);
    Door* partner = door->getPartner();
    glm::vec3 doorBefore = door->getPosition();
    pushKey(SDLK_e);
    tick();

    clickDoor(0, 0);

    EXPECT_EQ(gameState.currentTunnel, tunnel(1));
    // Tunnel 1 lies beyond tunnel 0's far end: the player comes out at its near end, facing +x.
    glm::vec3 eye = camera->syncPosition();
    EXPECT_NEAR(eye.x, partner->getPosition().x + 5.0f, 0.5f);
    EXPECT_NEAR(eye.z, partner->getPosition().z, 0.5f);
    EXPECT_GT(camera->getViewDirection().x, 0.9f);
    EXPECT_TRUE(door->arePortalsOpened());
    EXPECT_EQ(tunnel(0)->getPortals().size(), 1u);
    EXPECT_EQ(tunnel(1)->getPortals().size(), 1u);
    EXPECT_FALSE(tunnel(1)->containsObject(partner));
    EXPECT_EQ(door->getPosition(), doorBefore + glm::vec3(500.0f, 500.0f, 500.0f));
}

TEST_F(RulesTest, ADoorClickedInTheViewItIsClosedInDoesNothing)
{
    glm::vec3 doorBefore = door(0, 0)->getPosition();

    clickDoor(0, 0);

    EXPECT_EQ(gameState.currentTunnel, tunnel(0));
    EXPECT_EQ(door(0, 0)->getPosition(), doorBefore);
    EXPECT_TRUE(tunnel(1)->getPortals().empty());
}

TEST_F(RulesTest, TheDoorJustComeInByCannotBeClickedBackThrough)
{
    pushKey(SDLK_e);
    tick();
    clickDoor(0, 0);
    ASSERT_EQ(gameState.currentTunnel, tunnel(1));
    Door* wayBack = door(1, 4);
    ASSERT_TRUE(wayBack->clickableInGlasses);

    clickDoor(1, 4);

    ASSERT_TRUE(isHitByViewLine(wayBack));
    EXPECT_EQ(gameState.currentTunnel, tunnel(1));
    EXPECT_EQ(tunnel(1)->getPortals().size(), 1u);
}

TEST_F(RulesTest, AnOpenDoorWithoutPartnerTakesTheClickNowhere)
{
    jumpTo(10);
    Door* unpaired = door(10, 0);
    ASSERT_TRUE(unpaired->isUnpaired());
    // No puzzle opens this door; it is opened here to show that a click could not use it anyway.
    unpaired->setOpen(true, false);
    glm::vec3 doorBefore = unpaired->getPosition();

    clickDoor(10, 0);

    ASSERT_TRUE(isHitByViewLine(unpaired));
    EXPECT_EQ(gameState.currentTunnel, tunnel(10));
    EXPECT_EQ(unpaired->getPosition(), doorBefore);
    EXPECT_TRUE(tunnel(10)->getPortals().empty());
}

// Doors by touch and portals.
TEST_F(RulesTest, WalkingBackwardsIntoTheTouchDoorCarriesThePlayerToTunnel4)
{
    pushKey(SDLK_e);
    tick();
    clickDoor(0, 0);
    Door* touchDoor = door(1, 0);
    ASSERT_TRUE(touchDoor->passOnTouch);
    glm::vec3 arrival = touchDoor->getPartner()->getPosition() + glm::vec3(3.0f, 10.0f, 0.0f);

    play(Route("to the touch door")
             .aim(alongTunnel(-1.0f), "turn round")
             .strafeTo(touchDoor->getPosition().z, "line up with the touch door")
             .walkUntil(SDL_SCANCODE_S, [] { return gameState.inTunnel(4); }, 600, "walk backwards into it"));

    glm::vec3 eye = camera->syncPosition();
    EXPECT_NEAR(eye.x, arrival.x, 0.5f);
    EXPECT_NEAR(eye.z, arrival.z, 0.5f);
    EXPECT_LT(camera->getViewDirection().x, -0.9f);
    // A touch makes no portal and leaves the door where it stands.
    EXPECT_TRUE(tunnel(4)->getPortals().empty());
    EXPECT_TRUE(tunnel(1)->containsObject(touchDoor));
    EXPECT_FALSE(playerState->transitPending);
}

TEST_F(RulesTest, WalkingIntoAVisiblePortalCarriesThePlayerToTheLinkedSideFacingOnward)
{
    pushKey(SDLK_e);
    tick();
    clickDoor(0, 0);
    ASSERT_EQ(tunnel(1)->getPortals().size(), 1u);
    Portal* portal = tunnel(1)->getPortals()[0];
    Portal* linked = portal->getLinkedPortal();

    play(Route("into the portal")
             .walkUntil(SDL_SCANCODE_S, [] { return gameState.inTunnel(0); }, 100, "walk backwards into the portal"));

    EXPECT_EQ(linked->getTunnel(), tunnel(0));
    // Backing out of tunnel 1's near end comes out of tunnel 0's far end, still backing away
    // from it: facing +x, a few units on the tunnel's side of the linked portal.
    glm::vec3 eye = camera->syncPosition();
    EXPECT_GT(camera->getViewDirection().x, 0.9f);
    EXPECT_GT(eye.x, linked->getPosition().x);
    EXPECT_LT(eye.x, linked->getPosition().x + 4.0f);
    EXPECT_NEAR(eye.z, linked->getPosition().z, 0.5f);
}

// Trains.
TEST_F(RulesTest, ClickingDoor2OfTunnel3InTheRealityViewStartsATrainInTunnel11)
{
    jumpTo(3);

    clickDoor(3, 2);

    EXPECT_TRUE(gameState.trainsStarted);
    ASSERT_NE(tunnel(11)->getTrain(), nullptr);
    EXPECT_TRUE(tunnel(11)->containsObject(tunnel(11)->getTrain()));
    EXPECT_EQ(gameState.trainTunnels, (std::vector<int>{5, 15, 17, 11}));
    EXPECT_EQ(gameState.currentTunnel, tunnel(11));
}

TEST_F(RulesTest, ClickingDoor2OfTunnel3InTheGlassesViewStartsNoTrain)
{
    jumpTo(3);
    pushKey(SDLK_e);
    tick();

    clickDoor(3, 2);

    EXPECT_EQ(gameState.currentTunnel, tunnel(11));
    EXPECT_FALSE(gameState.trainsStarted);
    EXPECT_EQ(tunnel(11)->getTrain(), nullptr);
}

TEST_F(RulesTest, ClickingTheStartDoorAgainStartsAnotherTrainInTunnel11)
{
    jumpTo(3);
    clickDoor(3, 2);
    Train* first = tunnel(11)->getTrain();
    pushKey(SDLK_BACKSPACE); // back to tunnel 3, where the used door now hangs far above
    tick();

    clickDoor(3, 2);

    EXPECT_NE(tunnel(11)->getTrain(), first);
    EXPECT_TRUE(tunnel(11)->containsObject(first));
    EXPECT_EQ(std::count(gameState.trainTunnels.begin(), gameState.trainTunnels.end(), 11), 2);
}

TEST_F(RulesTest, ANewTrainStartsOnlyWhenMoreThanAMinuteHasPassed)
{
    jumpTo(3);
    clickDoor(3, 2);
    std::uint32_t started = gameState.lastTrainTicks;
    ASSERT_EQ(started, clock.ticks() - 0u);
    std::size_t trainsBefore = gameState.trainTunnels.size();

    clock.set(started + 60000 - 40);
    EXPECT_EQ(ticksWithOutput(1), "");
    EXPECT_EQ(gameState.trainTunnels.size(), trainsBefore);

    EXPECT_EQ(ticksWithOutput(1), "Attention, a new train has started.\n");
    ASSERT_EQ(gameState.trainTunnels.size(), trainsBefore + 1);
    int chosen = gameState.trainTunnels.back();
    EXPECT_GE(chosen, 0);
    EXPECT_LT(chosen, TUNNEL_COUNT);
    EXPECT_TRUE(chosen != 5 && chosen != 15 && chosen != 17 && chosen != 11);
    EXPECT_NE(tunnel(chosen)->getTrain(), nullptr);
    EXPECT_EQ(gameState.lastTrainTicks, clock.ticks());
}

TEST_F(RulesTest, OnceEveryTunnelHasATrainTheScheduleStartsNoMore)
{
    jumpTo(3);
    clickDoor(3, 2);
    // Seventeen tunnels are left for the schedule after 5, 15, 17 and 11.
    for (int i = 0; i < 17; ++i) {
        clock.advance(60001);
        EXPECT_EQ(ticksWithOutput(1), "Attention, a new train has started.\n");
    }
    for (int index = 0; index < TUNNEL_COUNT; ++index)
        EXPECT_NE(std::find(gameState.trainTunnels.begin(), gameState.trainTunnels.end(), index),
                  gameState.trainTunnels.end());

    clock.advance(60001);
    EXPECT_EQ(ticksWithOutput(1), "");
    EXPECT_EQ(gameState.trainTunnels.size(), 21u);
}

TEST_F(RulesTest, ATrainThatReachesThePlayerEndsTheGameAsLost)
{
    jumpTo(3);
    clickDoor(3, 2);
    Train* train = tunnel(11)->getTrain();
    play(Route("onto the track")
             .strafeTo(train->getPosition().z, "step onto the track")
             .walk(SDL_SCANCODE_W, 40, "walk into the train's run"));

    bool stopped = false;
    for (int i = 0; i < 600 && !stopped; ++i)
        stopped = tick();

    EXPECT_TRUE(stopped);
    EXPECT_TRUE(gameState.lost);
    EXPECT_TRUE(playerState->hitByTrain);
    EXPECT_LT(distanceToBox(camera->syncPosition(), train->worldBounds()), camera->getHalfWidth());
}

TEST_F(RulesTest, TheTrainHitNeedsTheEyeStrictlyWithinTheBodyRadiusOfTheTrainsBox)
{
    jumpTo(3);
    clickDoor(3, 2);
    Train* train = tunnel(11)->getTrain();
    auto [high, low] = train->worldBounds();
    glm::vec3 beside(low.x - camera->getHalfWidth(), (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f);
    camera->setPositionAndTarget(beside, beside + glm::vec3(10.0f, 0.0f, 0.0f));

    EXPECT_FALSE(checkTrainHit(train));
    EXPECT_FALSE(playerState->hitByTrain);

    glm::vec3 closer = beside + glm::vec3(0.5f, 0.0f, 0.0f);
    camera->setPositionAndTarget(closer, closer + glm::vec3(10.0f, 0.0f, 0.0f));
    EXPECT_TRUE(checkTrainHit(train));
    EXPECT_TRUE(playerState->hitByTrain);
}

TEST_F(RulesTest, OnlyATrainCountsAsAHit)
{
    Door* door = this->door(0, 1);
    glm::vec3 atDoor = centreOf(door);
    camera->setPositionAndTarget(atDoor, atDoor + glm::vec3(10.0f, 0.0f, 0.0f));

    EXPECT_TRUE(checkTrainHit(door));
    EXPECT_FALSE(playerState->hitByTrain);
}

// Final doors.
TEST_F(RulesTest, TheFinalDoorOfTunnel13IsLockedUntilTheButtonWasHeld)
{
    jumpTo(13);
    lookAndClick(objectCentre([] { return gameState.finalDoors[0]; }));
    ASSERT_TRUE(isHitByViewLine(gameState.finalDoors[0]));
    EXPECT_FALSE(gameState.won);
}

TEST_F(RulesTest, TheFinalDoorOfTunnel13WinsAfterTheButtonWasHeld)
{
    jumpTo(20);
    play(Route("patience").holdButton(380, "hold the button"));
    ASSERT_TRUE(gameState.patienceDone);
    jumpTo(13);

    lookAndClick(objectCentre([] { return gameState.finalDoors[0]; }));

    EXPECT_TRUE(gameState.won);
}

TEST_F(RulesTest, TheFinalDoorOfTunnel19WinsWithTheKeySolid)
{
    jumpTo(4);
    play(Route("key").then(upToTheKey()).click("click").click("click"));
    ASSERT_TRUE(gameState.finalDoorUsable);
    jumpTo(19);
    lookAndClick(objectCentre([] { return gameState.finalDoors[1]; }));
    EXPECT_TRUE(gameState.won);
}

TEST_F(RulesTest, TheFinalDoorOfTunnel19IsLockedWhileTheKeyIsSeeThrough)
{
    jumpTo(4);
    play(Route("key").then(upToTheKey()).click("click"));
    ASSERT_TRUE(tunnel(4)->containsObject(gameState.transparentKey));
    ASSERT_FALSE(gameState.finalDoorUsable);
    jumpTo(19);
    lookAndClick(objectCentre([] { return gameState.finalDoors[1]; }));
    ASSERT_TRUE(isHitByViewLine(gameState.finalDoors[1]));
    EXPECT_FALSE(gameState.won);
}

} // namespace
