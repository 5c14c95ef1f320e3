#include "world/GameObject.h"

#include "physics/BoxCorners.h"
#include "physics/PhysicsWorld.h"
#include "world/Model.h"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <array>

namespace {

btVector3 toBullet(const glm::vec3& v)
{
    return btVector3(v.x, v.y, v.z);
}

// Half of the box spanned by a largest and a smallest corner.
glm::vec3 halfExtents(const std::pair<glm::vec3, glm::vec3>& corners)
{
    return (corners.first - corners.second) / 2.0f;
}

// A quadrilateral face of a box, corners in winding order, with its unit normal.
struct BoxFace {
    std::array<glm::vec3, 4> corners;
    glm::vec3 normal;
};

// A box flat along one axis has zero-length edges there; its faces across that axis get a zero
// normal instead of NaN, so a line never "crosses" them.
glm::vec3 faceNormal(const glm::vec3& edge)
{
    return glm::length(edge) > 0.0f ? glm::normalize(edge) : glm::vec3(0.0f);
}

bool rayCrossesFace(const BoxFace& face, const glm::vec3& origin, const glm::vec3& direction)
{
    const glm::vec3& n = face.normal;
    float facing = glm::dot(n, direction);
    if (facing == 0.0f)
        return false;
    float t = -glm::dot(n, origin - face.corners[0]) / facing;
    if (t < 0.0f)
        return false;
    glm::vec3 crossing = origin + direction * t;
    for (int i = 0; i < 4; ++i) {
        const glm::vec3& from = face.corners[i];
        const glm::vec3& to = face.corners[(i + 1) % 4];
        if (glm::dot(glm::cross(to - from, crossing - from), n) < 0.0f)
            return false;
    }
    return true;
}

} // namespace

GameObject::GameObject(Model* model) : model(model)
{
    createBody(0.0f, true);
}

GameObject::GameObject(Model* model, float mass, bool compound) : model(model)
{
    createBody(mass, compound);
}

GameObject::~GameObject()
{
    removeFromWorld(body);
    delete motionState;
    delete body;
    if (auto* compound = dynamic_cast<btCompoundShape*>(shape)) {
        for (int i = 0; i < compound->getNumChildShapes(); ++i)
            delete compound->getChildShape(i);
    }
    delete shape;
    for (GameObject* child : children)
        delete child;
}

void GameObject::createBody(float mass, bool compound)
{
    motionState = new btDefaultMotionState(btTransform(btQuaternion(0, 0, 0, 1), btVector3(0, 0, 0)));
    if (compound) {
        auto* boxes = new btCompoundShape(true, 0);
        for (const ModelMesh& mesh : model->getMeshes()) {
            std::pair<glm::vec3, glm::vec3> corners = mesh.bounds();
            glm::vec3 half = halfExtents(corners);
            btTransform centre(btQuaternion(0, 0, 0, 1), toBullet(corners.second + half));
            boxes->addChildShape(centre, new btBoxShape(toBullet(half)));
        }
        shape = boxes;
    } else {
        auto* box = new btBoxShape(toBullet(halfExtents(model->bounds())));
        box->setMargin(0.0f);
        shape = box;
    }
    btVector3 localInertia(0, 0, 0);
    shape->calculateLocalInertia(mass, localInertia);
    body = new btRigidBody(btRigidBody::btRigidBodyConstructionInfo(mass, motionState, shape, localInertia));
    // A body leads back to its object: whatever the world holds can be traced to the game.
    body->setUserPointer(this);
    dynamicsWorld()->addRigidBody(body);
}

void GameObject::setPosition(float x, float y, float z)
{
    position = glm::vec3(x, y, z);
    updateTransform();
}

void GameObject::setRotation(float x, float y, float z)
{
    rotation = glm::vec3(x, y, z);
    updateTransform();
}

void GameObject::move(float dx, float dy, float dz)
{
    // From where the object stands: physics may have pushed a dynamic body since it was placed.
    position = getPosition() + glm::vec3(dx, dy, dz);
    updateTransform();
}

void GameObject::rotate(float dx, float dy, float dz)
{
    rotation += glm::vec3(dx, dy, dz);
    updateTransform();
}

void GameObject::addScale(float dx, float dy, float dz)
{
    scale += glm::vec3(dx, dy, dz);
    updateTransform();
}

void GameObject::updateTransform()
{
    glm::mat4 local(1.0f);
    local = glm::translate(local, position);
    local = glm::rotate(local, glm::radians(rotation.x), glm::vec3(1, 0, 0));
    local = glm::rotate(local, glm::radians(rotation.y), glm::vec3(0, 1, 0));
    local = glm::rotate(local, glm::radians(rotation.z), glm::vec3(0, 0, 1));
    local = glm::scale(local, scale);
    glm::mat4 world = parent ? parent->getModelMatrix() * local : local;

    // The scale stays inside the basis, so the collision shape is scaled with the drawing.
    btTransform transform;
    transform.setFromOpenGLMatrix(glm::value_ptr(world));
    body->setWorldTransform(transform);
    motionState->setWorldTransform(transform);
    // The world refreshes only active bodies' bounds each step; a resting or static body that
    // was moved gets its new bounds here (a body taken out of the world has none).
    if (body->getBroadphaseHandle() != nullptr && !body->isActive())
        dynamicsWorld()->updateSingleAabb(body);

    for (GameObject* child : children)
        child->updateTransform();
}

glm::mat4 GameObject::getModelMatrix() const
{
    btTransform transform;
    motionState->getWorldTransform(transform);
    glm::mat4 matrix;
    transform.getOpenGLMatrix(glm::value_ptr(matrix));
    return matrix;
}

glm::vec3 GameObject::getPosition() const
{
    if (parent)
        return position;
    btTransform transform;
    motionState->getWorldTransform(transform);
    const btVector3& origin = transform.getOrigin();
    return glm::vec3(origin.x(), origin.y(), origin.z());
}

glm::vec3 GameObject::getRotationVector() const
{
    if (parent)
        return rotation;
    btTransform transform;
    motionState->getWorldTransform(transform);
    btQuaternion turn = transform.getRotation();
    return glm::vec3(turn.x(), turn.y(), turn.z());
}

std::pair<glm::vec3, glm::vec3> GameObject::worldBounds() const
{
    glm::mat4 matrix = getModelMatrix();
    std::pair<glm::vec3, glm::vec3> corners = model->bounds();
    return {glm::vec3(matrix * glm::vec4(corners.first, 1.0f)), glm::vec3(matrix * glm::vec4(corners.second, 1.0f))};
}

glm::vec3 GameObject::worldCentre() const
{
    auto [high, low] = worldBounds();
    return (high + low) * 0.5f;
}

unsigned GameObject::triangleCount() const
{
    return model->triangleCount();
}

bool GameObject::isHitByRay(const glm::vec3& origin, const glm::vec3& direction) const
{
    auto [a, b] = worldBounds();
    // Faces wound alike, each with its outward normal from one edge across the box.
    const std::array<glm::vec3, 8> c = boxCorners(b, a);
    const std::array<BoxFace, 6> faces = {{
        {{c[0], c[4], c[6], c[2]}, faceNormal(c[0] - c[1])},
        {{c[4], c[5], c[7], c[6]}, faceNormal(c[4] - c[0])},
        {{c[5], c[1], c[3], c[7]}, faceNormal(c[5] - c[4])},
        {{c[1], c[0], c[2], c[3]}, faceNormal(c[1] - c[5])},
        {{c[2], c[6], c[7], c[3]}, faceNormal(c[2] - c[0])},
        {{c[0], c[1], c[5], c[4]}, faceNormal(c[0] - c[2])},
    }};
    for (const BoxFace& face : faces) {
        if (rayCrossesFace(face, origin, direction))
            return true;
    }
    return false;
}

void GameObject::setChildren(const std::vector<GameObject*>& newChildren)
{
    children = newChildren;
    for (GameObject* child : children)
        child->parent = this;
}

void GameObject::setIgnoreCollisionWith(const btCollisionObject* other, bool ignore)
{
    body->setIgnoreCollisionCheck(other, ignore);
}
