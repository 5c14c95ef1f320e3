#include "world/Train.h"

#include "physics/PhysicsWorld.h"

#include <btBulletDynamicsCommon.h>

namespace {
// Degrees a wheel turns per tick; it rolls forward in the direction of travel.
constexpr float WHEEL_TURN_PER_TICK = 5.0f;

// Whether the point lies inside the box spanned by its largest and smallest corner, faces included.
bool boxContains(const std::pair<glm::vec3, glm::vec3>& box, const glm::vec3& point)
{
    const glm::vec3& high = box.first;
    const glm::vec3& low = box.second;
    return low.x <= point.x && point.x <= high.x && low.y <= point.y && point.y <= high.y && low.z <= point.z &&
           point.z <= high.z;
}
} // namespace

Train::Train(Model* model, float speed, glm::vec3 pointA, glm::vec3 pointB, btCollisionObject* victim)
    : GameObject(model), victim(victim), pointA(pointA), pointB(pointB), currentTarget(pointA),
      direction(pointA == pointB ? glm::vec3(0.0f) : glm::normalize(pointA - pointB)), speed(speed)
{
}

void Train::setWheels(const std::vector<GameObject*>& wheels)
{
    setChildren(wheels);
    updateTransform();
}

void Train::update()
{
    if (boxContains(worldBounds(), currentTarget)) {
        currentTarget = currentTarget == pointA ? pointB : pointA;
        direction = -direction;
    }
    glm::vec3 step = direction * speed;
    move(step.x, step.y, step.z);
    float wheelTurn = direction.x < 0.0f ? WHEEL_TURN_PER_TICK : -WHEEL_TURN_PER_TICK;
    for (GameObject* wheel : getChildren())
        wheel->rotate(0.0f, 0.0f, wheelTurn);
    hit = hitsVictim();
}

bool Train::hitsVictim()
{
    return victim && objectsTouch(victim, getBody());
}
