#pragma once

#include <glm/glm.hpp>

#include <utility>
#include <vector>

class btCollisionObject;
class btCollisionShape;
class btDefaultMotionState;
class btRigidBody;
class Model;

// A model placed in the world by position, rotation (degrees) and scale, with a rigid body
// that stores its world transform. Children are placed relative to their parent.
class GameObject {
public:
    explicit GameObject(Model* model);                   // static body, compound shape
    GameObject(Model* model, float mass, bool compound); // dynamic when mass > 0
    virtual ~GameObject();                               // removes the body, destroys the children
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Per-tick hook; only trains do something.
    virtual void update() {}

    void setPosition(float x, float y, float z);
    void setPosition(const glm::vec3& p) { setPosition(p.x, p.y, p.z); }
    void setRotation(float x, float y, float z);
    // Moves by the offset from where the object stands now (a pushed cube from where it was pushed).
    void move(float dx, float dy, float dz);
    void rotate(float dx, float dy, float dz);
    void addScale(float dx, float dy, float dz);

    glm::mat4 getModelMatrix() const;
    glm::vec3 getPosition() const;
    glm::vec3 getRotationVector() const;
    // The model's two bounding corners (maximum first) in world space, not re-sorted.
    std::pair<glm::vec3, glm::vec3> worldBounds() const;
    unsigned triangleCount() const;
    btRigidBody* getBody() const { return body; }
    Model* getModel() const { return model; }
    const std::vector<GameObject*>& getChildren() const { return children; }
    glm::vec3 worldCentre() const;
    // True when the line from origin onwards along direction crosses a face of the world box;
    // a box behind the origin is not hit.
    bool isHitByRay(const glm::vec3& origin, const glm::vec3& direction) const;

    void setChildren(const std::vector<GameObject*>& newChildren);
    void setIgnoreCollisionWith(const btCollisionObject* other, bool ignore);

protected:
    // Places the body where position, rotation and scale say, then the children.
    virtual void updateTransform();
    // Rotation angles in degrees as set, not read back from the body.
    glm::vec3 getLocalRotation() const { return rotation; }

private:
    void createBody(float mass, bool compound);

    Model* model = nullptr;
    glm::vec3 position{0, 0, 0};
    glm::vec3 rotation{0, 0, 0}; // degrees about x, y, z
    glm::vec3 scale{1, 1, 1};
    btCollisionShape* shape = nullptr;
    btDefaultMotionState* motionState = nullptr;
    btRigidBody* body = nullptr;
    GameObject* parent = nullptr;
    std::vector<GameObject*> children;
};
