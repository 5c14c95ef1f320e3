#include "support/PlayingFixture.h"

#include "game/Rules.h"
#include "game/TickInput.h"
#include "level/DoorPortals.h"
#include "level/LevelPlan.h"
#include "render/Renderer.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <algorithm>
#include <vector>

namespace {

const char* const NEW_TRAIN_LINE = "Attention, a new train has started.\n";

class RulesTest : public PlayingFixture {
protected:
    // Door 0 of tunnel 0 is open in the glasses view only: the way into tunnel 1.
    void intoTunnel1ThroughTheGlasses()
    {
        pushKey(SDLK_e);
        tick();
        clickDoor(0, 0);
        ASSERT_TRUE(gameState.inTunnel(1));
    }

    void clickFinalDoor(int index)
    {
        lookAndClick(objectCentre([index] { return gameState.finalDoors[index]; }));
        ASSERT_TRUE(isHitByViewLine(gameState.finalDoors[index]));
    }

    // The eye stands by the point across the floor, looking down the tunnel towards +x or -x.
    static void expectEyeAt(const glm::vec3& point, float facing, float tolerance = 0.5f)
    {
        const glm::vec3 eye = gameState.camera->syncPosition();
        EXPECT_NEAR(eye.x, point.x, tolerance);
        EXPECT_NEAR(eye.z, point.z, tolerance);
        EXPECT_GT(gameState.camera->syncViewDirection().x * facing, 0.9f);
    }

    static long trainsIn(int tunnel)
    {
        return std::count(gameState.trainTunnels.begin(), gameState.trainTunnels.end(), tunnel);
    }
};

TEST_F(RulesTest, ADoorCarriesThePlayerBesideItsPartnerOnlyInAViewItIsOpenInAndNeverBackThroughIt)
{
    Door* glassesDoor = door(0, 0);
    const glm::vec3 doorBefore = glassesDoor->getPosition();
    clickDoor(0, 0); // in the reality view, where it is closed
    EXPECT_TRUE(gameState.inTunnel(0));
    EXPECT_EQ(glassesDoor->getPosition(), doorBefore);

    intoTunnel1ThroughTheGlasses();
    // Tunnel 1 lies beyond tunnel 0's far end: the player comes out at its near end, facing +x.
    expectEyeAt(glassesDoor->getPartner()->getPosition() + glm::vec3(5.0f, 0.0f, 0.0f), 1.0f);
    EXPECT_EQ(tunnel(0)->getPortals().size(), 1u);
    EXPECT_FALSE(tunnel(1)->containsObject(glassesDoor->getPartner()));
    EXPECT_NE(glassesDoor->getPosition(), doorBefore); // moved out of the way

    clickDoor(1, 4); // the partner's place, where the player came in
    ASSERT_TRUE(isHitByViewLine(door(1, 4)));
    EXPECT_TRUE(gameState.inTunnel(1));
    EXPECT_EQ(tunnel(1)->getPortals().size(), 1u);
}

TEST_F(RulesTest, APortalCarriesThePlayerToTheLinkedSideFacingOnwardAndATouchDoorByWalkingBackwardsIntoIt)
{
    intoTunnel1ThroughTheGlasses();
    Portal* linked = tunnel(1)->getPortals().at(0)->getLinkedPortal();
    play(Route("into the portal").walkUntil(SDL_SCANCODE_S, inTunnel(0), 100, "back into it"));
    // Backing out of tunnel 1's near end comes out of tunnel 0's far end, still backing away
    // from it: facing +x, a few units on the tunnel's side of the linked portal.
    expectEyeAt(linked->getPosition() + glm::vec3(2.0f, 0.0f, 0.0f), 1.0f, 2.0f);

    Door* touchDoor = door(1, 0);
    play(Route("to the touch door")
             .walkUntil(SDL_SCANCODE_W, inTunnel(1), 100, "into the portal again")
             .aim(alongTunnel(-1.0f), "turn round")
             .strafeTo(touchDoor->getPosition().z, "line up with the touch door")
             .walkUntil(SDL_SCANCODE_S, inTunnel(4), 600, "walk backwards into it"));
    // The player stands beside the partner door, looking at it; the touch made no portal.
    expectEyeAt(touchDoor->getPartner()->getPosition() + glm::vec3(3.0f, 0.0f, 0.0f), -1.0f);
    EXPECT_TRUE(tunnel(4)->getPortals().empty());
    EXPECT_TRUE(tunnel(1)->containsObject(touchDoor));
}

TEST_F(RulesTest, ATickPlaysThePlayersActionsAndStepsTheWorldAlsoWhenItEndsTheGameButNotWhilePaused)
{
    rest();
    const float standing = gameState.camera->syncPosition().y;
    TickInput input;
    input.press(SDL_SCANCODE_C, SDLK_c); // the body rises from the next physics step on
    input.paused = true;
    EXPECT_FALSE(runTick(input));
    EXPECT_EQ(gameState.camera->syncPosition().y, standing);
    input.actions.clear();
    input.paused = false;
    input.quit = true;
    EXPECT_TRUE(runTick(input));
    EXPECT_GT(gameState.camera->syncPosition().y, standing + 0.1f);
}

// The far-end doors of tunnels 2, 3 and 11 face far-end doors of tunnels 7, 9 and 16: walking
// into the portal at the end of one tunnel comes out of the end of the other, turned round.
TEST_F(RulesTest, APortalBetweenTwoFarEndDoorsTurnsThePlayerHalfRound)
{
    for (auto [from, to] : {std::pair(2, 7), std::pair(3, 9), std::pair(11, 16)}) {
        SCOPED_TRACE("from tunnel " + std::to_string(from) + " to " + std::to_string(to));
        Door* farDoor = door(from, 0);
        ASSERT_EQ(farDoor->getDestination(), tunnel(to));
        openPortals(*farDoor, gameState.portalModels, *gameState.camera);
        jumpTo(from);
        play(Route("into the portal")
                 .strafeTo(farDoor->getPosition().z, "line up with the far-end door")
                 .aim(alongTunnel(1.0f), "look down the tunnel")
                 .walkUntil(SDL_SCANCODE_W, inTunnel(to), 600, "walk into the portal"));
        expectEyeAt(farDoor->getPartner()->getPosition() - glm::vec3(8.0f, 0.0f, 0.0f), -1.0f, 2.0f);
    }
}

// In the glasses view the glass door stands across the key's tunnel near its far end.
TEST_F(RulesTest, TheGlassDoorStopsThePlayerInTheGlassesViewOnly)
{
    const float glassDoorX = tunnel(plan::GLASS_DOOR_TUNNEL)->getPosition().x + plan::GLASS_DOOR_GLASSES_SPOT.x;
    for (bool realityView : {false, true}) {
        jumpTo(plan::GLASS_DOOR_TUNNEL);
        if (gameState.realityView != realityView)
            pushKey(SDLK_e);
        keys[SDL_SCANCODE_W] = 1;
        ticks(400);
        keys[SDL_SCANCODE_W] = 0;
        EXPECT_EQ(gameState.camera->syncPosition().x < glassDoorX, !realityView) << (realityView ? "reality" : "glasses");
    }
}

TEST_F(RulesTest, Door2OfTunnel3StartsATrainInTunnel11OnEveryClickInTheRealityView)
{
    std::vector<int> trainTunnels = gameState.trainTunnels;
    jumpTo(3);
    door(3, 2)->setRealityOpen(false);
    clickDoor(3, 2); // shut: it starts a train but carries no one
    EXPECT_TRUE(gameState.inTunnel(3));
    Train* first = tunnel(11)->getTrain();
    ASSERT_NE(first, nullptr);
    door(3, 2)->setRealityOpen(true);
    clickDoor(3, 2);
    EXPECT_TRUE(gameState.inTunnel(11));
    EXPECT_NE(tunnel(11)->getTrain(), first);
    EXPECT_TRUE(tunnel(11)->containsObject(first));
    trainTunnels.insert(trainTunnels.end(), {11, 11});
    EXPECT_EQ(gameState.trainTunnels, trainTunnels);

    jumpTo(3);
    clickDoor(3, 2); // the used door now hangs far above, outside the tunnel
    EXPECT_EQ(trainsIn(11), 2);
}

TEST_F(RulesTest, NoTrainRunsBeforeARealityClickStartsThemAndThenOneMoreStartsInAFreeTunnelEachTimeAMinuteHasPassed)
{
    jumpTo(3);
    door(3, 2)->setGlassesOpen(false); // kept in its wall for the click in the reality view
    pushKey(SDLK_e);
    tick();
    clickDoor(3, 2); // in the glasses view: it starts no train
    clock.advance(60001);
    EXPECT_EQ(ticksWithOutput(1), "");
    EXPECT_FALSE(gameState.trainsStarted);

    pushKey(SDLK_e);
    startTrains();
    clock.set(gameState.lastTrainTicks);
    while (gameState.trainTunnels.size() < static_cast<std::size_t>(TUNNEL_COUNT)) {
        clock.advance(60000 - 40); // the next tick is exactly a minute after the last train
        EXPECT_EQ(ticksWithOutput(1), "");
        ASSERT_EQ(ticksWithOutput(1), NEW_TRAIN_LINE);
        EXPECT_NE(tunnel(gameState.trainTunnels.back())->getTrain(), nullptr);
    }
    for (int index = 0; index < TUNNEL_COUNT; ++index)
        EXPECT_GE(trainsIn(index), 1) << "tunnel " << index;
    clock.advance(60001);
    EXPECT_EQ(ticksWithOutput(1), "");
}

// The schedule's next train falls to the player's own tunnel, where the player stands on the track
// at the spot where trains start: the train waits until the player has stepped off the track.
TEST_F(RulesTest, AScheduledTrainDueWhereThePlayerStandsOnTheTrackWaitsUntilThePlayerStepsOffIt)
{
    startTrains();
    const int own = 12;
    gameState.trainTunnels.clear();
    for (int index = 0; index < TUNNEL_COUNT; ++index) {
        if (index != own)
            gameState.trainTunnels.push_back(index);
    }
    jumpTo(own);
    const glm::vec3 trainStart = tunnel(own)->getPosition() + glm::vec3(55.0f, 10.0f, 0.0f);
    gameState.camera->setPositionAndTarget(trainStart, trainStart + glm::vec3(10.0f, 0.0f, 0.0f));
    rest();
    clock.advance(60001);
    EXPECT_EQ(ticksWithOutput(1), NEW_TRAIN_LINE);
    ticks(25);
    EXPECT_FALSE(gameState.lost || gameState.quitRequested);
    EXPECT_EQ(tunnel(own)->getTrain(), nullptr);

    play(Route("off the track").strafeTo(trainStart.z + 12.0f, "step off the track"));
    rest();
    ASSERT_NE(tunnel(own)->getTrain(), nullptr);
    EXPECT_FALSE(gameState.lost || gameState.quitRequested);
}

TEST_F(RulesTest, OnlyATrainHitsAndOnlyWithTheEyeStrictlyWithinTheBodyRadiusOfItsBox)
{
    startTrains();
    Train* train = tunnel(11)->getTrain();
    ASSERT_NE(train, nullptr) << "the click started no train in tunnel 11";
    auto [high, low] = train->worldBounds();
    const glm::vec3 beside(low.x - gameState.camera->getHalfWidth(), (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f);
    auto placeEye = [](const glm::vec3& eye) { gameState.camera->setPositionAndTarget(eye, eye + glm::vec3(10.0f, 0.0f, 0.0f)); };

    placeEye(beside);
    EXPECT_FALSE(checkTrainHit(train));
    placeEye(centreOf(door(0, 1)));
    EXPECT_TRUE(checkTrainHit(door(0, 1)));
    EXPECT_FALSE(gameState.player.hitByTrain);
    placeEye(beside + glm::vec3(0.5f, 0.0f, 0.0f));
    EXPECT_TRUE(checkTrainHit(train));
    EXPECT_TRUE(gameState.player.hitByTrain);
}

// The key starts solid and the cubes and switches undone, so only the key keeps door 19 locked
// here; the ways through both final doors are played to the win in WinnabilityTest.
TEST_F(RulesTest, TheFinalDoorsStayLockedUntilTheirPuzzlesAreDone)
{
    jumpTo(13);
    clickFinalDoor(0); // the button of tunnel 20 was never held
    EXPECT_FALSE(gameState.won);

    jumpTo(4);
    play(Route("key").then(upToTheKey()).click("click the key"));
    jumpTo(19);
    clickFinalDoor(1); // the key is see-through
    EXPECT_FALSE(gameState.won);
}

} // namespace
