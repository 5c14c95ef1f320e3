#include "level/DoorPortals.h"

#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "world/Door.h"
#include "world/Portal.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>

namespace {
// How far in front of its door each portal of a pair stands: the visible one just in front of
// the door, the linked one (which only marks where the view comes from) further in.
constexpr float VISIBLE_PORTAL_OFFSET = 2.0f;
constexpr float LINKED_PORTAL_OFFSET = 10.0f;

// Places a portal in front of a door, on the tunnel's side of the wall: a near-end door faces +x,
// so its portal stands beyond it and is turned round to face the tunnel.
void placeInFrontOf(Portal* portal, Tunnel* tunnel, Door* door, float distance)
{
    glm::vec3 offset(-distance, 0.0f, 0.0f);
    if (tunnel->isNearEndDoor(door)) {
        portal->rotate(0.0f, 180.0f, 0.0f);
        offset.x = distance;
    }
    portal->setPosition(door->getPosition() + offset);
}

// A portal pair for the way from door A's tunnel (tunnel B) into tunnel A: the visible portal
// stands in tunnel B before door B, its linked side in tunnel A before door A.
void createPortal(const std::vector<Model*>& portalModels, const btCollisionObject* player, Tunnel* tunnelA,
                  Door* doorA, Tunnel* tunnelB, Door* doorB)
{
    Portal* linked = new Portal(portalModels[0], nullptr, tunnelA);
    linked->setIgnoreCollisionWith(player, true);
    placeInFrontOf(linked, tunnelA, doorA, LINKED_PORTAL_OFFSET);

    // The visible portal keeps blocking the player: the way through is the door, not the portal.
    Portal* visible = new Portal(portalModels[0], portalModels[1], tunnelB);
    visible->setLinkedPortal(linked);
    placeInFrontOf(visible, tunnelB, doorB, VISIBLE_PORTAL_OFFSET);
    tunnelB->addPortal(visible);
}
} // namespace

void openPortals(Door& door, const std::vector<Model*>& portalModels, const Camera& camera)
{
    const btCollisionObject* player = camera.getGhostObject();
    Door* partner = door.getPartner();
    // An unpaired door has no other side to show.
    if (door.portalsOpened || !partner)
        return;
    door.setIgnoreCollisionWith(player, true);
    createPortal(portalModels, player, door.getDestination(), partner, partner->getDestination(), &door);
    partner->setIgnoreCollisionWith(player, true);
    createPortal(portalModels, player, partner->getDestination(), &door, door.getDestination(), partner);
    door.portalsOpened = true;
    partner->portalsOpened = true;
}
