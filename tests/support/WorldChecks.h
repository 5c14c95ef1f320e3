#pragma once

#include "physics/PhysicsWorld.h"

#include <btBulletDynamicsCommon.h>
#include <glm/glm.hpp>

class GameObject;

inline glm::vec3 toGlm(const btVector3& v)
{
    return glm::vec3(v.x(), v.y(), v.z());
}

// The first body of the world that the line from one point to another meets, and where.
struct RayHit {
    const btCollisionObject* body = nullptr; // null when the line meets nothing
    glm::vec3 point{0.0f};
};
RayHit firstHit(const glm::vec3& from, const glm::vec3& to);

// Whether the object is turned half round about y (its local x axis along world -x), as the far
// end of a tunnel and the portals facing a near-end wall are.
bool isTurnedRound(const GameObject* object);
