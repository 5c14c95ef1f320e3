#pragma once

#include <btBulletCollisionCommon.h>

// Counts the contacts between the player's ghost and one object of a pairwise contact test.
class CameraCollisionCallback : public btCollisionWorld::ContactResultCallback {
public:
    CameraCollisionCallback(const btCollisionObject* lookedFor, const btCollisionObject* playerGhost);

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* first, int firstPart,
                             int firstIndex, const btCollisionObjectWrapper* second, int secondPart,
                             int secondIndex) override;

    int getContactCount() const { return contactCount; }

private:
    const btCollisionObject* lookedFor = nullptr;   // the object the player may touch
    const btCollisionObject* playerGhost = nullptr; // the player's ghost object
    int contactCount = 0;
};
