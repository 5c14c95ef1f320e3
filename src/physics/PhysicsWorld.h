#pragma once

class btCollisionObject;
class btDiscreteDynamicsWorld;

// The one Bullet world that holds every body of the game and the player's ghost.
void initPhysics();
// Deletes the kept contact tests and their dispatcher, the world, then the solver, dispatcher,
// collision configuration and broadphase.
void destroyPhysics();
// The dynamics world, or null before initPhysics and after destroyPhysics.
btDiscreteDynamicsWorld* dynamicsWorld();
// One game tick of physics: a single 0.04 s step with no substeps.
void stepPhysics();
// Whether the two bodies touch where they stand now, as Bullet's pairwise contact test finds. The
// test of each pair asked is kept for the next time, so that a running game allocates nothing.
bool objectsTouch(btCollisionObject* one, btCollisionObject* other);
// Takes the body out of the world and lets go of the contact tests kept for it.
void removeFromWorld(btCollisionObject* object);
