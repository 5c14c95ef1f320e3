#include "sound/SoundCues.h"

#include "level/Tunnel.h"
#include "world/Door.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <algorithm>
#include <cmath>

namespace {

// A cube that moved further than this across the floor in one tick is being pushed.
constexpr float CUBE_PUSHED_PER_TICK = 0.02f;

glm::vec2 acrossTheFloor(const glm::vec3& v)
{
    return glm::vec2(v.x, v.z);
}

} // namespace

const SoundCues::Sheet& SoundCues::afterTick(const Snapshot& now)
{
    sheet.start.fill(false);
    if (noted) {
        cueTransit(now);
        cueClicks(now);
        cueButton(now);
        cueCubes(now);
        cueFootsteps(now);
        cueTrains(now);
        cueEnding(now);
    }
    previous = now;
    noted = true;
    return sheet;
}

// A door walked through by click moves out of the way in the tunnel left behind; one walked
// through backwards by touch is the door of the pending transit. A tunnel changed by neither
// was changed by a portal, or by the developers' jump, which makes no sound.
void SoundCues::cueTransit(const Snapshot& now)
{
    if (now.tunnel == previous.tunnel)
        return;
    const std::vector<Door*>& doorsLeft = previous.tunnel->getDoors();
    bool doorMoved = false;
    for (std::size_t i = 0; i < std::min(doorsLeft.size(), MAX_DOORS); ++i)
        doorMoved = doorMoved || doorsLeft[i]->getPosition() != previous.doorPositions[i];
    const Door* touched = now.doorBackedInto;
    bool touchedThrough = touched && touched->getDestination() == now.tunnel && previous.tunnel->containsObject(touched);
    if (doorMoved || touchedThrough) {
        startSound(Sound::DoorWhoosh);
        return;
    }
    const std::vector<Portal*>& portals = previous.tunnel->getPortals();
    if (std::any_of(portals.begin(), portals.end(),
                    [&now](const Portal* portal) { return portal->getLinkedPortal()->getTunnel() == now.tunnel; }))
        startSound(Sound::PortalTransit);
}

void SoundCues::cueClicks(const Snapshot& now)
{
    if (now.realityView != previous.realityView)
        startSound(Sound::ViewSwitch);
    for (std::size_t i = 0; i < now.switchesOn.size(); ++i) {
        if (now.switchesOn[i] != previous.switchesOn[i])
            startSound(now.switchesOn[i] ? Sound::SwitchOn : Sound::SwitchOff);
    }
    if (now.solidKeyShown != previous.solidKeyShown)
        startSound(Sound::KeyTurn);
}

void SoundCues::cueButton(const Snapshot& now)
{
    holdSound(Sound::ButtonHeld, now.buttonHeld);
    if (now.patienceDone && !previous.patienceDone)
        startSound(Sound::ButtonGiven);
}

// The view switch parks and returns the cubes: that is no push.
void SoundCues::cueCubes(const Snapshot& now)
{
    bool pushed = false;
    if (now.inCubeTunnel && now.realityView && now.cubesHidden == previous.cubesHidden) {
        for (std::size_t i = 0; i < now.cubePositions.size(); ++i) {
            glm::vec2 moved = acrossTheFloor(now.cubePositions[i] - previous.cubePositions[i]);
            pushed = pushed || glm::length(moved) > CUBE_PUSHED_PER_TICK;
        }
    }
    holdSound(Sound::CubeScrape, pushed);
}

// A step sounds as soon as the player sets off, then every few ticks; none in the air.
void SoundCues::cueFootsteps(const Snapshot& now)
{
    if (!now.stepping) {
        ticksToStep = 0;
        return;
    }
    if (ticksToStep == 0) {
        startSound(Sound::Footstep);
        ticksToStep = TICKS_PER_STEP;
    }
    --ticksToStep;
}

// Only the train of the player's tunnel is heard: louder the closer it comes, panned to its side
// of the view.
void SoundCues::cueTrains(const Snapshot& now)
{
    if (now.trainsStarted > previous.trainsStarted)
        startSound(Sound::TrainHorn);
    const Train* train = now.train;
    holdSound(Sound::TrainRumble, train != nullptr);
    if (!train) {
        sheet.rumbleVolume = 0.0f;
        sheet.rumblePan = 0.0f;
        return;
    }
    auto [high, low] = train->worldBounds();
    glm::vec2 toTrain = acrossTheFloor((high + low) * 0.5f - now.eye);
    float distance = glm::length(toTrain);
    float nearness = 1.0f - std::min(distance / RUMBLE_REACH, 1.0f);
    sheet.rumbleVolume = nearness * nearness;
    glm::vec2 view = acrossTheFloor(now.lookAt - now.eye);
    glm::vec2 right(-view.y, view.x);
    bool placed = distance > 0.0f && glm::length(right) > 0.0f;
    sheet.rumblePan = placed ? glm::dot(toTrain / distance, glm::normalize(right)) : 0.0f;
}

// The won screen wins over the lost one, as the end screen does. Under the end screen only its
// jingle is heard.
void SoundCues::cueEnding(const Snapshot& now)
{
    if (now.won && !previous.won)
        startSound(Sound::Won);
    else if (now.lost && !previous.lost && !now.won)
        startSound(Sound::Lost);
    if (now.won || now.lost)
        sheet.held.fill(false);
}
