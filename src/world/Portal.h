#pragma once

#include "world/GameObject.h"

class Tunnel;

// A surface through which the tunnel of the linked portal is seen. Portals come in pairs:
// the visible one stands in its tunnel's list, the linked one only marks the other side.
class Portal : public GameObject {
public:
    Portal(Model* surfaceModel, Model* frameModel, Tunnel* tunnel);
    ~Portal() override; // deletes the frame

    void setLinkedPortal(Portal* portal) { linkedPortal = portal; }
    Portal* getLinkedPortal() const { return linkedPortal; }
    Tunnel* getTunnel() const { return tunnel; }

    // The frame around the portal, placed on the portal.
    virtual void drawFrame(ShaderProgram* program);
    // The portal surface itself (for the stencil and depth steps).
    void drawSurface(ShaderProgram* program) const { draw(program); }

    // The view matrix for looking through this portal out of the linked one.
    glm::mat4 portalView(const glm::mat4& view) const;
    // The projection for that view, its near plane moved onto the linked portal's plane.
    glm::mat4 clippedProjection(const glm::mat4& portalViewMatrix, const glm::mat4& projection) const;

private:
    Portal* linkedPortal = nullptr; // the other side
    Tunnel* tunnel = nullptr;       // the tunnel this portal stands in
    GameObject* frame = nullptr;    // owned
};
