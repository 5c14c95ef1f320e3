#include "world/Door.h"

#include "level/Tunnel.h"
#include "physics/Camera.h"
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
} // namespace

Door::Door(Model* model, Tunnel* destination) : GameObject(model), destination(destination) {}

void Door::setRealityOpen(bool open)
{
    shownInReality = open;
    clickableInReality = open;
}

void Door::setGlassesOpen(bool open)
{
    shownInGlasses = open;
    clickableInGlasses = open;
}

void Door::setOpen(bool open, bool withPartner)
{
    setRealityOpen(open);
    setGlassesOpen(open);
    if (withPartner && partner)
        partner->setOpen(open, false);
}

glm::vec3 Door::getPartnerPosition() const
{
    // An unpaired door leads nowhere else: the player stays at the door itself.
    return partner ? partner->getPosition() : getPosition();
}

void Door::linkPartner(Door* door)
{
    if (!partner)
        partner = door;
}

void Door::pairWith(Door* door)
{
    partner = door;
    door->linkPartner(this);
}

void Door::openPortals(const std::vector<Model*>& portalModels, Camera* camera)
{
    // An unpaired door has no other side to show.
    if (portalsOpened || !partner)
        return;
    setIgnoreCollisionWith(camera->getGhostObject(), true);
    createPortal(portalModels, camera, destination, partner, partner->destination, this);
    partner->setIgnoreCollisionWith(camera->getGhostObject(), true);
    createPortal(portalModels, camera, partner->destination, this, destination, partner);
    portalsOpened = true;
    partner->portalsOpened = true;
}

void Door::createPortal(const std::vector<Model*>& portalModels, Camera* camera, Tunnel* tunnelA, Door* doorA,
                        Tunnel* tunnelB, Door* doorB)
{
    Portal* linked = new Portal(portalModels[0], nullptr, tunnelA);
    linked->setIgnoreCollisionWith(camera->getGhostObject(), true);
    placeInFrontOf(linked, tunnelA, doorA, LINKED_PORTAL_OFFSET);

    // The visible portal keeps blocking the player: the way through is the door, not the portal.
    Portal* visible = new Portal(portalModels[0], portalModels[1], tunnelB);
    visible->setLinkedPortal(linked);
    placeInFrontOf(visible, tunnelB, doorB, VISIBLE_PORTAL_OFFSET);
    tunnelB->addPortal(visible);
}
