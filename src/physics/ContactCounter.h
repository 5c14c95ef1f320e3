#pragma once

#include <btBulletCollisionCommon.h>

// Counts the contacts between two given objects in a pairwise contact test: the player's ghost
// and a door it may touch, a train and what it may hit.
class ContactCounter : public btCollisionWorld::ContactResultCallback {
public:
    ContactCounter(const btCollisionObject* one, const btCollisionObject* other);

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* first, int firstPart,
                             int firstIndex, const btCollisionObjectWrapper* second, int secondPart,
                             int secondIndex) override;

    int getContactCount() const { return contactCount; }

private:
    const btCollisionObject* one = nullptr;
    const btCollisionObject* other = nullptr;
    int contactCount = 0;
};
