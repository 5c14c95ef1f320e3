#include "physics/Camera.h"

#include "physics/BoxCorners.h"
#include "physics/PhysicsWorld.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The look-at point starts this far ahead of the eye, along +x.
const glm::vec3 START_LOOK_AHEAD(10, 0, 0);
constexpr btScalar STEP_HEIGHT = 0.5f;
// The view tilts at most this far up or down: at straight up or down the fixed up vector leaves
// the view matrix undefined and the picture flips round.
constexpr float MAX_TILT_DEGREES = 89.0f;
constexpr btScalar JUMP_SPEED = 15.0f;
constexpr btScalar MAX_JUMP_HEIGHT = 50.0f;
// The player collides with level bodies (static) and the cubes (default), not other characters.
constexpr int PLAYER_GROUP = btBroadphaseProxy::CharacterFilter;
constexpr int PLAYER_MASK = btBroadphaseProxy::StaticFilter | btBroadphaseProxy::DefaultFilter;

glm::vec3 toGlm(const btVector3& v)
{
    return glm::vec3(v.x(), v.y(), v.z());
}

} // namespace

Camera::Camera(glm::vec3 start) : position(start), target(start + START_LOOK_AHEAD), bodyHeight(start.y)
{
    frustumPlanes.reserve(6);
    createCharacter();
}

Camera::~Camera()
{
    removeFromWorld(ghostObject);
    dynamicsWorld()->removeAction(controller);
    delete shape;
    delete controller;
    delete ghostObject;
}

void Camera::createCharacter()
{
    // The box is centred on the eye.
    shape = new btBoxShape(btVector3(halfWidth, bodyHeight / 2 - 1, halfWidth));
    ghostObject = new btPairCachingGhostObject();
    ghostObject->setWorldTransform(btTransform(btQuaternion(0, 0, 0, 1), btVector3(position.x, position.y, position.z)));
    ghostObject->setCollisionShape(shape);
    ghostObject->setCollisionFlags(btCollisionObject::CF_CHARACTER_OBJECT);
    controller = new btKinematicCharacterController(ghostObject, shape, STEP_HEIGHT, btVector3(0, 1, 0));
    // Bullet 3 turns the ghost from its own default up axis (z) to the one given, which would
    // lay the box on its side; the player stands upright.
    ghostObject->getWorldTransform().setBasis(btMatrix3x3::getIdentity());
    controller->setJumpSpeed(JUMP_SPEED);
    controller->setMaxJumpHeight(MAX_JUMP_HEIGHT);
    dynamicsWorld()->addCollisionObject(ghostObject, PLAYER_GROUP, PLAYER_MASK);
    dynamicsWorld()->addAction(controller);
}

Stride Camera::updateMovement(const Uint8* heldKeys)
{
    // Walk on from where the last physics step left the body; a stale eye position would undo
    // the fall and the push out of walls when several ticks run without a frame between them.
    syncPosition();
    glm::vec3 forward = horizontalViewDirection() * walkSpeed;
    glm::vec3 left(forward.z, 0, -forward.x);
    Stride stride;
    if (heldKeys[SDL_SCANCODE_W])
        walk(forward);
    if (heldKeys[SDL_SCANCODE_S]) {
        walk(-forward);
        // Bullet 3 pushes the body back out of a door with a small gap, so what the player backs
        // into is found where the step back has taken him, not where the last physics step left him.
        stride = {true, position};
    }
    if (heldKeys[SDL_SCANCODE_A])
        walk(left);
    if (heldKeys[SDL_SCANCODE_D])
        walk(-left);
    placeGhost(position);
    updateFrustum();
    return stride;
}

glm::vec3 Camera::horizontalViewDirection() const
{
    glm::vec3 flat = glm::vec3(target.x, 0, target.z) - glm::vec3(position.x, 0, position.z);
    // Looking straight up or down leaves no horizontal direction to walk in.
    if (glm::length(flat) == 0.0f)
        return glm::vec3(0.0f);
    return glm::normalize(flat);
}

void Camera::walk(const glm::vec3& step)
{
    position += step;
    target += step;
}

void Camera::placeGhost(const glm::vec3& origin)
{
    btTransform transform = ghostObject->getWorldTransform();
    transform.setOrigin(btVector3(origin.x, origin.y, origin.z));
    ghostObject->setWorldTransform(transform);
}

void Camera::look(float xrel, float yrel)
{
    glm::vec3 pitchAxis = glm::cross(position - target, glm::vec3(0, 1, 0));
    glm::mat4 turn = glm::translate(glm::mat4(1.0f), position);
    turn = glm::rotate(turn, glm::radians(-xrel * turnPerPixel), glm::vec3(0, 1, 0));
    if (pitchAxis != glm::vec3(0.0f))
        turn = glm::rotate(turn, glm::radians(limitedTilt((lookInverted ? -yrel : yrel) * turnPerPixel)), pitchAxis);
    turn = glm::translate(turn, -position);
    target = glm::vec3(turn * glm::vec4(target, 1.0f));
}

float Camera::limitedTilt(float tiltDown) const
{
    const glm::vec3 direction = glm::normalize(target - position);
    const float pitch = glm::degrees(std::asin(glm::clamp(direction.y, -1.0f, 1.0f)));
    // A view already beyond the limit (placed there, not turned) may only come back.
    const float mostUp = std::min(0.0f, pitch - MAX_TILT_DEGREES);
    const float mostDown = std::max(0.0f, pitch + MAX_TILT_DEGREES);
    return glm::clamp(tiltDown, mostUp, mostDown);
}

void Camera::jump()
{
    controller->jump();
}

bool Camera::isOnGround() const
{
    return controller->onGround();
}

bool Camera::contactTest(btCollisionObject* other)
{
    return objectsTouch(other, ghostObject);
}

bool Camera::touchesAt(const glm::vec3& spot, btCollisionObject* other)
{
    const btTransform standing = ghostObject->getWorldTransform();
    placeGhost(spot);
    const bool touching = contactTest(other);
    ghostObject->setWorldTransform(standing);
    return touching;
}

glm::vec3 Camera::syncPosition()
{
    position = toGlm(ghostObject->getWorldTransform().getOrigin());
    return position;
}

glm::mat4 Camera::syncViewMatrix()
{
    return glm::lookAt(syncPosition(), target, up);
}

glm::vec3 Camera::syncViewDirection()
{
    return glm::normalize(target - syncPosition());
}

void Camera::setProjection(float fovDegrees, float aspect, float nearDist, float farDist)
{
    this->fovDegrees = fovDegrees;
    aspectRatio = aspect;
    this->nearDist = nearDist;
    this->farDist = farDist;
    double tangent = std::tan(fovDegrees * M_PI / 180.0 * 0.5);
    nearHalfHeight = static_cast<float>(nearDist * tangent);
    nearHalfWidth = nearHalfHeight * aspect;
    farHalfHeight = static_cast<float>(farDist * tangent);
    farHalfWidth = farHalfHeight * aspect;
    projection = glm::perspective(glm::radians(fovDegrees), aspect, nearDist, farDist);
}

void Camera::setFieldOfView(float degrees)
{
    setProjection(degrees, aspectRatio, nearDist, farDist);
    updateFrustum();
}

void Camera::setPositionAndTarget(glm::vec3 position, glm::vec3 target)
{
    this->position = position;
    this->target = target;
    placeGhost(position);
}

void Camera::updateFrustum()
{
    frustumPlanes.clear();
    glm::vec3 eye = syncPosition();
    glm::vec3 zAxis = -glm::normalize(target - eye);
    glm::vec3 xAxis = glm::normalize(glm::cross(up, zAxis));
    glm::vec3 yAxis = glm::cross(zAxis, xAxis);
    glm::vec3 nearCentre = eye - zAxis * nearDist;
    glm::vec3 farCentre = eye - zAxis * farDist;

    // The side planes pass through the eye; their points are taken on the far plane.
    glm::vec3 farLeft = farCentre - xAxis * farHalfWidth;
    glm::vec3 farRight = farCentre + xAxis * farHalfWidth;
    glm::vec3 farTop = farCentre + yAxis * farHalfHeight;
    glm::vec3 farBottom = farCentre - yAxis * farHalfHeight;
    frustumPlanes.push_back({zAxis, farCentre});
    frustumPlanes.push_back({-zAxis, nearCentre});
    frustumPlanes.push_back({glm::cross(glm::normalize(farLeft - eye), yAxis), farLeft});
    frustumPlanes.push_back({glm::cross(yAxis, glm::normalize(farRight - eye)), farRight});
    frustumPlanes.push_back({glm::cross(glm::normalize(farTop - eye), xAxis), farTop});
    frustumPlanes.push_back({glm::cross(xAxis, glm::normalize(farBottom - eye)), farBottom});
}

bool Camera::isVisible(const glm::vec3& a, const glm::vec3& b) const
{
    const std::array<glm::vec3, 8> corners = boxCorners(a, b);
    for (const FrustumPlane& plane : frustumPlanes) {
        int outside = 0;
        while (outside < 8 && plane.signedDistance(corners[outside]) < 0.0f)
            ++outside;
        if (outside == 8)
            return false;
    }
    return true;
}
