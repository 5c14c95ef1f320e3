#pragma once

class btDiscreteDynamicsWorld;

// The one Bullet world that holds every body of the game and the player's ghost.
void initPhysics();
// Deletes the world, then the solver, dispatcher, collision configuration and broadphase.
void destroyPhysics();
// The dynamics world, or null before initPhysics and after destroyPhysics.
btDiscreteDynamicsWorld* dynamicsWorld();
// One game tick of physics: a single 0.04 s step with no substeps.
void stepPhysics();
