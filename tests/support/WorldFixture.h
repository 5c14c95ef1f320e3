#pragma once

#include "world/Model.h"

#include <gtest/gtest.h>

#include <memory>

class Tunnel;

// The physics world with the tunnel's own models, for tests that build parts of the world by
// hand, outside the level. What a test builds stays in the world until the process ends, as the game's objects do (each
// test case runs in its own process): the world's bodies lead back to their objects.
class WorldFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // A tunnel with its origin at (x, y, z), built from these models and kept to the end.
    Tunnel* makeTunnel(float x, float y, float z);

    std::unique_ptr<Model> hallwayReality, deadEndReality, hallwayGlasses, deadEndGlasses;
    std::unique_ptr<Model> trainModel, wheelModel, doorModel, cubeModel;
};
