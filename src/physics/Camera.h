#pragma once

#include "physics/FrustumPlane.h"
#include "physics/Stride.h"

#include <SDL.h>
#include <glm/glm.hpp>

#include <vector>

class btBoxShape;
class btCollisionObject;
class btKinematicCharacterController;
class btPairCachingGhostObject;

// The vertical field of view the game starts with, in degrees.
constexpr float DEFAULT_FIELD_OF_VIEW = 60.0f;

// The player: a first-person eye and look-at point on a kinematic character body. It moves and
// collides; what it touched is for the rules to judge.
class Camera {
public:
    explicit Camera(glm::vec3 start);
    ~Camera(); // removes the ghost and the controller from the world first
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // One tick of walking with the W/A/S/D keys held (indexed by scancode), then the frustum.
    Stride updateMovement(const Uint8* heldKeys);
    // Mouse turning by the turn per pixel: right turns right, down looks down (up when the look
    // is inverted); the tilt stops a degree short of straight up and straight down.
    void look(float xrel, float yrel);
    // Degrees of turn and tilt per pixel of mouse motion.
    void setTurnPerPixel(float degrees) { turnPerPixel = degrees; }
    void setLookInverted(bool inverted) { lookInverted = inverted; }
    void jump();
    // True when the player's ghost touches the other object.
    bool contactTest(btCollisionObject* other);
    // True when the ghost, stood at the spot, would touch the other object; it stays where it is.
    bool touchesAt(const glm::vec3& spot, btCollisionObject* other);

    glm::vec3 syncPosition(); // eye position read back from the ghost
    // The view matrix and the unit view direction, from the eye read back first as syncPosition does.
    glm::mat4 syncViewMatrix();
    glm::vec3 syncViewDirection();
    glm::mat4 getProjectionMatrix() const { return projection; }
    void setProjection(float fovDegrees, float aspect, float nearDist, float farDist);
    // The same projection with another vertical field of view; the frustum follows at once.
    void setFieldOfView(float degrees);
    void setPositionAndTarget(glm::vec3 position, glm::vec3 target);
    float getHalfWidth() const { return halfWidth; }
    btPairCachingGhostObject* getGhostObject() const { return ghostObject; }
    // True while the body stands on something (not jumping or falling).
    bool isOnGround() const;
    glm::vec3 getPosition() const { return position; }
    glm::vec3 getTarget() const { return target; }

    void updateFrustum();
    // False only when the box spanned by the two corners lies wholly outside one frustum plane.
    bool isVisible(const glm::vec3& a, const glm::vec3& b) const;

private:
    void createCharacter();
    // Unit view direction in the ground plane; zero while looking straight up or down.
    glm::vec3 horizontalViewDirection() const;
    // The downward tilt (degrees) cut to what keeps the view within the tilt limit.
    float limitedTilt(float tiltDown) const;
    void walk(const glm::vec3& step);
    void placeGhost(const glm::vec3& origin);

    btBoxShape* shape = nullptr;
    btPairCachingGhostObject* ghostObject = nullptr;
    btKinematicCharacterController* controller = nullptr;
    glm::vec3 position;          // eye position
    glm::vec3 target;            // look-at point
    glm::vec3 up{0, 1, 0};
    float nearDist = 1.0f;
    float farDist = 500.0f;
    float fovDegrees = DEFAULT_FIELD_OF_VIEW; // vertical field of view
    float nearHalfHeight = 0;
    float farHalfHeight = 0;
    float nearHalfWidth = 0;
    float farHalfWidth = 0;
    float aspectRatio = 1.0f;    // width over height, set with the projection
    std::vector<FrustumPlane> frustumPlanes;
    float walkSpeed = 1.0f;      // world units per key per tick
    float turnPerPixel = 1.0f;   // degrees of turn and tilt per pixel of mouse motion
    bool lookInverted = false;   // motion down tilts the view up
    glm::mat4 projection{1.0f};
    float halfWidth = 2.0f;      // half width and depth of the body; radius in the train test
    float bodyHeight = 0;        // y of the start position
};
