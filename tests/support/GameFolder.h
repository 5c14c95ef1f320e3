#pragma once

#include <filesystem>
#include <string>

// What a finished program left behind.
struct ProgramRun {
    int exitStatus = -1;          // -1 when the shell itself did not exit normally
    std::string output;           // standard output and standard error together
    long peakMemoryKilobytes = 0; // the largest resident set of any program run so far
};

// Runs a shell command and waits for it.
ProgramRun runShell(const std::string& command);
// The whole of a file, as bytes.
std::string readWhole(const std::filesystem::path& path);
// How often the part occurs in a program's output.
int occurrences(const std::string& text, const std::string& part);

// Every frame in the first tunnel prints this line four times while culling is on: once for
// each of its three lights' shadow passes and once for the main pass.
inline const char* const FRAME_LINE = " objects culled";
constexpr int FRAME_LINES_AT_START = 4;

// A private copy of the game folder (the game binary's shaders and assets as the build made
// them) that a test may spoil without touching the build folder, which other tests share.
class GameFolder {
public:
    GameFolder();
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    // Replaces (or adds) one file, e.g. "assets/tunnel/door.obj" or "shader/default_f2.glsl".
    void writeFile(const std::string& relativePath, const std::string& contents);
    void removeFile(const std::string& relativePath);

    // The shell command that starts the game in this folder, after the environment settings.
    std::string run(const std::string& environment) const;
    // Starts the game here and, once it has drawn the given number of frames (told by the
    // culled-object lines each frame prints while culling is on), types the keys (xdotool key
    // names) into its window, again each second until the game has ended (a busy X server may
    // lose a key). Returns when the game has ended: a game killed by a signal exits with 128 +
    // the signal's number, and one that never ends is killed (signal 9) after two minutes.
    ProgramRun play(const std::string& keys, int framesFirst) const;

    std::filesystem::path folder;
};
