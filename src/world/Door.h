#pragma once

#include "world/GameObject.h"

class Model;
class Tunnel;

// A door in a tunnel's end wall, leading to its destination tunnel, paired with the door back.
class Door : public GameObject {
public:
    Door(Model* model, Tunnel* destination);

    void setRealityOpen(bool open);
    void setGlassesOpen(bool open);
    // Opens or closes the door in both views, and its partner too when asked.
    void setOpen(bool open, bool withPartner);
    bool isShownInReality() const { return shownInReality; }
    bool isShownInGlasses() const { return shownInGlasses; }
    Tunnel* getDestination() const { return destination; }
    Door* getPartner() const { return partner; }
    glm::vec3 getPartnerPosition() const;
    bool isUnpaired() const { return partner == nullptr; }
    void linkPartner(Door* door);
    void pairWith(Door* door);

    bool shownInReality = false;     // drawn in the reality view
    bool shownInGlasses = false;     // drawn in the glasses view
    bool clickableInReality = false; // reacts to clicks in the reality view
    bool clickableInGlasses = false; // reacts to clicks in the glasses view
    bool passOnTouch = false;        // walking backwards into it takes the player through
    bool portalsOpened = false;      // the portals of this pair exist

private:
    Tunnel* destination = nullptr; // the tunnel this door leads to
    Door* partner = nullptr;       // the door at the other side
};
