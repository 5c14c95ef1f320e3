#include "AssetFolders.h"
#include "SoundClip.h"
#include "sound/Sound.h"

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// Notes of the jingles, in Hz.
constexpr float C5 = 523.25f, E5 = 659.26f, G5 = 783.99f, C6 = 1046.5f;
constexpr float G4 = 392.0f, FS4 = 369.99f, F4 = 349.23f, E4 = 329.63f;

// A struck tone: it sounds at once and dies away with the time constant `decay`.
SoundClip ring(float seconds, float fromHz, float toHz, float amplitude, int harmonics, float decay)
{
    SoundClip struck(seconds);
    struck.tone(fromHz, toHz, amplitude, harmonics, 0.0f, seconds).envelope(0.0f, 0.002f, decay);
    return struck;
}

// The glasses going on or off: a dry tick.
SoundClip viewSwitch()
{
    SoundClip tick(0.05f);
    tick.noise(1, 1.0f).highPass(2000.0f).envelope(0.0f, 0.001f, 0.006f);
    return tick.mix(ring(0.05f, 1800.0f, 1600.0f, 0.3f, 0, 0.01f)).normalise(0.6f);
}

// Air pushed past the player: noise whose brightness swells and falls.
SoundClip doorWhoosh()
{
    SoundClip rise(0.55f);
    rise.noise(2, 1.0f).lowPass(300.0f, 2500.0f).envelope(0.0f, 0.2f, 0.12f);
    return rise.fadeEdges(0.02f).normalise(0.55f);
}

// A rising, wavering tone over a shimmer of high noise.
SoundClip portalTransit()
{
    SoundClip glide(0.8f);
    glide.tone(220.0f, 880.0f, 0.6f, 1, 0.0f, 0.8f).tremolo(9.0f, 0.4f).envelope(0.0f, 0.15f, 0.25f);
    SoundClip shimmer(0.8f);
    shimmer.noise(3, 0.4f).bandPass(4000.0f, 3.0f).envelope(0.05f, 0.2f, 0.2f);
    return glide.mix(shimmer).fadeEdges(0.01f).normalise(0.5f);
}

// A switch thrown: on clacks twice and rings high, off clacks once and rings low.
SoundClip switchClack(bool on)
{
    SoundClip clack(0.12f);
    SoundClip first(0.03f);
    first.noise(on ? 4 : 5, 1.0f).bandPass(on ? 1800.0f : 900.0f, 2.0f).envelope(0.0f, 0.001f, 0.006f);
    clack.mix(first);
    if (on)
        clack.mix(SoundClip(first), 0.025f);
    return clack.mix(ring(0.12f, on ? 900.0f : 450.0f, on ? 900.0f : 430.0f, 0.3f, 1, 0.03f)).normalise(0.6f);
}

// Three ratchet ticks of a lock and a metallic ring as it comes round.
SoundClip keyTurn()
{
    SoundClip turn(0.45f);
    const float ticks[] = {0.0f, 0.1f, 0.22f};
    for (std::size_t i = 0; i < 3; ++i) {
        SoundClip ratchet(0.04f);
        ratchet.noise(6 + static_cast<std::uint32_t>(i), 1.0f).bandPass(3000.0f, 4.0f).envelope(0.0f, 0.001f, 0.008f);
        turn.mix(ratchet, ticks[i]);
    }
    return turn.mix(ring(0.2f, 1300.0f, 1300.0f, 0.4f, 2, 0.05f), 0.25f).normalise(0.6f);
}

// A low hum that loops while the button is held: whole cycles in one second, so it joins itself.
SoundClip buttonHeld()
{
    SoundClip hum(1.0f);
    hum.tone(55.0f, 55.0f, 0.6f, 3, 0.0f, 1.0f).tone(82.0f, 82.0f, 0.3f, 1, 0.0f, 1.0f).tremolo(2.0f, 0.3f);
    return hum.normalise(0.45f);
}

// The button gives way: the hum resolves into a major chord that dies away.
SoundClip buttonGiven()
{
    SoundClip chord(1.0f);
    for (float hz : {220.0f, 277.18f, 329.63f, 440.0f}) {
        SoundClip note(1.0f);
        note.tone(hz, hz, 0.3f, 2, 0.0f, 1.0f).envelope(0.0f, 0.02f, 0.3f);
        chord.mix(note);
    }
    return chord.normalise(0.55f);
}

// Stone dragged on stone: rough mid noise, loopable.
SoundClip cubeScrape()
{
    SoundClip scrape(0.6f);
    scrape.noise(9, 1.0f).bandPass(450.0f, 1.5f).tremolo(7.0f, 0.6f);
    return scrape.loopSeamlessly(0.1f).normalise(0.45f);
}

// One step on the tunnel floor: a dull thump.
SoundClip footstep()
{
    SoundClip thump(0.12f);
    thump.noise(10, 1.0f).lowPass(600.0f).envelope(0.0f, 0.003f, 0.025f);
    return thump.mix(ring(0.12f, 90.0f, 70.0f, 0.5f, 0, 0.03f)).normalise(0.5f);
}

// A train on the rails: deep noise and a throbbing low tone, loopable.
SoundClip trainRumble()
{
    SoundClip rumble(1.15f);
    rumble.noise(11, 1.0f).lowPass(140.0f).tone(41.0f, 41.0f, 0.08f, 2, 0.0f, 1.15f);
    rumble.loopSeamlessly(0.15f).tremolo(4.0f, 0.35f);
    return rumble.normalise(0.7f);
}

// A two-tone horn.
SoundClip trainHorn()
{
    SoundClip horn(1.2f);
    horn.tone(311.0f, 311.0f, 0.4f, 6, 0.0f, 1.2f).tone(370.0f, 370.0f, 0.4f, 6, 0.0f, 1.2f).lowPass(1800.0f);
    return horn.fadeEdges(0.06f).normalise(0.6f);
}

// Bell-like notes one after another, the last one held longest.
SoundClip jingle(std::initializer_list<float> notes)
{
    SoundClip tune(1.8f);
    float start = 0.0f;
    for (float hz : notes) {
        SoundClip note(1.8f - start);
        note.tone(hz, hz, 0.5f, 3, 0.0f, 1.8f - start).envelope(0.0f, 0.005f, 0.25f);
        tune.mix(note, start);
        start += 0.2f;
    }
    return tune.fadeEdges(0.01f).normalise(0.6f);
}

} // namespace

bool writeSounds(const std::string& assetRoot)
{
    const std::filesystem::path folder = std::filesystem::path(assetRoot) / "sound";
    std::filesystem::create_directories(folder);
    const std::vector<std::pair<Sound, std::function<SoundClip()>>> sounds = {
        {Sound::ViewSwitch, viewSwitch},
        {Sound::DoorWhoosh, doorWhoosh},
        {Sound::PortalTransit, portalTransit},
        {Sound::SwitchOn, [] { return switchClack(true); }},
        {Sound::SwitchOff, [] { return switchClack(false); }},
        {Sound::KeyTurn, keyTurn},
        {Sound::ButtonHeld, buttonHeld},
        {Sound::ButtonGiven, buttonGiven},
        {Sound::CubeScrape, cubeScrape},
        {Sound::Footstep, footstep},
        {Sound::TrainRumble, trainRumble},
        {Sound::TrainHorn, trainHorn},
        {Sound::Won, [] { return jingle({C5, E5, G5, C6}); }},
        {Sound::Lost, [] { return jingle({G4, FS4, F4, E4}); }},
    };
    bool written = true;
    for (const auto& [sound, make] : sounds)
        written = make().write((folder / SOUND_FILES[soundIndex(sound)]).string()) && written;
    return written;
}
