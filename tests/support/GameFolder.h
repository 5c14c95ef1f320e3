#pragma once

#include "support/TestData.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
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

// A folder of the test's own below a parent, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::filesystem::path& parent)
        : name("test-" + std::to_string(getpid())), path(parent / name)
    {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes (or replaces) a file below the folder, making the folders on its way; returns its path.
    std::string write(const std::string& file, const std::string& text) const
    {
        std::filesystem::create_directories((path / file).parent_path());
        std::ofstream(path / file, std::ios::binary) << text;
        return (path / file).string();
    }
    void remove(const std::string& file) const { std::filesystem::remove(path / file); }

    // Copies a file of tests/data here.
    void copy(const std::string& file) const { std::filesystem::copy_file(testData(file), path / file); }

    const std::string name;
    const std::filesystem::path path;
};

// A private copy of the game folder (the game binary's shaders and assets as the build made
// them) that a test may spoil without touching the build folder, which other tests share.
class GameFolder : public ScratchFolder {
public:
    GameFolder();

    // Starts the game here and, once it has drawn the frames, types the keys into its window
    // as play.sh does; returns when the game has ended.
    ProgramRun play(const std::string& keys, int framesFirst) const;
};
