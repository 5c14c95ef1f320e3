#include "world/Door.h"

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
