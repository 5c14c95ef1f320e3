#pragma once

#include <btBulletCollisionCommon.h>

// Counts the contact points between a train's body and its victim, as reported by contactPairTest.
class TrainCollisionCallback : public btCollisionWorld::ContactResultCallback {
public:
    TrainCollisionCallback(const btCollisionObject* victim, const btCollisionObject* trainBody);

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* first, int firstPart,
                             int firstIndex, const btCollisionObjectWrapper* second, int secondPart,
                             int secondIndex) override;

    int getContactCount() const { return contactCount; }

private:
    const btCollisionObject* victim;    // the object whose touch counts
    const btCollisionObject* trainBody; // the train's own body
    int contactCount = 0;
};
