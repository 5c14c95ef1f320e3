#include "support/WorldChecks.h"

#include "world/GameObject.h"

RayHit firstHit(const glm::vec3& from, const glm::vec3& to)
{
    const btVector3 start(from.x, from.y, from.z);
    const btVector3 end(to.x, to.y, to.z);
    btCollisionWorld::ClosestRayResultCallback result(start, end);
    dynamicsWorld()->rayTest(start, end, result);
    if (!result.hasHit())
        return {};
    return {result.m_collisionObject, toGlm(result.m_hitPointWorld)};
}

bool isTurnedRound(const GameObject* object)
{
    return object->getModelMatrix()[0][0] < -0.999f;
}
