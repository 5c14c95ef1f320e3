#include "level/Tunnel.h"

#include "level/TunnelShape.h"
#include "world/Model.h"
#include "world/SpotLight.h"
#include "world/Door.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {
// Shell: ten pieces 40 long, from the near end piece at the origin to the far end piece.
using shape::PIECE_LENGTH;
using shape::STRAIGHT_PIECES;
// End walls: the near one 19 before the origin, the far one 379 beyond it; each 40 wide in z,
// holding doors 8 wide.
constexpr int NEAR_WALL_X = -19;
constexpr int FAR_WALL_X = 379;
constexpr double WALL_WIDTH = shape::TUNNEL_WIDTH;
constexpr double DOOR_WIDTH = 8.0;
// Doors and switches stand on a wall's plane: the middle of their box may round a hair beyond it.
constexpr float ON_THE_WALL = 0.01f;
// Lights: three, 90 apart and 40 above the floor, pointing down (the tiny x keeps the look-at
// defined against the up vector).
constexpr int LIGHT_COUNT = 3;
constexpr float LIGHT_SPACING = 90.0f;
constexpr float LIGHT_HEIGHT = 40.0f;
const glm::vec3 LIGHT_INTENSITY(1.0f, 1.0f, 1.0f);
const glm::vec3 LIGHT_DIRECTION(0.0001f, -1.0f, 0.0f);
// Stairs replace straight piece 5: three steps 13 long climbing 8 each, after which the rest of
// the tunnel stands 24 higher and 2 nearer.
constexpr int STAIRS_PIECE = 5;
constexpr float FIRST_STEP_SET_BACK = 11.0f; // the first step starts this far before the replaced piece
const glm::vec3 STAIR_STEP(shape::STAIR_RUN, shape::STAIR_RISE, 0.0f);
const glm::vec3 STAIRS_TOP(23.0f, 8.0f, 0.0f);
const glm::vec3 NEXT_PIECE(40.0f, 0.0f, 0.0f);
constexpr float PULL_BACK_BEYOND_STAIRS = -2.0f;
// Trains run from the origin to 350 along the tunnel at height 1 and start 55 along it.
constexpr float TRAIN_RUN = 350.0f;
constexpr float TRAIN_RUN_HEIGHT = 1.0f;
constexpr float TRAIN_START = 55.0f;
constexpr float TRAIN_SPEED = 1.0f;
// A player this far beside a train's side is out of its way.
constexpr float TRACK_SIDE_ROOM = 1.0f;
const std::array<glm::vec3, 12> WHEEL_POSITIONS = {{
    {30.0f, 2.0f, 4.5f},
    {24.5f, 2.0f, 4.5f},
    {19.0f, 2.0f, 4.5f},
    {30.0f, 2.0f, -4.5f},
    {24.5f, 2.0f, -4.5f},
    {19.0f, 2.0f, -4.5f},
    {-28.5f, 2.0f, -4.5f},
    {-23.0f, 2.0f, -4.5f},
    {-17.5f, 2.0f, -4.5f},
    {-28.5f, 2.0f, 4.5f},
    {-23.0f, 2.0f, 4.5f},
    {-17.5f, 2.0f, 4.5f},
}};

// The z centres of n doors spread evenly over a wall, with equal gaps between them and at both
// sides (worked in double precision).
std::vector<double> doorCentres(int count)
{
    double gap = (WALL_WIDTH - DOOR_WIDTH * count) / (count + 1);
    std::vector<double> centres;
    double z = gap - (WALL_WIDTH / 2.0 - DOOR_WIDTH / 2.0);
    for (int i = 0; i < count; ++i) {
        centres.push_back(z);
        z += gap + DOOR_WIDTH;
    }
    return centres;
}
} // namespace

Tunnel::Tunnel(float x, float y, float z, Model* hallwayRealityModel, Model* deadEndRealityModel,
               Model* hallwayGlassesModel, Model* deadEndGlassesModel, Model* trainModel, Model* doorModel,
               Model* wheelModel, btCollisionObject* playerGhost)
    : hallwayRealityModel(hallwayRealityModel), deadEndRealityModel(deadEndRealityModel),
      hallwayGlassesModel(hallwayGlassesModel), deadEndGlassesModel(deadEndGlassesModel), wheelModel(wheelModel),
      position(x, y, z), trainModel(trainModel), doorModel(doorModel), playerGhost(playerGhost)
{
    buildShell();
}

Tunnel::~Tunnel()
{
    for (GameObject* piece : realityPieces)
        delete piece;
    for (GameObject* piece : glassesPieces)
        delete piece;
    for (SpotLight* light : lights)
        delete light;
    for (Portal* portal : portals) {
        delete portal->getLinkedPortal();
        delete portal;
    }
    delete train;
}

void Tunnel::buildShell()
{
    GameObject* nearEndReality = new GameObject(deadEndRealityModel);
    nearEndReality->setPosition(position);
    realityPieces.push_back(nearEndReality);
    GameObject* nearEndGlasses = new GameObject(deadEndGlassesModel);
    nearEndGlasses->setPosition(position);
    glassesPieces.push_back(nearEndGlasses);

    for (int i = 1; i <= STRAIGHT_PIECES; ++i) {
        float x = position.x + static_cast<float>(PIECE_LENGTH * i);
        GameObject* reality = new GameObject(hallwayRealityModel);
        reality->setPosition(x, position.y, position.z);
        realityPieces.push_back(reality);
        GameObject* glasses = new GameObject(hallwayGlassesModel);
        glasses->setPosition(x, position.y, position.z);
        glassesPieces.push_back(glasses);
    }

    // The far end piece is the near end piece turned round to close the other end.
    float farEndX = position.x + static_cast<float>(PIECE_LENGTH * (STRAIGHT_PIECES + 1));
    GameObject* farEndReality = new GameObject(deadEndRealityModel);
    farEndReality->setPosition(farEndX, position.y, position.z);
    farEndReality->rotate(0.0f, 180.0f, 0.0f);
    realityPieces.push_back(farEndReality);
    GameObject* farEndGlasses = new GameObject(deadEndGlassesModel);
    farEndGlasses->setPosition(farEndX, position.y, position.z);
    farEndGlasses->rotate(0.0f, 180.0f, 0.0f);
    glassesPieces.push_back(farEndGlasses);

    for (std::uint16_t i = 1; i <= LIGHT_COUNT; ++i) {
        glm::vec3 lightPosition = position + glm::vec3(LIGHT_SPACING * i, LIGHT_HEIGHT, 0.0f);
        lights.push_back(new SpotLight(lightPosition, LIGHT_INTENSITY, LIGHT_DIRECTION));
    }
}

Tunnel* Tunnel::addTunnel(float x, float y, float z)
{
    Tunnel* tunnel = new Tunnel(x, y, z, hallwayRealityModel, deadEndRealityModel, hallwayGlassesModel,
                                deadEndGlassesModel, trainModel, doorModel, wheelModel, playerGhost);
    forwardTunnels.push_back(tunnel);
    return tunnel;
}

void Tunnel::addForward(Tunnel* tunnel)
{
    forwardTunnels.push_back(tunnel);
}

std::vector<Door*> Tunnel::connect(const std::vector<Tunnel*>& tunnels)
{
    backTunnels.insert(backTunnels.end(), tunnels.begin(), tunnels.end());
    return buildDoors();
}

std::vector<Door*> Tunnel::buildDoors()
{
    layOutDoors();
    linkDoors();
    return doors;
}

void Tunnel::addDoorsToWall(const std::vector<Tunnel*>& destinations, int wallX)
{
    std::vector<double> centres = doorCentres(static_cast<int>(destinations.size()));
    for (std::size_t i = 0; i < destinations.size(); ++i) {
        Door* door = new Door(doorModel, destinations[i]);
        door->setPosition(position + glm::vec3(static_cast<float>(wallX), 0.0f, static_cast<float>(centres[i])));
        objects.push_back(door);
        doors.push_back(door);
    }
}

void Tunnel::layOutDoors()
{
    addDoorsToWall(forwardTunnels, FAR_WALL_X);
    // The near wall lists its doors in the reverse order of the connections.
    std::reverse(backTunnels.begin(), backTunnels.end());
    addDoorsToWall(backTunnels, NEAR_WALL_X);
}

void Tunnel::linkDoors()
{
    for (std::size_t i = 0; i < backTunnels.size(); ++i) {
        Door* nearDoor = doors[forwardTunnels.size() + i];
        if (!nearDoor->isUnpaired())
            continue;
        // A door back that is not built yet gets paired when its own tunnel links its doors.
        for (Door* doorBack : backTunnels.at(i)->getDoors()) {
            if (doorBack->getDestination() == this) {
                nearDoor->pairWith(doorBack);
                break;
            }
        }
    }
}

void Tunnel::place(GameObject* object, float dx, float dy, float dz)
{
    object->setPosition(position + glm::vec3(dx, dy, dz));
    objects.push_back(object);
}

void Tunnel::addStairs(Model* stairsRealityModel, Model* stairsGlassesModel)
{
    GameObject* oldGlassesPiece = glassesPieces[STAIRS_PIECE];
    GameObject* oldRealityPiece = realityPieces[STAIRS_PIECE];
    addStairsTo(realityPieces, stairsRealityModel);
    addStairsTo(glassesPieces, stairsGlassesModel);
    delete oldGlassesPiece;
    delete oldRealityPiece;

    // Everything from the first piece after the stairs on stands on the upper level.
    glm::vec3 upperStart = glassesPieces[STAIRS_PIECE + 1]->getPosition();
    for (GameObject* object : objects) {
        glm::vec3 at = object->getPosition();
        if (at.x >= upperStart.x)
            object->setPosition(at + glm::vec3(PULL_BACK_BEYOND_STAIRS, upperStart.y, 0.0f));
    }
}

void Tunnel::addStairsTo(std::vector<GameObject*>& pieces, Model* stairsModel)
{
    GameObject* firstStep = new GameObject(stairsModel);
    pieces[STAIRS_PIECE] = firstStep;
    firstStep->setPosition(position.x + static_cast<float>(PIECE_LENGTH * STAIRS_PIECE) - FIRST_STEP_SET_BACK,
                           position.y, position.z);
    GameObject* secondStep = new GameObject(stairsModel);
    secondStep->setPosition(firstStep->getPosition() + STAIR_STEP);
    pieces.push_back(secondStep);
    GameObject* thirdStep = new GameObject(stairsModel);
    thirdStep->setPosition(secondStep->getPosition() + STAIR_STEP);
    pieces.push_back(thirdStep);

    pieces[STAIRS_PIECE + 1]->setPosition(thirdStep->getPosition() + STAIRS_TOP);
    for (int k = STAIRS_PIECE + 2; k <= STRAIGHT_PIECES + 1; ++k)
        pieces[k]->setPosition(pieces[k - 1]->getPosition() + NEXT_PIECE);
}

Door* Tunnel::findDoorOnRay(const glm::vec3& origin, const glm::vec3& direction, bool farEnd) const
{
    std::size_t nearWallDoors = std::min(backTunnels.size(), doors.size());
    std::size_t first = farEnd ? 0 : forwardTunnels.size();
    std::size_t end = farEnd ? doors.size() - nearWallDoors : doors.size();
    for (std::size_t i = first; i < end; ++i) {
        if (holds(doors[i]) && doors[i]->isHitByRay(origin, direction))
            return doors[i];
    }
    return nullptr;
}

bool Tunnel::holds(const GameObject* object) const
{
    glm::vec3 fromOrigin = object->worldCentre() - position;
    float halfWidth = static_cast<float>(WALL_WIDTH / 2.0);
    return fromOrigin.x >= NEAR_WALL_X - ON_THE_WALL && fromOrigin.x <= FAR_WALL_X + ON_THE_WALL &&
           std::fabs(fromOrigin.z) <= halfWidth + ON_THE_WALL;
}

bool Tunnel::isOnTrainTrack(const glm::vec3& point, float halfWidth) const
{
    // Trains run down the tunnel's middle line.
    float trainHalfWidth = trainModel->bounds().first.z;
    return std::fabs(point.z - position.z) < trainHalfWidth + halfWidth + TRACK_SIDE_ROOM;
}

bool Tunnel::hasForward(const Tunnel* tunnel) const
{
    return std::find(forwardTunnels.begin(), forwardTunnels.end(), tunnel) != forwardTunnels.end();
}

bool Tunnel::isNearEndDoor(const Door* door) const
{
    auto found = std::find(doors.begin(), doors.end(), door);
    return found != doors.end() && static_cast<std::size_t>(found - doors.begin()) >= forwardTunnels.size();
}

void Tunnel::removeObject(const GameObject* object)
{
    objects.erase(std::remove(objects.begin(), objects.end(), object), objects.end());
}

void Tunnel::replaceObject(const GameObject* object, GameObject* replacement)
{
    auto entry = std::find(objects.begin(), objects.end(), object);
    if (entry != objects.end())
        *entry = replacement;
}

bool Tunnel::containsObject(const GameObject* object) const
{
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

void Tunnel::addPortal(Portal* portal)
{
    portals.push_back(portal);
}

void Tunnel::spawnTrain()
{
    glm::vec3 pointA(position.x + TRAIN_RUN, TRAIN_RUN_HEIGHT, position.z);
    glm::vec3 pointB(position.x, TRAIN_RUN_HEIGHT, position.z);
    train = new Train(trainModel, TRAIN_SPEED, pointA, pointB, playerGhost);
    std::vector<GameObject*> wheels;
    for (const glm::vec3& wheelPosition : WHEEL_POSITIONS) {
        GameObject* wheel = new GameObject(wheelModel);
        wheel->setPosition(wheelPosition);
        wheels.push_back(wheel);
    }
    train->setPosition(position + glm::vec3(TRAIN_START, 0.0f, 0.0f));
    train->setWheels(wheels);
    objects.push_back(train);
}
