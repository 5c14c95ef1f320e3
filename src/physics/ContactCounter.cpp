#include "physics/ContactCounter.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>

ContactCounter::ContactCounter(const btCollisionObject* one, const btCollisionObject* other) : one(one), other(other)
{
}

btScalar ContactCounter::addSingleResult(btManifoldPoint&, const btCollisionObjectWrapper* first, int, int,
                                         const btCollisionObjectWrapper* second, int, int)
{
    // Bullet reports a compound body (a tunnel piece, the train) first, whichever order the pair
    // was asked in; either order is the same touch.
    const btCollisionObject* a = first->getCollisionObject();
    const btCollisionObject* b = second->getCollisionObject();
    if ((a == one && b == other) || (a == other && b == one))
        ++contactCount;
    return 0;
}
