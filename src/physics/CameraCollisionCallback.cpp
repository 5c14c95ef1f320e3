#include "physics/CameraCollisionCallback.h"

CameraCollisionCallback::CameraCollisionCallback(const btCollisionObject* lookedFor,
                                                 const btCollisionObject* playerGhost)
    : lookedFor(lookedFor), playerGhost(playerGhost)
{
}

btScalar CameraCollisionCallback::addSingleResult(btManifoldPoint&, const btCollisionObjectWrapper* first, int, int,
                                                  const btCollisionObjectWrapper* second, int, int)
{
    // Bullet reports a compound body first whatever order the pair was asked in, so the
    // pair is matched both ways round.
    const btCollisionObject* a = first->getCollisionObject();
    const btCollisionObject* b = second->getCollisionObject();
    if ((a == lookedFor && b == playerGhost) || (a == playerGhost && b == lookedFor))
        ++contactCount;
    return 0;
}
