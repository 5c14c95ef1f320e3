// The game binary as a player starts it: exit codes and start-up messages.
#include "support/GameFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(ApplicationTest, WithoutADisplayTheGameSaysWhyAndExitsWithMinusOne)
{
    ProgramRun result = runShell("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 ./marrowdeep");
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.output.find("SDL could not initialize! SDL Error: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Failed to initialize!\n"), std::string::npos) << result.output;
}

TEST(ApplicationTest, AMissingShaderFileStopsTheGameBeforeTheFirstFrame)
{
    GameFolder game;
    fs::remove(game.folder / "shader" / "shadowMap_debug_f.glsl");
    ProgramRun result = runShell(game.run(""));
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_NE(result.output.find("Can't read file shader/shadowMap_debug_f.glsl\n"), std::string::npos)
        << result.output;
}

TEST(ApplicationTest, EscapeEndsTheGameAndOneMoreKeyClosesIt)
{
    if (runShell("command -v xdotool").exitStatus != 0)
        GTEST_SKIP() << "xdotool is not installed";
    GameFolder game;
    // Statistics on, then Escape after the first frame; the game then waits for one more key
    // before it closes.
    ProgramRun result = game.play("F2 Escape space", 1);
    EXPECT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_NE(result.output.find(" FPS, triangles rendered: "), std::string::npos) << result.output;
}
