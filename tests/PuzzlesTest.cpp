#include "support/PlayingFixture.h"

#include "game/Rules.h"
#include "level/LevelPlan.h"
#include "world/GameObject.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace {

using namespace plan;
using DoorList = std::vector<DoorIndex>;

class PuzzlesTest : public PlayingFixture {
protected:
    // Open means shown and clickable in both views; closed means none of the four.
    template <typename Doors> void expectDoors(const Doors& doors, bool open, bool withPartners = false)
    {
        auto isInState = [open](const Door* door) {
            return door->shownInReality == open && door->clickableInReality == open && door->shownInGlasses == open &&
                   door->clickableInGlasses == open;
        };
        for (auto [tunnel, index] : doors) {
            const Door* checked = door(tunnel, index);
            EXPECT_TRUE(isInState(checked)) << "door " << index << " of tunnel " << tunnel;
            if (withPartners) {
                ASSERT_NE(checked->getPartner(), nullptr) << "door " << index << " of tunnel " << tunnel;
                EXPECT_TRUE(isInState(checked->getPartner())) << "the partner of door " << index << " of tunnel " << tunnel;
            }
        }
    }

    void switchView(int times)
    {
        for (int i = 0; i < times; ++i)
            pushKey(SDLK_e);
        tick();
    }

    glm::vec3 cube(int index) const { return gameState.cubes[index]->getPosition(); }
};

TEST_F(PuzzlesTest, TheKeyIgnoresTheGlassesViewTurnsSeeThroughOnAClickAndOpensTheWayThroughTheFirstDoor)
{
    jumpTo(4);
    const std::vector<GameObject*>& objects = tunnel(4)->getObjects();
    const auto keyPlace = std::find(objects.begin(), objects.end(), gameState.key) - objects.begin();
    play(Route("key").then(upToTheKey()).press(SDLK_e, "put the glasses on").click("click the key"));
    ASSERT_TRUE(isHitByViewLine(gameState.key));
    expectDoors(KEY_DOORS, false);

    play(Route("key").press(SDLK_e, "take the glasses off").click("click the key"));
    // The see-through key takes the solid key's place among the tunnel's objects.
    EXPECT_EQ(objects.at(keyPlace), gameState.transparentKey);
    EXPECT_FALSE(tunnel(4)->containsObject(gameState.key) || gameState.keySolid);
    expectDoors(KEY_DOORS, true);
    expectDoors(DoorList{KEY_LAST_DOOR}, true);
    // The first door, door 2 of tunnel 0, shows in the glasses view but cannot be used there.
    EXPECT_TRUE(door(0, 2)->clickableInReality && door(0, 2)->shownInGlasses && !door(0, 2)->clickableInGlasses);

    jumpTo(0);
    clickDoor(0, 2);
    EXPECT_TRUE(gameState.inTunnel(3));
    expectDoors(FIRST_DOOR_BONUS, true);
}

// The switches of tunnels 5 and 7 start off, that of tunnel 9 on; a click prints the new state.
TEST_F(PuzzlesTest, AllSwitchesOnOpenTheirDoorsWithPartnersAndOneTurnedOffClosesOnlySixOfThem)
{
    std::map<GameObject*, glm::mat4> leversBefore;
    for (const auto& [lever, on] : gameState.switchStates)
        leversBefore[lever] = lever->getModelMatrix();
    for (auto [tunnel, line, allOn] :
         {std::tuple(5, "1\n", false), std::tuple(7, "1\n", true), std::tuple(9, "0\n", false)}) {
        EXPECT_EQ(clickSwitch(tunnel), line);
        expectDoors(SWITCH_DOORS_THAT_CLOSE, allOn, true);
        expectDoors(SWITCH_DOORS_THAT_STAY, tunnel > 5, true);
    }
    // Each click turned its own lever half round about z, which turns its y axis upside down.
    for (const auto& [lever, before] : leversBefore)
        EXPECT_NEAR(lever->getModelMatrix()[1][1], -before[1][1], 1e-4f);
}

// Standing at a switch and looking away from it along z at its height: in tunnel 5 the switch is
// behind the eye, in tunnel 7 the line also meets tunnel 5's switch beyond the walls.
TEST_F(PuzzlesTest, AClickTurnsNoSwitchBehindTheEyeOrBeyondTheWalls)
{
    for (int tunnelIndex : {5, 7}) {
        jumpTo(tunnelIndex);
        const glm::vec3 eye = centreOf(gameState.switchBacks[(tunnelIndex - 5) / 2]) - glm::vec3(0.0f, 0.0f, 10.0f);
        gameState.camera->setPositionAndTarget(eye, eye - glm::vec3(0.0f, 0.0f, 10.0f));
        pushButton(true);
        pushButton(false);
        EXPECT_EQ(ticksWithOutput(1), "") << "tunnel " << tunnelIndex;
    }
}

TEST_F(PuzzlesTest, ThreeViewSwitchesInTunnels11And18OpenTwoDoorsForTwoSecondsAndTheBonusForGood)
{
    switchView(3); // in tunnel 0, where they do not count
    jumpTo(11);
    switchView(2);
    expectDoors(MULTI_VIEW_DOORS, false);
    jumpTo(18);
    switchView(1);
    expectDoors(MULTI_VIEW_DOORS, true);
    expectDoors(MULTI_VIEW_BONUS, true);

    ticks(49); // 1960 ms after the third switch
    expectDoors(MULTI_VIEW_DOORS, true);
    tick();
    expectDoors(MULTI_VIEW_DOORS, false);
    EXPECT_EQ(gameState.viewSwitchCount, 0); // three more switches are needed again
    expectDoors(MULTI_VIEW_BONUS, true);
}

TEST_F(PuzzlesTest, TheButtonGivesWayWhenHeldMoreThan15SecondsSinceItsLastPressEvenIfThePlayerLeftTunnel20)
{
    jumpTo(20);
    pushButton(true);
    ticks(250); // held 10 seconds, then let go: the wait starts afresh
    pushButton(false);
    tick();
    pushButton(true);
    tick();
    const std::uint32_t pressed = clock.ticks();
    jumpTo(19);
    ticks(100);
    jumpTo(20);

    for (std::uint32_t held : {15000u, 15001u}) {
        clock.set(pressed + held - 40); // the next tick is that long after the press
        tick();
        EXPECT_EQ(tunnel(20)->containsObject(gameState.button), held <= 15000) << held << " ms";
    }
    EXPECT_TRUE(gameState.patienceDone);
}

TEST_F(PuzzlesTest, ThreeCubesPushedIntoLineOpenTheirDoorsWithPartners)
{
    jumpTo(17);
    play(cubesIntoLine());
    // In line: cube 0 within 5 of cubes 1 and 2 across the tunnel.
    EXPECT_NEAR(cube(0).z, cube(1).z, 5.0f);
    EXPECT_NEAR(cube(0).z, cube(2).z, 5.0f);
    expectDoors(ALIGN_DOORS, true, true);
}

// The final door of tunnel 19 needs the key solid, the switches undone (as they start) and the
// cubes out of line, as the player last saw them in the reality view.
TEST_F(PuzzlesTest, CubesLeftInLineInTheGlassesViewKeepTheFinalDoorLockedUntilOneIsPushedOutOfLine)
{
    jumpTo(4);
    play(Route("key").then(upToTheKey()).click("see-through").click("solid again"));
    jumpTo(17);
    play(Route("cubes").then(cubesIntoLine()).press(SDLK_e, "put the glasses on"));
    ticks(50);
    jumpTo(19);
    EXPECT_FALSE(gameState.finalDoorUsable);

    jumpTo(17);
    play(Route("out of line")
             .press(SDLK_e, "take the glasses off")
             .then(firstCubePushedAcross([] { return !gameState.aligned; }, "out of line")));
    jumpTo(19);
    EXPECT_TRUE(gameState.finalDoorUsable);
}

TEST_F(PuzzlesTest, TheCubesParkInTheGlassesViewAndComeBackAtRestInTheRealityViewWhereverTheViewWasSwitched)
{
    const glm::vec3 hintBefore = cube(3);
    jumpTo(17); // the game's first tick counts as a switch to the reality view
    EXPECT_EQ(cube(3), hintBefore + HIDDEN_OFFSET);
    tick(); // the cubes are still dropping onto the floor
    const glm::vec3 before[] = {cube(0), cube(1), cube(2)};

    switchView(1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(cube(i).z, before[i].z + HIDDEN_OFFSET.z);
        EXPECT_EQ(cube(3 + i), HINT_CUBE_POSITIONS[i]);
    }
    ticks(50); // two seconds parked outside the tunnel, with nothing beneath
    switchView(1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(cube(i).z, before[i].z);
        EXPECT_NEAR(cube(i).y, before[i].y, 0.5f);
        EXPECT_LT(gameState.cubes[i]->getBody()->getLinearVelocity().length(), 1.0f);
        EXPECT_EQ(cube(3 + i), HINT_CUBE_POSITIONS[i] + HIDDEN_OFFSET);
    }
    rest(); // back on the floor of tunnel 17, not through it
    EXPECT_GT(cube(0).y, tunnel(17)->getPosition().y);

    // A view switched outside tunnel 17 counts when the player comes back.
    const float restingZ = cube(1).z;
    for (float parked : {HIDDEN_OFFSET.z, 0.0f}) {
        jumpTo(16);
        switchView(1);
        jumpTo(17);
        EXPECT_NEAR(cube(1).z, restingZ + parked, 1e-3f);
    }
}

} // namespace
