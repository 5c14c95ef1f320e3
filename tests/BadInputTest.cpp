// Faulty files in the game folder: the game names what is wrong and plays on, or stops where it
// must, and never crashes or hangs. Each test spoils its own copy of the folder, one fault to a
// file, and plays the real game in it until it has drawn frames.
#include "support/GameFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// A corrupt header may claim any size; the game must not allocate the claimed gigabytes.
constexpr long MEMORY_LIMIT_KILOBYTES = 1024L * 1024L;

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string readFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// PNG files written byte by byte (deflate's stored blocks, no compression), so that a test can
// make the kinds a paint program rarely writes: 16-bit channels, lying headers.
std::string bigEndian(std::uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string chunk(const std::string& type, const std::string& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : type + data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return bigEndian(static_cast<std::uint32_t>(data.size())) + type + data + bigEndian(~crc);
}

// Scanlines are given whole, each with its filter byte, and fit one stored block.
std::string pngFile(std::uint32_t width, std::uint32_t height, char bitDepth, char colourType,
                    const std::string& scanlines)
{
    std::uint32_t low = 1, high = 0; // the Adler-32 sums
    for (unsigned char byte : scanlines) {
        low = (low + byte) % 65521u;
        high = (high + low) % 65521u;
    }
    const auto length = static_cast<std::uint16_t>(scanlines.size());
    const std::string zlib = std::string("\x78\x01\x01", 3) + char(length & 0xFF) + char(length >> 8) +
                             char(~length & 0xFF) + char((~length >> 8) & 0xFF) + scanlines +
                             bigEndian(high << 16 | low);
    const std::string header = bigEndian(width) + bigEndian(height) + std::string{bitDepth, colourType, 0, 0, 0};
    return "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
}

} // namespace

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (runShell("command -v xdotool").exitStatus != 0)
            GTEST_SKIP() << "xdotool is not installed";
    }

    // Plays until the game has drawn two frames, then Escape and one more key to close it.
    ProgramRun playTwoFrames() const { return game.play("Escape space", 2); }

    static void expectPlaysOn(const ProgramRun& run)
    {
        EXPECT_EQ(run.exitStatus, 0) << run.output;
        EXPECT_GE(occurrences(run.output, FRAME_LINE), 2 * FRAME_LINES_AT_START) << run.output;
    }

    GameFolder game;
};

TEST_F(BadInputTest, FaultyModelsMaterialsAndImagesAreNamedAndTheGamePlaysOnWithoutThem)
{
    // The door's model is missing; the final door's is cut off after the second corner of its
    // first face, as an interrupted copy leaves it; a wheel face names a vertex the file lacks.
    game.removeFile("assets/tunnel/door.obj");
    const std::string finalDoor = readFile("assets/tunnel/finaldoor.obj");
    const std::size_t firstFace = finalDoor.find("\nf ") + 1;
    game.writeFile("assets/tunnel/finaldoor.obj",
                   finalDoor.substr(0, finalDoor.find(' ', finalDoor.find(' ', firstFace) + 1) + 3));
    game.writeFile("assets/train/wheel.obj", readFile("assets/train/wheel.obj") + "f 1 2 99999\n");
    game.removeFile("assets/tunnel/schalterback1.mtl");
    // Images: empty, a lying header claiming 30000 x 30000 RGBA (3.6 GB), 16-bit channels, a
    // single pixel.
    game.writeFile("assets/tunnel/button.png", "");
    game.writeFile("assets/train/body.png", pngFile(30000, 30000, 8, 6, std::string(64, '\0')));
    const std::string pixel("\xFF\xFF\x80\x00\x00\x00", 6);
    game.writeFile("assets/portal/portal.png", pngFile(2, 2, 16, 2, '\0' + pixel + pixel + '\0' + pixel + pixel));
    game.writeFile("assets/tunnel/ghostkey.png", pngFile(1, 1, 8, 6, std::string("\0\x80\x40\x20\xFF", 5)));

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
    game.writeFile("shader/default_f2.glsl", "#version 330 core\nthis is not a shader\n");
    game.writeFile("shader/shadowMap_v.glsl", "");
    // Compiles, but a program needs a main function in each stage.
    game.writeFile("shader/shadowMap_debug_f.glsl",
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
    game.removeFile("shader/default_v2.glsl");
    const ProgramRun run = playTwoFrames();
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_LT(run.exitStatus, 128) << "the game ended by a signal\n" << run.output;
    EXPECT_EQ(occurrences(run.output, "Can't read file shader/default_v2.glsl\n"), 1) << run.output;
    EXPECT_EQ(occurrences(run.output, FRAME_LINE), 0) << run.output;
}

TEST_F(BadInputTest, AnUnreadableFontIsNamedOnceAndTheGamePlaysOnWithoutOnScreenTextButWithItsConsoleLines)
{
    game.writeFile("assets/fonts/DejaVuSans.ttf", "not a font");
    const ProgramRun run = game.play("F9 Escape space", 2);
    expectPlaysOn(run);
    EXPECT_EQ(occurrences(run.output, "No on-screen text: the font assets/fonts/DejaVuSans.ttf"), 1) << run.output;
    EXPECT_GE(occurrences(run.output, "transparency off\n"), 1) << run.output;
}
