#include "physics/PhysicsWorld.h"

#include "physics/ContactPair.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <btBulletDynamicsCommon.h>

#include <map>
#include <utility>

namespace {

// One game tick is 40 ms; the world advances by exactly that in one step.
constexpr btScalar TICK_SECONDS = 0.04f;
constexpr int MAX_SUBSTEPS = 0;
constexpr btScalar FIXED_STEP_SECONDS = 1.0f / 60.0f;
// y is up; world units per second squared.
const btVector3 GRAVITY(0, -10, 0);
// Room for ten times as many touching pairs as the level ever has at once.
constexpr int CONTACT_POOL_SIZE = 512;

btBroadphaseInterface* broadphase = nullptr;
btDefaultCollisionConfiguration* collisionConfiguration = nullptr;
btCollisionDispatcher* dispatcher = nullptr;
btSequentialImpulseConstraintSolver* solver = nullptr;
btDiscreteDynamicsWorld* world = nullptr;
// Kept so teardown can release it: Bullet's pair cache does not own its ghost callback.
btGhostPairCallback* ghostPairCallback = nullptr;
// The contact tests asked for so far, by the pair of bodies in the order asked. Their dispatcher
// shares the world's configuration (the same algorithms and pools) but keeps its manifolds in a
// list of its own, out of the solver's sight.
btCollisionDispatcher* contactDispatcher = nullptr;
using ContactPairs = std::map<std::pair<const btCollisionObject*, const btCollisionObject*>, ContactPair>;
ContactPairs* contactPairs = nullptr;

} // namespace

void initPhysics()
{
    broadphase = new btDbvtBroadphase(nullptr);
    // Bullet's default pools hold 4096 contact manifolds and as many collision algorithms, 3.6 MB
    // written through at start; the level's busiest moments use 17 and 52. Past its pool Bullet
    // takes from the heap.
    btDefaultCollisionConstructionInfo pools;
    pools.m_defaultMaxPersistentManifoldPoolSize = CONTACT_POOL_SIZE;
    pools.m_defaultMaxCollisionAlgorithmPoolSize = CONTACT_POOL_SIZE;
    collisionConfiguration = new btDefaultCollisionConfiguration(pools);
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    solver = new btSequentialImpulseConstraintSolver();
    world = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    world->setGravity(GRAVITY);
    // Hundreds of static tunnel bodies never move by themselves: a step refreshes the bounds of
    // active bodies only, and GameObject refreshes a resting body's bounds when it is moved.
    world->setForceUpdateAllAabbs(false);
    // Ghost objects (the player) keep their overlapping pairs only with this callback installed.
    ghostPairCallback = new btGhostPairCallback();
    world->getPairCache()->setInternalGhostPairCallback(ghostPairCallback);
    contactDispatcher = new btCollisionDispatcher(collisionConfiguration);
    contactPairs = new ContactPairs();
}

void destroyPhysics()
{
    delete contactPairs;
    contactPairs = nullptr;
    delete contactDispatcher;
    contactDispatcher = nullptr;
    delete world;
    world = nullptr;
    delete solver;
    solver = nullptr;
    delete dispatcher;
    dispatcher = nullptr;
    delete collisionConfiguration;
    collisionConfiguration = nullptr;
    delete broadphase;
    broadphase = nullptr;
    delete ghostPairCallback;
    ghostPairCallback = nullptr;
}

btDiscreteDynamicsWorld* dynamicsWorld()
{
    return world;
}

void stepPhysics()
{
    world->stepSimulation(TICK_SECONDS, MAX_SUBSTEPS, FIXED_STEP_SECONDS);
}

bool objectsTouch(btCollisionObject* one, btCollisionObject* other)
{
    auto pair = contactPairs->try_emplace({one, other}, contactDispatcher, world->getDispatchInfo(), one, other).first;
    return pair->second.touching();
}

void removeFromWorld(btCollisionObject* object)
{
    for (auto pair = contactPairs->begin(); pair != contactPairs->end();) {
        const auto [one, other] = pair->first;
        pair = one == object || other == object ? contactPairs->erase(pair) : std::next(pair);
    }
    world->removeCollisionObject(object);
}
