#include "support/WorldFixture.h"

#include "level/Tunnel.h"
#include "physics/PhysicsWorld.h"

#include <vector>

void WorldFixture::SetUp()
{
    initPhysics();
    hallwayReality = std::make_unique<Model>("tunnel/reality", "dungeon_large_hallway3.obj");
    deadEndReality = std::make_unique<Model>("tunnel/reality", "dungeon_large_deadend.obj");
    hallwayGlasses = std::make_unique<Model>("tunnel/glasses", "dungeon_large_hallway2.obj");
    deadEndGlasses = std::make_unique<Model>("tunnel/glasses", "dungeon_large_deadend.obj");
    trainModel = std::make_unique<Model>("train", "train1.obj");
    wheelModel = std::make_unique<Model>("train", "wheel.obj");
    doorModel = std::make_unique<Model>("tunnel", "door.obj");
    cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
    ASSERT_GE(hallwayReality->getMeshes().size(), 2u);
    ASSERT_FALSE(cubeModel->getMeshes().empty());
}

Tunnel* WorldFixture::makeTunnel(float x, float y, float z)
{
    // Held where the leak checker of the sanitized build sees them, as the game holds its own.
    static auto* madeTunnels = new std::vector<Tunnel*>();
    madeTunnels->push_back(new Tunnel(x, y, z, hallwayReality.get(), deadEndReality.get(), hallwayGlasses.get(),
                                      deadEndGlasses.get(), trainModel.get(), doorModel.get(), wheelModel.get(),
                                      nullptr));
    return madeTunnels->back();
}
