// The game binary as a player starts it, also with faulty files in the game folder: the game
// names what is wrong and plays on, or stops where it must, and never crashes or hangs. Each test
// spoils its own copy of the folder, one fault to a file, and plays the real game in it until it
// has drawn frames.
#include "render/ShaderProgram.h"
#include "support/GameFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

// A corrupt header may claim any size; the game must not allocate the claimed gigabytes.
constexpr long MEMORY_LIMIT_KILOBYTES = 1024L * 1024L;

} // namespace

TEST(NoDisplayTest, WithoutADisplayTheGameSaysWhyAndExitsWithMinusOne)
{
    ProgramRun result = runShell("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 ./marrowdeep");
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.output.find("SDL could not initialize! SDL Error: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Failed to initialize!\n"), std::string::npos) << result.output;
}

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (runShell("command -v xdotool").exitStatus != 0)
            GTEST_SKIP() << "xdotool is not installed";
    }

    // Plays until the game has drawn two frames with statistics on, then Escape and one more key
    // to close it.
    ProgramRun playTwoFrames() const { return game.play("F2 Escape space", 2); }

    static void expectPlaysOn(const ProgramRun& run)
    {
        EXPECT_EQ(run.exitStatus, 0) << run.output;
        EXPECT_GE(occurrences(run.output, FRAME_LINE), 2 * FRAME_LINES_AT_START) << run.output;
        EXPECT_NE(run.output.find(" FPS, triangles rendered: "), std::string::npos) << run.output;
    }

    GameFolder game;
};

TEST_F(BadInputTest, FaultyModelsMaterialsAndImagesAreNamedAndTheGamePlaysOnWithoutThem)
{
    // The door's model is missing; the final door's is cut off after the second corner of its
    // first face, as an interrupted copy leaves it; a wheel face names a vertex the file lacks.
    game.remove("assets/tunnel/door.obj");
    const std::string finalDoor = readWhole("assets/tunnel/finaldoor.obj");
    const std::size_t firstFace = finalDoor.find("\nf ") + 1;
    game.write("assets/tunnel/finaldoor.obj",
                   finalDoor.substr(0, finalDoor.find(' ', finalDoor.find(' ', firstFace) + 1) + 3));
    game.write("assets/train/wheel.obj", readWhole("assets/train/wheel.obj") + "f 1 2 99999\n");
    game.remove("assets/tunnel/schalterback1.mtl");
    // Images: empty, a lying header claiming 30000 x 30000 RGBA (3.6 GB), 16-bit channels, a
    // single pixel.
    game.write("assets/tunnel/button.png", "");
    game.write("assets/train/body.png", readWhole(testData("claims-30000x30000.png")));
    game.write("assets/portal/portal.png", readWhole(testData("sixteen-bit.png")));
    game.write("assets/tunnel/ghostkey.png", readWhole(testData("one-pixel.png")));

    const ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    EXPECT_EQ(occurrences(run.output, "Assimp Importer: Unable to open file \"assets/tunnel/door.obj\""), 1);
    EXPECT_EQ(occurrences(run.output, "Assimp Importer: "), 3) << run.output;
    EXPECT_LT(run.peakMemoryKilobytes, MEMORY_LIMIT_KILOBYTES);
    // The empty image is the one fault SDL reports without its name; the 16-bit and one-pixel
    // images load as ordinary ones.
    const int hugeImageErrors = occurrences(run.output, "body.png claims 30000 x 30000");
    EXPECT_GE(hugeImageErrors, 1) << run.output;
    EXPECT_EQ(occurrences(run.output, "IMG_Load error: "), hugeImageErrors + 1) << run.output;
}

TEST_F(BadInputTest, ShadersThatDoNotCompileOrLinkAreNamedAndTheGamePlaysOn)
{
    game.write("shader/default_f2.glsl", "#version 330 core\nthis is not a shader\n");
    game.write("shader/shadowMap_v.glsl", "");
    // Compiles, but a program needs a main function in each stage.
    game.write("shader/picture_f.glsl",
               "#version 330 core\nout vec4 outColor;\nvoid shade() { outColor = vec4(1.0); }\n");

    const ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    EXPECT_EQ(occurrences(run.output, "Unable to compile shader shader/default_f2.glsl\n"), 1) << run.output;
    EXPECT_EQ(occurrences(run.output, "Unable to compile shader shader/shadowMap_v.glsl\n"), 1) << run.output;
    EXPECT_EQ(occurrences(run.output, "Unable to compile shader "), 2) << run.output;
    EXPECT_EQ(occurrences(run.output, "Error linking program "), 1) << run.output;
}

TEST_F(BadInputTest, TheFirstShaderFileMissingEndsTheGameBeforeAnyFrame)
{
    game.remove("shader/default_v2.glsl");
    const ProgramRun run = playTwoFrames();
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_LT(run.exitStatus, 128) << "the game ended by a signal\n" << run.output;
    EXPECT_EQ(occurrences(run.output, "Can't read file shader/default_v2.glsl\n"), 1) << run.output;
    EXPECT_EQ(occurrences(run.output, FRAME_LINE), 0) << run.output;
}

TEST_F(BadInputTest, AnUnreadableFontIsNamedOnceAndTheGamePlaysOnWithoutOnScreenTextButWithItsConsoleLines)
{
    game.write("assets/fonts/DejaVuSans.ttf", "not a font");
    const ProgramRun run = game.play("F9 F2 Escape space", 2);
    expectPlaysOn(run);
    EXPECT_EQ(occurrences(run.output, "No on-screen text: the font assets/fonts/DejaVuSans.ttf"), 1) << run.output;
    EXPECT_GE(occurrences(run.output, "transparency off\n"), 1) << run.output;
}

// A folder, or a pipe that cannot be measured, is as unreadable as a missing file.
TEST(ShaderFileTest, AFolderOrAPipeIsAnUnreadableShaderFile)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(write(pipeEnds[1], "void main() {}\n", 15), 15);
    close(pipeEnds[1]);
    for (const std::string& path : {std::filesystem::temp_directory_path().string(), "/dev/fd/" + std::to_string(pipeEnds[0])})
        EXPECT_EXIT(readFile(path), ::testing::ExitedWithCode(EXIT_FAILURE), "Can't read file " + path);
}
