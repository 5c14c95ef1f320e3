// What the player hears. SDL's disk driver stands in for a sound card and a post-mix tap keeps
// every sample mixed. Each tick notes how many frames had been heard when its sounds went to the
// mixer, then waits until 40 ms more have been mixed: a sound started by a tick is heard from the
// first buffer after that mark. Checks compare heard frames with those marks, so they stay exact
// on a busy machine, where a wall-clock recording would drift against the ticks.
#include "app/Options.h"
#include "app/SoundSnapshot.h"
#include "sound/GameSound.h"
#include "sound/SoundBoard.h"
#include "support/InGameWindow.h"
#include "support/GameFolder.h"
#include "support/PlayingFixture.h"

#include "SoundRecorder.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

void useDiskAudio()
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
}

// A sound as the generator wrote it: mono samples at the mixer's rate.
Samples soundFile(Sound sound)
{
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    const std::string path = std::string("assets/sound/") + SOUND_FILES[soundIndex(sound)];
    if (!SDL_LoadWAV(path.c_str(), &format, &buffer, &length))
        return {};
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer);
    Samples mono(samples, samples + length / 2);
    SDL_FreeWAV(buffer);
    return mono;
}

// Heard and written samples differ by the rounding of the mixer's conversion from mono to stereo.
bool sameSample(std::int16_t heard, std::int16_t written)
{
    return std::abs(heard - written) <= 2;
}

// The frames of a stereo recording at which the sound begins. Heard alone at full volume and in
// the middle, a sound comes out on both speakers as it was written.
std::vector<std::size_t> whereHeard(const Samples& heard, Sound sound)
{
    const Samples written = soundFile(sound);
    std::vector<std::size_t> starts;
    const std::size_t frames = heard.size() / 2;
    for (std::size_t start = 0; !written.empty() && start + written.size() <= frames; ++start) {
        std::size_t i = 0;
        while (i < written.size() && sameSample(heard[2 * (start + i)], written[i]) &&
               sameSample(heard[2 * (start + i) + 1], written[i]))
            ++i;
        if (i == written.size()) {
            starts.push_back(start);
            start += written.size() - 1;
        }
    }
    return starts;
}

// Stereo frames that are not silent, from one frame to another.
std::size_t loudFrames(const Samples& heard, std::size_t from, std::size_t to)
{
    std::size_t loud = 0;
    for (std::size_t frame = from; frame < std::min(to, heard.size() / 2); ++frame)
        loud += heard[2 * frame] != 0 || heard[2 * frame + 1] != 0 ? 1 : 0;
    return loud;
}

// Root mean square of one channel (0 left, 1 right) from one frame to another.
double loudness(const Samples& heard, int channel, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t frame = from; frame < to; ++frame)
        sum += std::pow(heard[2 * frame + channel], 2.0);
    return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(1, to - from)));
}

} // namespace

class SoundTest : public InGameWindow<PlayingFixture> {
protected:
    void SetUp() override
    {
        useDiskAudio();
        PlayingFixture::SetUp();
        startSound();
        recorder = std::make_unique<SoundRecorder>();
        ASSERT_TRUE(recorder->isListening());
    }

    void TearDown() override
    {
        recorder->stop();
        stopSound();
        PlayingFixture::TearDown();
    }

    // What the test notes of a tick: the frames heard when its sounds went to the mixer (its
    // mark). The next tick waits a whole tick after the mark, so marks stand a tick apart or more.
    void afterTick() override
    {
        marks.push_back(recorder->framesHeard());
        tunnels.push_back(gameState.currentTunnel);
        views.push_back(gameState.realityView);
        updateSound(soundSnapshot());
        recorder->waitUntilHeard(marks.back() + recorder->framesPerTick());
    }

    // The ticks after which a value of the game differs from the tick before.
    template <typename Value> static std::vector<std::size_t> changes(const std::vector<Value>& values)
    {
        std::vector<std::size_t> ticks;
        for (std::size_t tick = 1; tick < values.size(); ++tick) {
            if (values[tick] != values[tick - 1])
                ticks.push_back(tick);
        }
        return ticks;
    }

    // The sound is heard once for each of the ticks, beginning within two ticks of its mark,
    // and at no other time.
    void expectHeardAfter(const Samples& heard, Sound sound, const std::vector<std::size_t>& ticks)
    {
        SCOPED_TRACE(SOUND_FILES[soundIndex(sound)]);
        const std::vector<std::size_t> starts = whereHeard(heard, sound);
        ASSERT_EQ(starts.size(), ticks.size());
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_GE(starts[i], marks[ticks[i]]) << "tick " << ticks[i];
            EXPECT_LE(starts[i], marks[ticks[i]] + 2 * recorder->framesPerTick()) << "tick " << ticks[i];
        }
    }

    // Nothing but these sounds was heard: the recording is silent once they are taken out.
    static void expectNothingElse(Samples heard, std::initializer_list<Sound> sounds)
    {
        for (Sound sound : sounds) {
            const std::size_t length = soundFile(sound).size();
            for (std::size_t start : whereHeard(heard, sound))
                std::fill_n(heard.begin() + static_cast<std::ptrdiff_t>(2 * start), 2 * length, 0);
        }
        EXPECT_EQ(loudFrames(heard, 0, heard.size() / 2), 0u);
    }

    std::unique_ptr<SoundRecorder> recorder;
    std::vector<std::uint64_t> marks;
    std::vector<Tunnel*> tunnels;
    std::vector<bool> views;
};

TEST_F(SoundTest, AViewSwitchADoorWalkAndASwitchAreEachHeardWithinTwoTicksAndAtNoOtherTime)
{
    rest(10);
    pushKey(SDLK_e);
    rest(15);
    clickDoor(0, 0); // open in the glasses view: into tunnel 1
    rest(15);
    pushKey(SDLK_e);
    rest(15);
    const std::string switchLine = clickSwitch(5); // the developers' jump there makes no sound
    rest(15);
    const Samples heard = recorder->stop();

    const std::vector<std::size_t> tunnelChanges = changes(tunnels);
    ASSERT_EQ(tunnelChanges.size(), 2u);
    ASSERT_FALSE(switchLine.empty());
    const Sound clack = switchLine == "1\n" ? Sound::SwitchOn : Sound::SwitchOff;
    const std::size_t clickTick = marks.size() - 16; // the click's tick, before the rest
    expectHeardAfter(heard, Sound::ViewSwitch, changes(views));
    expectHeardAfter(heard, Sound::DoorWhoosh, {tunnelChanges[0]});
    expectHeardAfter(heard, clack, {clickTick});
    expectNothingElse(heard, {Sound::ViewSwitch, Sound::DoorWhoosh, clack});
}

TEST_F(SoundTest, TheTrainIsHeardLouderAsItComesOnItsSideOfTheViewAndNotFromAnotherTunnel)
{
    startTrains(); // the first sets off from the near end of tunnel 11, towards the player at the far end
    const glm::vec3 farEnd = tunnel(11)->getPosition() + glm::vec3(300.0f, 10.0f, 0.0f);
    gameState.camera->setPositionAndTarget(farEnd, farEnd - glm::vec3(10.0f, 0.0f, 0.0f));
    ticks(35); // until the horn has died away
    const std::size_t comingFrom = marks.size();
    ticks(75);
    const std::size_t comingTo = marks.size();
    // Facing across the tunnel, the train is on the left.
    gameState.camera->setPositionAndTarget(gameState.camera->syncPosition(), gameState.camera->syncPosition() + glm::vec3(0.0f, 0.0f, -10.0f));
    ticks(10);
    const std::size_t turned = marks.size();
    jumpTo(12);
    ticks(10);
    const Samples heard = recorder->stop();

    // Loudness over the eight ticks before a tick, longer than one throb of the rumble.
    auto loudnessBefore = [&](std::size_t tick, int channel) {
        return loudness(heard, channel, marks[tick - 8], marks[tick]);
    };
    const double first = loudnessBefore(comingFrom + 10, 0);
    const double last = loudnessBefore(comingTo, 0);
    EXPECT_GT(first, 0.0);
    EXPECT_GT(last, 1.5 * first);
    EXPECT_NEAR(last, loudnessBefore(comingTo, 1), 1.0);
    EXPECT_GT(loudnessBefore(turned, 0), 0.0);
    EXPECT_EQ(loudnessBefore(turned, 1), 0.0);
    EXPECT_EQ(loudFrames(heard, marks[marks.size() - 8], heard.size() / 2), 0u);
}

TEST_F(SoundTest, MSilencesEverythingUntilItIsPressedAgain)
{
    startTrains();
    pushKey(SDLK_m);
    EXPECT_EQ(ticksWithOutput(1), "sound off\n");
    const std::size_t muted = marks.size();
    pushKey(SDLK_e);
    ticks(20);
    pushKey(SDLK_m);
    EXPECT_EQ(ticksWithOutput(1), "sound on\n");
    const std::size_t unmuted = marks.size();
    ticks(10);
    const Samples heard = recorder->stop();

    EXPECT_EQ(loudFrames(heard, marks[muted] + 2 * recorder->framesPerTick(), marks[unmuted - 1]), 0u);
    EXPECT_GT(loudFrames(heard, marks[unmuted] + 2 * recorder->framesPerTick(), heard.size() / 2), 0u);
}

TEST_F(SoundTest, TheVolumeIsTheShareOfEverySoundHeard)
{
    rest(5);
    // The click of the glasses at full volume, then at half.
    pushKey(SDLK_e);
    rest(15);
    changeSetting(Setting::Volume, -5);
    pushKey(SDLK_e);
    rest(15);
    const Samples heard = recorder->stop();
    auto loudest = [&heard](std::size_t fromFrame, std::size_t toFrame) {
        return *std::max_element(heard.begin() + 2 * fromFrame, heard.begin() + 2 * toFrame);
    };
    const int full = loudest(marks[5], marks[20]);
    EXPECT_GT(full, 1000);
    EXPECT_NEAR(loudest(marks[20], heard.size() / 2), full / 2, 1);
}

// Sound without the game: a board in a game folder of its own, driven by the cues it is handed.
TEST(SoundBoardTest, AMissingOrBrokenSoundIsLeftOutWithTheLoadersMessageAndTheOthersPlay)
{
    useDiskAudio();
    GameFolder game;
    game.remove("assets/sound/doorWhoosh.wav");
    game.write("assets/sound/viewSwitch.wav", "RIFF, but no sound");
    std::filesystem::current_path(game.path);

    ::testing::internal::CaptureStderr();
    SoundBoard board;
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(occurrences(errors, "Mix_LoadWAV error: "), 2) << errors;
    for (const char* file : {"doorWhoosh.wav", "viewSwitch.wav"})
        EXPECT_EQ(occurrences(errors, std::string("Mix_LoadWAV error: assets/sound/") + file + ": "), 1) << errors;

    SoundRecorder recorder;
    SoundCues::Sheet sheet;
    for (Sound sound : {Sound::ViewSwitch, Sound::DoorWhoosh, Sound::KeyTurn})
        sheet.start[soundIndex(sound)] = true;
    board.perform(sheet);
    recorder.waitUntilHeard(20 * recorder.framesPerTick());
    const Samples heard = recorder.stop();
    EXPECT_EQ(whereHeard(heard, Sound::KeyTurn).size(), 1u);
    EXPECT_GT(loudFrames(heard, 0, heard.size() / 2), 0u);
}

TEST(SoundBoardTest, WithoutAnAudioDeviceTheGameSaysSoOnceAndStaysSilent)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ::testing::internal::CaptureStderr();
    SoundBoard board;
    board.perform(SoundCues::Sheet{});
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(board.isOpen());
    EXPECT_EQ(errors.rfind("Sound could not be started: ", 0), 0u) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

// The cues alone, without a mixer.
class SoundCuesTest : public InGameWindow<PlayingFixture> {
protected:
    void afterTick() override { footsteps += cues.afterTick(soundSnapshot()).start[soundIndex(Sound::Footstep)] ? 1 : 0; }

    SoundCues cues;
    int footsteps = 0;
};

TEST_F(SoundCuesTest, FootstepsKeepTimeWithTheWalkOnTheFloorAndStopInTheAir)
{
    rest();
    footsteps = 0;
    keys[SDL_SCANCODE_W] = 1;
    ticks(2 * SoundCues::TICKS_PER_STEP + 1);
    EXPECT_EQ(footsteps, 3);
    pushKey(SDLK_c);
    tick();
    footsteps = 0;
    ticks(SoundCues::TICKS_PER_STEP + 1); // still rising
    EXPECT_FALSE(gameState.camera->isOnGround());
    EXPECT_EQ(footsteps, 0);
}
