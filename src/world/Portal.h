#pragma once

#include "world/GameObject.h"

class Tunnel;

// A surface through which the tunnel of the linked portal is seen. Portals come in pairs:
// the visible one stands in its tunnel's list, the linked one only marks the other side.
class Portal : public GameObject {
public:
    // Without a frame model the portal has no frame: the linked side is never seen.
    Portal(Model* surfaceModel, Model* frameModel, Tunnel* tunnel);
    ~Portal() override; // deletes the frame

    void setLinkedPortal(Portal* portal) { linkedPortal = portal; }
    Portal* getLinkedPortal() const { return linkedPortal; }
    Tunnel* getTunnel() const { return tunnel; }

    // The frame around the portal, placed with it; null for a frameless portal.
    const GameObject* getFrame() const { return frame; }

    // The view matrix for looking through this portal out of the linked one.
    glm::mat4 portalView(const glm::mat4& view) const;
    // The projection for that view, its near plane moved onto the linked portal's plane.
    glm::mat4 clippedProjection(const glm::mat4& portalViewMatrix, const glm::mat4& projection) const;

protected:
    void updateTransform() override;

private:
    Portal* linkedPortal = nullptr; // the other side
    Tunnel* tunnel = nullptr;       // the tunnel this portal stands in
    GameObject* frame = nullptr;    // owned
};
