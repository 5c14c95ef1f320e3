#include "physics/ContactPair.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <btBulletCollisionCommon.h>

namespace {

// Counts the contact points the algorithm finds and stores none, as Bullet's own pairwise test
// hands each point on to its callback: a kept manifold stays empty, so no test sees what an
// earlier one found.
class ContactPoints : public btManifoldResult {
public:
    ContactPoints(const btCollisionObjectWrapper* one, const btCollisionObjectWrapper* other)
        : btManifoldResult(one, other)
    {
    }

    void addContactPoint(const btVector3&, const btVector3&, btScalar) override { ++count; }

    int count = 0;
};

} // namespace

ContactPair::ContactPair(btDispatcher* dispatcher, const btDispatcherInfo& dispatchInfo, btCollisionObject* one,
                         btCollisionObject* other)
    : dispatcher(dispatcher), dispatchInfo(dispatchInfo), one(one), other(other)
{
    btCollisionObjectWrapper oneWrap(nullptr, one->getCollisionShape(), one, one->getWorldTransform(), -1, -1);
    btCollisionObjectWrapper otherWrap(nullptr, other->getCollisionShape(), other, other->getWorldTransform(), -1, -1);
    algorithm = dispatcher->findAlgorithm(&oneWrap, &otherWrap, nullptr, BT_CLOSEST_POINT_ALGORITHMS);
}

ContactPair::~ContactPair()
{
    algorithm->~btCollisionAlgorithm();
    dispatcher->freeCollisionAlgorithm(algorithm);
}

bool ContactPair::touching()
{
    // Bullet's box-box test asks once, when it is made, whether the pair may collide, and finds
    // nothing if not (the player walks through a door whose portals are open). Kept, it would keep
    // that first answer; so the question is asked on every test, and the tests of the parts are
    // only ever made while the answer is yes.
    if (!dispatcher->needsCollision(one, other))
        return false;
    btCollisionObjectWrapper oneWrap(nullptr, one->getCollisionShape(), one, one->getWorldTransform(), -1, -1);
    btCollisionObjectWrapper otherWrap(nullptr, other->getCollisionShape(), other, other->getWorldTransform(), -1, -1);
    ContactPoints points(&oneWrap, &otherWrap);
    algorithm->processCollision(&oneWrap, &otherWrap, dispatchInfo, &points);
    return points.count > 0;
}
