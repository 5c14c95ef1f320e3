#include "support/PlayingFixture.h"

#include "game/GameState.h"
#include "game/Puzzles.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "world/Door.h"
#include "world/GameObject.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using DoorList = std::vector<std::pair<int, int>>;

// The doors every switch opens; the first six close again when one switch goes off.
const DoorList SWITCH_DOORS_THAT_CLOSE = {{10, 3}, {10, 4}, {10, 5}, {16, 0}, {16, 1}, {16, 2}};
const DoorList SWITCH_DOORS_THAT_STAY = {{7, 1}, {7, 5}, {7, 6}, {9, 1}, {9, 2}, {10, 2}, {17, 1}, {17, 2}};
const DoorList MULTI_VIEW_DOORS = {{11, 2}, {18, 2}};
const DoorList MULTI_VIEW_BONUS = {{1, 1}, {4, 3}, {5, 2}, {5, 3}, {5, 4}, {7, 4}};
const DoorList ALIGN_DOORS = {{5, 0}, {5, 1}, {15, 0}, {15, 1}, {15, 3}, {15, 4}};
const DoorList FIRST_DOOR_BONUS = {{1, 5}, {3, 4}, {2, 5}, {3, 3}};
// The static hint cubes stand in line in the glasses view.
const glm::vec3 HINT_CUBE_POSITIONS[] = {{1600.0f, 1.0f, 200.0f}, {1590.0f, 1.0f, 200.0f}, {1580.0f, 1.0f, 200.0f}};

bool isOpen(const Door* door)
{
    return door->shownInReality && door->clickableInReality && door->shownInGlasses && door->clickableInGlasses;
}

bool isClosed(const Door* door)
{
    return !door->shownInReality && !door->clickableInReality && !door->shownInGlasses && !door->clickableInGlasses;
}

class PuzzlesTest : public PlayingFixture {
protected:
    void expectOpen(const DoorList& doors, bool withPartners)
    {
        for (auto [tunnel, index] : doors) {
            EXPECT_TRUE(isOpen(door(tunnel, index))) << "door " << index << " of tunnel " << tunnel;
            if (withPartners) {
                EXPECT_TRUE(isOpen(door(tunnel, index)->getPartner())) << "partner of door " << index << " of tunnel " << tunnel;
            }
        }
    }

    void expectClosed(const DoorList& doors, bool withPartners)
    {
        for (auto [tunnel, index] : doors) {
            EXPECT_TRUE(isClosed(door(tunnel, index))) << "door " << index << " of tunnel " << tunnel;
            if (withPartners) {
                EXPECT_TRUE(isClosed(door(tunnel, index)->getPartner())) << "partner of door " << index << " of tunnel " << tunnel;
            }
        }
    }

    // Clicks the switch of tunnel 5, 7 or 9 (back plate 0, 1 or 2) and returns its console line.
    std::string clickSwitch(int tunnel, int index)
    {
        jumpTo(tunnel);
        play(Route("to the switch").aim(objectCentre([index] { return gameState.switchBacks[index]; }), "look at it"));
        ::testing::internal::CaptureStdout();
        play(Route("switch").click("click it"));
        return ::testing::internal::GetCapturedStdout();
    }

    void switchView(int times)
    {
        for (int i = 0; i < times; ++i)
            pushKey(SDLK_e);
        tick();
    }

    glm::vec3 cubePosition(int index) const { return gameState.cubes[index]->getPosition(); }
};

// The key and the first door.
TEST_F(PuzzlesTest, ClickingTheKeyTurnsItSeeThroughAndOpensFourDoors)
{
    jumpTo(4);
    const std::vector<GameObject*>& objects = tunnel(4)->getObjects();
    const auto keyPlace = std::find(objects.begin(), objects.end(), gameState.key) - objects.begin();
    play(Route("key").then(upToTheKey()).click("click the key"));

    // The see-through key takes the solid key's place among the tunnel's objects.
    ASSERT_LT(keyPlace, static_cast<long>(objects.size()));
    EXPECT_EQ(objects[keyPlace], gameState.transparentKey);
    EXPECT_FALSE(tunnel(4)->containsObject(gameState.key));
    EXPECT_FALSE(gameState.keySolid);
    expectOpen({{2, 2}, {9, 5}, {3, 5}}, false);
    // Door 2 of tunnel 0 shows in the glasses view but cannot be used there.
    Door* firstDoor = door(0, 2);
    EXPECT_TRUE(firstDoor->shownInReality && firstDoor->clickableInReality && firstDoor->shownInGlasses);
    EXPECT_FALSE(firstDoor->clickableInGlasses);
}

TEST_F(PuzzlesTest, ClickingTheKeyTwiceMakesItSolidAndTheFinalDoorOfTunnel19Usable)
{
    jumpTo(4);
    play(Route("key").then(upToTheKey()).click("click the key").click("click it again"));

    EXPECT_TRUE(tunnel(4)->containsObject(gameState.key));
    EXPECT_FALSE(tunnel(4)->containsObject(gameState.transparentKey));
    EXPECT_TRUE(gameState.keySolid);
    EXPECT_TRUE(gameState.finalDoorUsable);
}

TEST_F(PuzzlesTest, TheKeyIgnoresClicksInTheGlassesView)
{
    jumpTo(4);
    play(Route("key").then(upToTheKey()).press(SDLK_e, "put the glasses on").click("click the key"));

    ASSERT_TRUE(isHitByViewLine(gameState.key));
    EXPECT_TRUE(tunnel(4)->containsObject(gameState.key));
    expectClosed({{2, 2}, {9, 5}}, false);
}

TEST_F(PuzzlesTest, TheFirstWalkThroughDoor2OfTunnel0OpensTheDoorsBetweenTunnels1To3)
{
    jumpTo(4);
    play(Route("key").then(upToTheKey()).click("click the key"));
    jumpTo(0);

    clickDoor(0, 2);

    EXPECT_EQ(gameState.currentTunnel, tunnel(3));
    EXPECT_TRUE(gameState.firstDoorBonusDone);
    expectOpen(FIRST_DOOR_BONUS, false);
}

// The switches.
TEST_F(PuzzlesTest, AllThreeSwitchesOnOpenTheirDoorsWithPartners)
{
    EXPECT_EQ(clickSwitch(5, 0), "1\n");
    EXPECT_FALSE(gameState.switchesSolved);
    expectClosed(SWITCH_DOORS_THAT_CLOSE, true);

    EXPECT_EQ(clickSwitch(7, 1), "1\n");

    EXPECT_TRUE(gameState.switchesSolved);
    expectOpen(SWITCH_DOORS_THAT_CLOSE, true);
    expectOpen(SWITCH_DOORS_THAT_STAY, true);
}

TEST_F(PuzzlesTest, OneSwitchTurnedOffClosesOnlyTheSixDoorsOfTunnels10And16)
{
    clickSwitch(5, 0);
    clickSwitch(7, 1);
    ASSERT_TRUE(gameState.switchesSolved);

    EXPECT_EQ(clickSwitch(9, 2), "0\n");

    EXPECT_FALSE(gameState.switchesSolved);
    expectClosed(SWITCH_DOORS_THAT_CLOSE, true);
    expectOpen(SWITCH_DOORS_THAT_STAY, true);
}

TEST_F(PuzzlesTest, AClickedSwitchTurnsItsLeverHalfRound)
{
    GameObject* front = nullptr;
    for (auto& [lever, on] : gameState.switchStates) {
        if (lever->getPosition() - glm::vec3(20.0f, 6.0f, 20.0f) == tunnel(5)->getPosition())
            front = lever;
    }
    ASSERT_NE(front, nullptr);
    glm::mat4 before = front->getModelMatrix();

    clickSwitch(5, 0);

    // Half a turn about z flips the lever's x and y axes.
    glm::mat4 after = front->getModelMatrix();
    EXPECT_NEAR(after[0][0], -before[0][0], 1e-4f);
    EXPECT_NEAR(after[1][1], -before[1][1], 1e-4f);
    EXPECT_TRUE(gameState.switchStates[front]);
}

// The multi-view window.
TEST_F(PuzzlesTest, ThreeViewSwitchesInTunnel11OpenTwoDoorsForTwoSecondsAndTheBonusOnce)
{
    jumpTo(11);
    switchView(3);
    expectOpen(MULTI_VIEW_DOORS, false);
    expectOpen(MULTI_VIEW_BONUS, false);
    std::uint32_t opened = clock.ticks();

    ticks(49);
    ASSERT_EQ(clock.ticks() - opened, 1960u);
    expectOpen(MULTI_VIEW_DOORS, false);

    tick();
    ASSERT_EQ(clock.ticks() - opened, 2000u);
    expectClosed(MULTI_VIEW_DOORS, false);
    EXPECT_EQ(gameState.viewSwitchCount, 0);
    expectOpen(MULTI_VIEW_BONUS, false);
}

TEST_F(PuzzlesTest, ViewSwitchesOutsideTunnels11And18DoNotCount)
{
    switchView(3);
    jumpTo(11);
    expectClosed(MULTI_VIEW_DOORS, false);
    expectClosed(MULTI_VIEW_BONUS, false);
}

TEST_F(PuzzlesTest, ViewSwitchesInTunnel11And18AddUp)
{
    jumpTo(11);
    switchView(2);
    expectClosed(MULTI_VIEW_DOORS, false);
    jumpTo(18);
    switchView(1);
    expectOpen(MULTI_VIEW_DOORS, false);
}

// The patience button.
TEST_F(PuzzlesTest, TheButtonHeldExactly15SecondsIsNotYetEnoughButOneMillisecondMoreIs)
{
    jumpTo(20);
    pushButton(true);
    tick();
    std::uint32_t pressed = clock.ticks();

    clock.set(pressed + 15000 - 40);
    tick();
    EXPECT_FALSE(gameState.patienceDone);
    EXPECT_TRUE(tunnel(20)->containsObject(gameState.button));

    clock.set(pressed + 15001 - 40);
    tick();
    EXPECT_TRUE(gameState.patienceDone);
    EXPECT_FALSE(tunnel(20)->containsObject(gameState.button));
}

TEST_F(PuzzlesTest, LeavingTunnel20WithTheButtonHeldKeepsTheTimerRunning)
{
    jumpTo(20);
    pushButton(true);
    tick();
    ticks(100);
    pushKey(SDLK_BACKSPACE);
    pushKey(SDLK_BACKSPACE);
    tick();
    ASSERT_EQ(gameState.currentTunnel, tunnel(19));
    ticks(300); // 16 seconds since the press, the button still held

    pushKey(SDLK_TAB);
    pushKey(SDLK_TAB);
    tick();

    ASSERT_EQ(gameState.currentTunnel, tunnel(20));
    EXPECT_TRUE(gameState.patienceDone);
}

TEST_F(PuzzlesTest, LettingGoOfTheButtonStartsTheWaitAfresh)
{
    jumpTo(20);
    pushButton(true);
    ticks(250); // 10 seconds
    pushButton(false);
    tick();
    pushButton(true);
    ticks(250);
    EXPECT_FALSE(gameState.patienceDone);
}

// The cubes.
TEST_F(PuzzlesTest, TheFirstTickInTunnel17CountsAsASwitchToTheRealityView)
{
    glm::vec3 hintBefore = cubePosition(3);
    jumpTo(17); // the very first tick of the game

    EXPECT_EQ(cubePosition(3), hintBefore + glm::vec3(0.0f, 0.0f, 100.0f));
}

TEST_F(PuzzlesTest, ThreeCubesPushedIntoLineOpenTheirDoorsAndPushedApartClearTheLine)
{
    jumpTo(17);
    play(cubesIntoLine());

    ASSERT_TRUE(gameState.aligned);
    EXPECT_NEAR(cubePosition(0).z, cubePosition(1).z, 5.0f);
    EXPECT_NEAR(cubePosition(0).z, cubePosition(2).z, 5.0f);
    expectOpen(ALIGN_DOORS, true);

    play(Route("apart").walkUntil(SDL_SCANCODE_W, [] { return !gameState.aligned; }, 200, "push on"));

    EXPECT_GT(std::abs(cubePosition(0).z - cubePosition(1).z), 5.0f);
    expectOpen(ALIGN_DOORS, true);
}

TEST_F(PuzzlesTest, TheGlassesViewParksTheCubesAndShowsTheHintCubesInLine)
{
    jumpTo(17);
    rest();
    glm::vec3 before[3] = {cubePosition(0), cubePosition(1), cubePosition(2)};

    switchView(1);

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gameState.cubeStartPositions[i], before[i]);
        EXPECT_FLOAT_EQ(cubePosition(i).z, before[i].z + 100.0f);
        EXPECT_EQ(cubePosition(3 + i), HINT_CUBE_POSITIONS[i]);
    }

    switchView(1);

    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(cubePosition(i).z, before[i].z);
        EXPECT_NEAR(cubePosition(i).y, before[i].y, 0.1f);
        EXPECT_EQ(cubePosition(3 + i), HINT_CUBE_POSITIONS[i] + glm::vec3(0.0f, 0.0f, 100.0f));
    }
}

TEST_F(PuzzlesTest, CubesParkedInTheGlassesViewComeBackWhenThePlayerReturnsInTheRealityView)
{
    jumpTo(17);
    rest();
    glm::vec3 before = cubePosition(1);
    switchView(1);
    pushKey(SDLK_BACKSPACE);
    pushKey(SDLK_BACKSPACE);
    tick();
    ASSERT_EQ(gameState.currentTunnel, tunnel(16));
    switchView(1); // back to the reality view outside tunnel 17

    pushKey(SDLK_TAB);
    pushKey(SDLK_TAB);
    tick();

    ASSERT_EQ(gameState.currentTunnel, tunnel(17));
    EXPECT_FLOAT_EQ(cubePosition(1).z, before.z);
}

TEST_F(PuzzlesTest, CubesArriveParkedWhenThePlayerEntersTunnel17InTheGlassesView)
{
    jumpTo(16);
    rest();
    glm::vec3 before = cubePosition(1);
    switchView(1);

    jumpTo(17);

    EXPECT_FLOAT_EQ(cubePosition(1).z, before.z + 100.0f);
    EXPECT_TRUE(gameState.cubesHidden);
}

TEST_F(PuzzlesTest, ACubeParkedForAWhileComesBackWithoutTheSpeedOfItsFall)
{
    jumpTo(17);
    ticks(2); // the cubes are still dropping onto the floor
    switchView(1);
    glm::vec3 parkedFrom = gameState.cubeStartPositions[0];
    ticks(50); // two seconds parked outside the tunnel, with nothing beneath

    switchView(1);

    EXPECT_LT(gameState.cubes[0]->getBody()->getLinearVelocity().length(), 1.0f);
    EXPECT_NEAR(cubePosition(0).y, parkedFrom.y, 0.5f);
    ticks(40);
    // Back on the floor of tunnel 17 (its top is at height 0), not through it.
    EXPECT_GT(cubePosition(0).y, tunnel(17)->getPosition().y);
    EXPECT_FLOAT_EQ(cubePosition(0).z, parkedFrom.z);
}

} // namespace
