#pragma once

#include "world/GameObject.h"

#include <vector>

class btCollisionObject;

// A train that shuttles between two points of its tunnel on twelve spinning wheels and ends the
// game when it touches the player.
class Train : public GameObject {
public:
    Train(Model* model, float speed, glm::vec3 pointA, glm::vec3 pointB, btCollisionObject* victim);

    // One tick: turn at an end, move, spin the wheels, test the player; a hit ends the game.
    void update() override;
    bool hitsVictim();
    // Hands the wheels to the train and puts them at their world place at once.
    void setWheels(const std::vector<GameObject*>& wheels);
    // True after an update found the train touching the player.
    bool hasHit() const { return hit; }

    glm::vec3 getCurrentTarget() const { return currentTarget; }
    glm::vec3 getDirection() const { return direction; }

private:
    btCollisionObject* victim = nullptr; // the player's ghost
    glm::vec3 pointA;                    // one end of the run, world
    glm::vec3 pointB;                    // the other end of the run, world
    glm::vec3 currentTarget;             // the end the train heads for
    glm::vec3 direction;                 // unit direction of travel
    float speed = 1.0f;                  // world units per tick
    bool hit = false;                    // the last update touched the victim
};
