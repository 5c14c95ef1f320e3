#include "world/TrainCollisionCallback.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>

TrainCollisionCallback::TrainCollisionCallback(const btCollisionObject* victim, const btCollisionObject* trainBody)
    : victim(victim), trainBody(trainBody)
{
}

btScalar TrainCollisionCallback::addSingleResult(btManifoldPoint&, const btCollisionObjectWrapper* first, int, int,
                                                 const btCollisionObjectWrapper* second, int, int)
{
    // Bullet reports a compound body such as the train first, whichever order the pair was
    // asked in; either order is the same touch.
    const btCollisionObject* a = first->getCollisionObject();
    const btCollisionObject* b = second->getCollisionObject();
    if ((a == trainBody && b == victim) || (a == victim && b == trainBody))
        ++contactCount;
    return 0;
}
