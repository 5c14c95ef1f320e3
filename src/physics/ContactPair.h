#pragma once

class btCollisionAlgorithm;
class btCollisionObject;
class btDispatcher;
struct btDispatcherInfo;

// The pairwise contact test of two bodies of the world, asked tick after tick: the player against
// a portal or a touch door, a train against the player. It finds what Bullet's contactPairTest
// finds, but keeps the pair's collision algorithm from one test to the next, where Bullet makes
// and frees it on every call (two heap allocations for a compound body). Made for the game's
// bodies: boxes and compounds of boxes.
class ContactPair {
public:
    // The dispatcher makes the algorithm and lends it manifolds while it is kept: not the world's
    // own, whose manifolds the solver walks every step.
    ContactPair(btDispatcher* dispatcher, const btDispatcherInfo& dispatchInfo, btCollisionObject* one,
                btCollisionObject* other);
    ~ContactPair(); // frees the algorithm; the two bodies need not exist any more
    ContactPair(const ContactPair&) = delete;
    ContactPair& operator=(const ContactPair&) = delete;

    // True when the two bodies touch where they stand now.
    bool touching();

private:
    btDispatcher* dispatcher = nullptr;
    const btDispatcherInfo& dispatchInfo;
    btCollisionObject* one = nullptr;
    btCollisionObject* other = nullptr;
    btCollisionAlgorithm* algorithm = nullptr; // from the dispatcher's pool
};
