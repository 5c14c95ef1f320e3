#include "game/Level.h"

#include "game/GameState.h"
#include "level/AssetManifest.h"
#include "level/LevelPlan.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "world/Model.h"
#include "world/Door.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>

#include <vector>


namespace {

using namespace plan;

// Every model the level loads is kept for release at shutdown.
Model* loadModel(const ModelFile& file)
{
    gameState.levelModels.push_back(new Model(file.folder, file.file));
    return gameState.levelModels.back();
}

// Where the player starts, in the first tunnel (index 0).
const glm::vec3 PLAYER_START(40.0f, 10.0f, 0.0f);

// Tunnels stand in columns 450 apart in x and side by side 40 apart in z.
constexpr float FIRST_COLUMN_X = 40.0f;
constexpr float COLUMN_SPACING = 450.0f;

// Added to the scale of both keys, which stand at half their model size.
constexpr float KEY_SCALE_CHANGE = -0.5f;
constexpr float CUBE_MASS = 0.4f;

// The 24 models of the level, in the order they are loaded.
struct LevelModels {
    Model* hallwayReality = nullptr;
    Model* deadEndReality = nullptr;
    Model* hallwayGlasses = nullptr;
    Model* deadEndGlasses = nullptr;
    Model* train = nullptr;
    Model* wheel = nullptr;
    Model* door = nullptr;
    Model* key = nullptr;
    Model* glassDoor = nullptr;
    Model* transparentKey = nullptr;
    Model* switchBack = nullptr;
    Model* switchFront = nullptr;
    Model* cube = nullptr;
    Model* stairsReality = nullptr;
    Model* stairsGlasses = nullptr;
    Model* button = nullptr;
    Model* switchViewSign = nullptr;
    Model* unlockNewTunnelSign = nullptr;
    Model* patienceSign = nullptr;
    Model* changeMultipleViewSign = nullptr;
    Model* switchesNumberSign = nullptr;
    Model* finalDoor = nullptr;
    Model* portalSurface = nullptr;
    Model* portalFrame = nullptr;
};

Tunnel* tunnel(int index)
{
    return gameState.tunnels[index];
}

float columnX(int column)
{
    return FIRST_COLUMN_X + COLUMN_SPACING * column;
}

// The door of tunnel `from` that leads to tunnel `to` (a tunnel has at most one).
Door* doorBetween(int from, int to)
{
    for (Door* door : tunnel(from)->getDoors()) {
        if (door->getDestination() == tunnel(to))
            return door;
    }
    return nullptr;
}

void openInBothViews(Door* door)
{
    door->setRealityOpen(true);
    door->setGlassesOpen(true);
}

void createPlayer()
{
    gameState.camera = new Camera(PLAYER_START);
}

void loadTunnelModels(LevelModels& models)
{
    models.hallwayReality = loadModel(assets::REALITY_HALLWAY);
    models.deadEndReality = loadModel(assets::REALITY_DEAD_END);
    models.hallwayGlasses = loadModel(assets::GLASSES_HALLWAY);
    models.deadEndGlasses = loadModel(assets::GLASSES_DEAD_END);
    models.train = loadModel(assets::TRAIN);
    models.wheel = loadModel(assets::WHEEL);
    models.door = loadModel(assets::DOOR);
}

// Adds a tunnel beyond tunnel `from` in the next free slot of the tunnel table.
void addTunnel(int from, float x, float z)
{
    int slot = 0;
    while (gameState.tunnels[slot])
        ++slot;
    gameState.tunnels[slot] = tunnel(from)->addTunnel(x, 0.0f, z);
}

void addForward(int from, int to)
{
    tunnel(from)->addForward(tunnel(to));
}

void buildTunnelNetwork(const LevelModels& models)
{
    gameState.tunnels[0] =
        new Tunnel(columnX(0), 0.0f, 0.0f, models.hallwayReality, models.deadEndReality, models.hallwayGlasses,
                   models.deadEndGlasses, models.train, models.door, models.wheel, gameState.camera->getGhostObject());
    addTunnel(0, columnX(1), 0.0f);
    addTunnel(0, columnX(1), 40.0f);
    addTunnel(0, columnX(1), 80.0f);
    addTunnel(1, columnX(2), 0.0f);
    addTunnel(1, columnX(2), 40.0f);
    addTunnel(1, columnX(2), 80.0f);
    addTunnel(1, columnX(2), 120.0f);
    addForward(2, 7);
    addTunnel(2, columnX(2), 160.0f);
    addTunnel(2, columnX(2), 200.0f);
    addForward(3, 9);
    addTunnel(3, columnX(2), 240.0f);
    addTunnel(3, columnX(2), 280.0f);
    addTunnel(5, columnX(3), 0.0f);
    addTunnel(5, columnX(3), 40.0f);
    addTunnel(6, columnX(3), 80.0f);
    addForward(6, 8);
    addForward(7, 8);
    addForward(7, 9);
    addForward(7, 2);
    addForward(8, 6);
    addForward(8, 14);
    addForward(9, 10);
    addForward(9, 11);
    addForward(9, 3);
    addForward(10, 14);
    addTunnel(10, columnX(3), 120.0f);
    addTunnel(10, columnX(3), 160.0f);
    addForward(11, 16);
    addTunnel(11, columnX(3), 200.0f);
    addTunnel(11, columnX(3), 240.0f);
    addForward(14, 15);
    addForward(14, 16);
    addForward(14, 10);
    addTunnel(15, columnX(4), 0.0f);
    addTunnel(15, columnX(4), 40.0f);
    addForward(16, 17);
    addForward(16, 18);
    addForward(16, 11);
}

// Each tunnel's near wall gets a door to each tunnel it is connected from; the order of the
// connections fixes the order of the doors and so which doors pair up.
void buildDoors()
{
    const std::vector<std::vector<int>> connections = {
        {},           {2, 3, 0},    {3, 0, 1},    {0, 1, 2},    {5, 6, 7, 1}, {6, 7, 1, 4}, {7, 1, 4, 5},
        {1, 4, 5, 6}, {9, 2, 7},    {2, 7, 8},    {11, 3, 9},   {3, 9, 10},   {13, 5},      {5, 12},
        {8, 6},       {16, 10, 14}, {10, 14, 15}, {18, 11, 16}, {11, 16, 17}, {20, 15},     {15, 19},
    };
    tunnel(0)->buildDoors();
    for (int index = 1; index < TUNNEL_COUNT; ++index) {
        std::vector<Tunnel*> from;
        for (int other : connections[index])
            from.push_back(tunnel(other));
        tunnel(index)->connect(from);
    }
}

// Three couples of far-end doors face each other and are paired by hand.
void pairFarEndDoors()
{
    doorBetween(2, 7)->pairWith(doorBetween(7, 2));
    doorBetween(11, 16)->pairWith(doorBetween(16, 11));
    doorBetween(9, 3)->pairWith(doorBetween(3, 9));
}

// At the start only the glasses view opens the way out of the first tunnels (indexes 0 to 2), and
// the door from index 1 to index 4 is passed by walking backwards into it.
void setDoorStartStates()
{
    doorBetween(0, 1)->setGlassesOpen(true);
    doorBetween(0, 2)->setGlassesOpen(true);
    doorBetween(1, 0)->setGlassesOpen(true);
    doorBetween(1, 2)->setGlassesOpen(true);
    doorBetween(2, 1)->setGlassesOpen(true);
    doorBetween(2, 0)->setGlassesOpen(true);
    Door* touchDoor = doorBetween(1, 4);
    openInBothViews(touchDoor);
    openInBothViews(doorBetween(4, 1));
    touchDoor->clickableInReality = false;
    touchDoor->clickableInGlasses = false;
    touchDoor->passOnTouch = true;
}

void placeKeysAndGlassDoor(LevelModels& models)
{
    models.key = loadModel(assets::KEY);
    GameObject* key = new GameObject(models.key);
    key->addScale(KEY_SCALE_CHANGE, KEY_SCALE_CHANGE, KEY_SCALE_CHANGE);
    gameState.key = key;
    tunnel(KEY_TUNNEL)->place(key, KEY_SPOT.x, KEY_SPOT.y, KEY_SPOT.z);

    models.glassDoor = loadModel(assets::GLASS_DOOR);
    gameState.glassDoor = new GameObject(models.glassDoor);

    models.transparentKey = loadModel(assets::TRANSPARENT_KEY);
    GameObject* transparentKey = new GameObject(models.transparentKey);
    transparentKey->addScale(KEY_SCALE_CHANGE, KEY_SCALE_CHANGE, KEY_SCALE_CHANGE);
    transparentKey->setPosition(tunnel(KEY_TUNNEL)->getPosition() + KEY_SPOT);
    gameState.transparentKey = transparentKey;
}

void openStartingDoors()
{
    openInBothViews(doorBetween(2, 7));
    openInBothViews(doorBetween(3, 11));
    openInBothViews(doorBetween(11, 3));
}

// One switch on the wall of each switch tunnel, a front on a back plate.
void placeSwitches(LevelModels& models)
{
    models.switchBack = loadModel(assets::SWITCH_BACK);
    models.switchFront = loadModel(assets::SWITCH_FRONT);
    std::vector<GameObject*> fronts;
    std::vector<GameObject*> backs;
    for (int i = 0; i < SWITCH_COUNT; ++i)
        fronts.push_back(new GameObject(models.switchFront));
    for (int i = 0; i < SWITCH_COUNT; ++i)
        backs.push_back(new GameObject(models.switchBack));
    for (int i = 0; i < SWITCH_COUNT; ++i) {
        tunnel(SWITCH_TUNNELS[i])->place(fronts[i], SWITCH_SPOT.x, SWITCH_SPOT.y, SWITCH_SPOT.z);
        tunnel(SWITCH_TUNNELS[i])->place(backs[i], SWITCH_SPOT.x, SWITCH_SPOT.y, SWITCH_SPOT.z);
    }
    for (int i = 0; i < SWITCH_COUNT; ++i)
        gameState.switchStates[fronts[i]] = SWITCH_STARTS_ON[i];
    gameState.switchBacks = backs;
}

// The movable cubes across the cube tunnel, and the fixed hint cubes parked out of sight.
void placeCubes(LevelModels& models)
{
    const glm::vec3 cubeSpots[MOVABLE_CUBES + HINT_CUBES] = {{200.0f, 5.0f, -8.0f}, {200.0f, 5.0f, 0.0f},
                                                              {200.0f, 5.0f, 8.0f},  {0.0f, 5.0f, 100.0f},
                                                              {0.0f, 5.0f, 100.0f},  {0.0f, 5.0f, 100.0f}};
    models.cube = loadModel(assets::CUBE);
    std::vector<GameObject*> cubes;
    for (int i = 0; i < MOVABLE_CUBES; ++i)
        cubes.push_back(new GameObject(models.cube, CUBE_MASS, true));
    for (int i = 0; i < HINT_CUBES; ++i)
        cubes.push_back(new GameObject(models.cube));
    for (int i = 0; i < MOVABLE_CUBES + HINT_CUBES; ++i)
        tunnel(CUBE_TUNNEL)->place(cubes[i], cubeSpots[i].x, cubeSpots[i].y, cubeSpots[i].z);
    gameState.cubes = cubes;
    for (int i = 0; i < MOVABLE_CUBES; ++i)
        gameState.cubeStartPositions.push_back(cubes[i]->getPosition());
}

void addStairs(LevelModels& models)
{
    models.stairsReality = loadModel(assets::REALITY_STAIRS);
    models.stairsGlasses = loadModel(assets::GLASSES_STAIRS);
    tunnel(5)->addStairs(models.stairsReality, models.stairsGlasses);
    tunnel(15)->addStairs(models.stairsReality, models.stairsGlasses);
}

void placeButton(LevelModels& models)
{
    models.button = loadModel(assets::BUTTON);
    gameState.button = new GameObject(models.button);
    tunnel(BUTTON_TUNNEL)->place(gameState.button, 380.0f, 10.0f, 0.0f);
}

// A hint sign, turned about y (degrees) and then placed in its tunnel.
void placeSign(Model* model, float turn, int tunnelIndex, float dx, float dz)
{
    GameObject* sign = new GameObject(model);
    sign->rotate(0.0f, turn, 0.0f);
    tunnel(tunnelIndex)->place(sign, dx, 0.0f, dz);
}

void placeSigns(LevelModels& models)
{
    models.switchViewSign = loadModel(assets::SWITCH_VIEW_SIGN);
    models.unlockNewTunnelSign = loadModel(assets::UNLOCK_NEW_TUNNEL_SIGN);
    models.patienceSign = loadModel(assets::PATIENCE_SIGN);
    models.changeMultipleViewSign = loadModel(assets::CHANGE_MULTIPLE_VIEW_SIGN);
    models.switchesNumberSign = loadModel(assets::SWITCHES_NUMBER_SIGN);
    placeSign(models.switchViewSign, 90.0f, 0, 300.0f, -20.0f);
    placeSign(models.changeMultipleViewSign, 0.0f, VIEW_SWITCH_TUNNELS[0], 350.0f, 0.0f);
    placeSign(models.unlockNewTunnelSign, 0.0f, VIEW_SWITCH_TUNNELS[1], 350.0f, 0.0f);
    placeSign(models.patienceSign, 90.0f, BUTTON_TUNNEL, 350.0f, -20.0f);
    for (int switchTunnel : SWITCH_TUNNELS)
        placeSign(models.switchesNumberSign, -90.0f, switchTunnel, 40.0f, 20.0f);
}

// The two doors that end the game stand in the far walls of their tunnels.
void placeFinalDoors(LevelModels& models)
{
    models.finalDoor = loadModel(assets::FINAL_DOOR);
    for (int finalTunnel : FINAL_DOOR_TUNNELS) {
        GameObject* finalDoor = new GameObject(models.finalDoor);
        tunnel(finalTunnel)->place(finalDoor, 379.0f, 0.0f, 0.0f);
        gameState.finalDoors.push_back(finalDoor);
    }
}

void loadPortalModels(LevelModels& models)
{
    models.portalSurface = loadModel(assets::PORTAL_SURFACE);
    models.portalFrame = loadModel(assets::PORTAL_FRAME);
    gameState.portalModels.push_back(models.portalSurface);
    gameState.portalModels.push_back(models.portalFrame);
}

void reserveTrainFreeTunnels()
{
    for (int trainFree : TRAIN_FREE_TUNNELS)
        gameState.trainTunnels.push_back(trainFree);
}

} // namespace

Door* levelDoor(int tunnel, int index)
{
    return gameState.tunnels[tunnel]->getDoors()[index];
}

Door* levelDoor(const DoorIndex& index)
{
    return levelDoor(index.tunnel, index.door);
}

void buildLevel()
{
    LevelModels models;
    createPlayer();
    loadTunnelModels(models);
    buildTunnelNetwork(models);
    buildDoors();
    gameState.currentTunnel = tunnel(0);
    pairFarEndDoors();
    setDoorStartStates();
    placeKeysAndGlassDoor(models);
    openStartingDoors();
    placeSwitches(models);
    placeCubes(models);
    addStairs(models);
    placeButton(models);
    placeSigns(models);
    placeFinalDoors(models);
    loadPortalModels(models);
    reserveTrainFreeTunnels();
}

void releaseLevel()
{
    delete gameState.camera;
    gameState.camera = nullptr;
    for (Model* model : gameState.levelModels)
        delete model;
    gameState.levelModels.clear();
    destroyPhysics();
}
