#include "world/Portal.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

// -1, 0 or +1.
float signOf(float value)
{
    return static_cast<float>((value > 0.0f) - (value < 0.0f));
}
} // namespace

Portal::Portal(Model* surfaceModel, Model* frameModel, Tunnel* tunnel)
    : GameObject(surfaceModel), tunnel(tunnel), frame(frameModel ? new GameObject(frameModel) : nullptr)
{
}

Portal::~Portal()
{
    delete frame;
}

void Portal::updateTransform()
{
    GameObject::updateTransform();
    if (!frame)
        return;
    const glm::vec3 turn = getLocalRotation();
    frame->setPosition(getPosition());
    frame->setRotation(turn.x, turn.y, turn.z);
}

glm::mat4 Portal::portalView(const glm::mat4& view) const
{
    if (!linkedPortal)
        return glm::mat4(1.0f);
    // Looking out of the linked portal means looking back through it: turn half round about y.
    glm::mat4 turnRound = glm::rotate(glm::mat4(1.0f), glm::radians(180.0f), glm::vec3(0, 1, 0));
    return view * getModelMatrix() * turnRound * glm::inverse(linkedPortal->getModelMatrix());
}

glm::mat4 Portal::clippedProjection(const glm::mat4& portalViewMatrix, const glm::mat4& projection) const
{
    if (!linkedPortal)
        return projection;
    // Oblique near plane (Lengyel): the linked portal's plane x = 0, facing -x, in eye space.
    glm::vec4 portalPlane(-1.0f, 0.0f, 0.0f, 0.0f);
    glm::mat4 toEye = portalViewMatrix * linkedPortal->getModelMatrix();
    glm::vec4 clipPlane = glm::inverse(glm::transpose(toEye)) * portalPlane;
    // The eye lies on the plane's positive side: such a plane cannot serve as near plane.
    if (clipPlane.w > 0.0f)
        return projection;

    glm::vec4 farCorner = glm::inverse(projection) * glm::vec4(signOf(clipPlane.x), signOf(clipPlane.y), 1.0f, 1.0f);
    glm::vec4 scaledPlane = clipPlane * (2.0f / glm::dot(clipPlane, farCorner));
    glm::mat4 clipped = projection;
    for (int column = 0; column < 4; ++column)
        clipped[column][2] = scaledPlane[column] - projection[column][3];
    return clipped;
}
