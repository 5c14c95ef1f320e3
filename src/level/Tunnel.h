#pragma once

#include <glm/glm.hpp>

#include <vector>

class btCollisionObject;
class Door;
class GameObject;
class Model;
class Portal;
class SpotLight;
class Train;

// One straight tunnel segment along +x: a shell per view, three lights, the doors in its two
// end walls, the objects standing in it, and the portals and train that appear during play.
class Tunnel {
public:
    Tunnel(float x, float y, float z, Model* hallwayRealityModel, Model* deadEndRealityModel,
           Model* hallwayGlassesModel, Model* deadEndGlassesModel, Model* trainModel, Model* doorModel,
           Model* wheelModel, btCollisionObject* playerGhost);
    ~Tunnel();
    Tunnel(const Tunnel&) = delete;
    Tunnel& operator=(const Tunnel&) = delete;

    Tunnel* addTunnel(float x, float y, float z);
    void addForward(Tunnel* tunnel);
    std::vector<Door*> connect(const std::vector<Tunnel*>& tunnels);
    std::vector<Door*> buildDoors();
    void place(GameObject* object, float dx, float dy, float dz);
    void addStairs(Model* stairsRealityModel, Model* stairsGlassesModel);
    // The first door of one end wall, in list order, that the line crosses; null if none.
    Door* findDoorOnRay(const glm::vec3& origin, const glm::vec3& direction, bool farEnd) const;
    bool hasForward(const Tunnel* tunnel) const;
    bool isNearEndDoor(const Door* door) const;
    void removeObject(const GameObject* object);
    // Puts the replacement where the first occurrence of the object stands in the list.
    void replaceObject(const GameObject* object, GameObject* replacement);
    bool containsObject(const GameObject* object) const;
    void addPortal(Portal* portal);
    // Starts a new train here (the older one, if any, stays where it stands).
    void spawnTrain();

    glm::vec3 getPosition() const { return position; }
    const std::vector<Door*>& getDoors() const { return doors; }
    std::vector<SpotLight*> getLights() const { return lights; }
    const std::vector<Portal*>& getPortals() const { return portals; }
    Train* getTrain() const { return train; }
    const std::vector<GameObject*>& getObjects() const { return objects; }
    const std::vector<GameObject*>& getRealityPieces() const { return realityPieces; }
    const std::vector<GameObject*>& getGlassesPieces() const { return glassesPieces; }
    const std::vector<Tunnel*>& getForwardTunnels() const { return forwardTunnels; }
    const std::vector<Tunnel*>& getBackTunnels() const { return backTunnels; }

private:
    void buildShell();
    void layOutDoors();
    // One door per destination, spread over the end wall at wallX (relative to the origin).
    void addDoorsToWall(const std::vector<Tunnel*>& destinations, int wallX);
    void linkDoors();
    void addStairsTo(std::vector<GameObject*>& pieces, Model* stairsModel);

    std::vector<GameObject*> objects;       // doors, placed objects and trains; drawn in both views
    std::vector<GameObject*> realityPieces; // shell of the reality view; owned
    std::vector<GameObject*> glassesPieces; // shell of the glasses view; owned
    std::vector<Tunnel*> forwardTunnels;    // behind the far end wall, in door order
    std::vector<Tunnel*> backTunnels;       // behind the near end wall, in door order
    Model* hallwayRealityModel = nullptr;
    Model* deadEndRealityModel = nullptr;
    Model* hallwayGlassesModel = nullptr;
    Model* deadEndGlassesModel = nullptr;
    Model* wheelModel = nullptr;
    std::vector<Door*> doors;               // far-end doors, then near-end doors
    glm::vec3 position;                     // origin in world coordinates
    Train* train = nullptr;                 // owned
    Model* trainModel = nullptr;
    std::vector<SpotLight*> lights;         // owned
    Model* doorModel = nullptr;
    btCollisionObject* playerGhost = nullptr;
    std::vector<Portal*> portals;           // owned, with their linked portals
};
