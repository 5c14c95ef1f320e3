// The game binary as a player starts it: exit codes and start-up messages.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitStatus = -1;
    std::string output; // standard output and standard error together
};

RunResult runShell(const std::string& command)
{
    RunResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        result.output += buffer.data();
    int status = pclose(pipe);
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    return result;
}

// A copy of the game folder (binary, shaders, assets) that a test may spoil.
class GameFolder {
public:
    GameFolder()
    {
        folder = fs::temp_directory_path() / ("marrowdeep-game-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        fs::copy("shader", folder / "shader");
        fs::create_directory_symlink(fs::absolute("assets"), folder / "assets");
    }
    ~GameFolder() { fs::remove_all(folder); }

    std::string run(const std::string& environment) const
    {
        return "cd " + folder.string() + " && " + environment + " " + fs::absolute("marrowdeep").string();
    }

    fs::path folder;
};

} // namespace

TEST(ApplicationTest, WithoutADisplayTheGameSaysWhyAndExitsWithMinusOne)
{
    RunResult result = runShell("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 ./marrowdeep");
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.output.find("SDL could not initialize! SDL Error: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Failed to initialize!\n"), std::string::npos) << result.output;
}

TEST(ApplicationTest, AMissingShaderFileStopsTheGameBeforeTheFirstFrame)
{
    GameFolder game;
    fs::remove(game.folder / "shader" / "shadowMap_debug_f.glsl");
    RunResult result = runShell(game.run(""));
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_NE(result.output.find("Can't read file shader/shadowMap_debug_f.glsl\n"), std::string::npos)
        << result.output;
}

TEST(ApplicationTest, EscapeEndsTheGameAndOneMoreKeyClosesIt)
{
    if (runShell("command -v xdotool").exitStatus != 0)
        GTEST_SKIP() << "xdotool is not installed";
    GameFolder game;
    // Statistics on, then Escape; the game then waits for one more key before it closes. The
    // keys go to this game's own window (other tests may have windows of the same name open).
    std::string out = (game.folder / "out.txt").string();
    std::string script = "(cd " + game.folder.string() + " && exec " + fs::absolute("marrowdeep").string() + ") > " +
                         out +
                         " 2>&1 & game=$!; "
                         // A safety net only: a game that never saw its keys is ended after two minutes.
                         "(sleep 120; kill -9 $game) >/dev/null 2>&1 & watchdog=$!; "
                         "timeout 60 xdotool search --sync --onlyvisible --pid $game --name Marrowdeep windowfocus "
                         "--sync key F2 Escape space "
                         ">/dev/null 2>&1; wait $game; status=$?; kill $watchdog 2>/dev/null; exit $status";
    RunResult result = runShell("bash -c '" + script + "'");
    std::string output = RunResult{}.output;
    std::FILE* file = std::fopen((game.folder / "out.txt").c_str(), "r");
    ASSERT_NE(file, nullptr);
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), file))
        output += buffer.data();
    std::fclose(file);
    EXPECT_EQ(result.exitStatus, 0) << output;
    EXPECT_NE(output.find(" FPS, triangles rendered: "), std::string::npos) << output;
}
