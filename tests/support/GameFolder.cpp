#include "support/GameFolder.h"

#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;

ProgramRun runShell(const std::string& command)
{
    ProgramRun result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        result.output += buffer.data();
    int status = pclose(pipe);
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    result.peakMemoryKilobytes = usage.ru_maxrss;
    return result;
}

std::string readWhole(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

namespace {

// The game binary with its sanitizer leak check off: at shutdown the game unloads the graphics
// driver (SDL_Quit), after which the checker can no longer tell the driver's allocations from
// ours. The game's own objects are leak-checked by the tests that run it in-process. Its settings
// are kept below the game folder, never with the player's own.
std::string gameCommand(const fs::path& folder)
{
    return "env ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0 XDG_CONFIG_HOME=" + (folder / "config").string() + " " +
           fs::absolute("marrowdeep").string();
}

} // namespace

GameFolder::GameFolder() : ScratchFolder(fs::temp_directory_path())
{
    for (const char* part : {"shader", "assets"})
        fs::copy(part, path / part, fs::copy_options::recursive);
}

ProgramRun GameFolder::play(const std::string& keys, int framesFirst) const
{
    const std::string output = (path / "output.txt").string();
    ProgramRun result = runShell(
        std::string(MARROWDEEP_TEST_SUPPORT_DIR) + "/play.sh " + path.string() + " " + output + " '" + FRAME_LINE +
        "' " + std::to_string(framesFirst * FRAME_LINES_AT_START) + " '" + keys + "' " + gameCommand(path));
    result.output = readWhole(output);
    return result;
}
