// Faulty files in the game folder, one at a time: the game names what is wrong and plays on, or
// stops where it must, and never crashes or hangs. Each test spoils its own copy of the folder
// and plays the real game in it until it has drawn frames.
#include "render/Mesh.h"
#include "render/Model.h"
#include "support/GameFolder.h"
#include "support/HeadlessContext.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The door's model and its wood image: every tunnel shows doors from the first frame on.
const char* const DOOR_MODEL = "assets/tunnel/door.obj";
const char* const DOOR_MATERIAL = "assets/tunnel/door.mtl";
const char* const DOOR_IMAGE = "assets/tunnel/door.png";
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
// make the kinds a paint program rarely writes: palettes, 16-bit channels, lying headers.
std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t adler32(const std::string& bytes)
{
    std::uint32_t low = 1;
    std::uint32_t high = 0;
    for (unsigned char byte : bytes) {
        low = (low + byte) % 65521u;
        high = (high + low) % 65521u;
    }
    return high << 16 | low;
}

std::string bigEndian(std::uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string chunk(const std::string& type, const std::string& data)
{
    return bigEndian(static_cast<std::uint32_t>(data.size())) + type + data + bigEndian(crc32(type + data));
}

std::string zlibStored(const std::string& data)
{
    std::string stream = "\x78\x01";
    constexpr std::size_t BLOCK = 65535;
    for (std::size_t at = 0; at == 0 || at < data.size(); at += BLOCK) {
        const std::string block = data.substr(at, BLOCK);
        const bool last = at + BLOCK >= data.size();
        const auto length = static_cast<std::uint16_t>(block.size());
        stream += char(last ? 1 : 0);
        stream += {char(length & 0xFF), char(length >> 8), char(~length & 0xFF), char((~length >> 8) & 0xFF)};
        stream += block;
    }
    return stream + bigEndian(adler32(data));
}

struct PngHeader {
    std::uint32_t width;
    std::uint32_t height;
    char bitDepth;
    char colourType; // 2 = RGB, 3 = palette, 6 = RGBA
};

// Scanlines are given whole, each with its filter byte.
std::string pngFile(const PngHeader& header, const std::string& palette, const std::string& scanlines)
{
    std::string file = "\x89PNG\r\n\x1a\n";
    file += chunk("IHDR", bigEndian(header.width) + bigEndian(header.height) +
                              std::string{header.bitDepth, header.colourType, 0, 0, 0});
    if (!palette.empty())
        file += chunk("PLTE", palette);
    file += chunk("IDAT", zlibStored(scanlines));
    return file + chunk("IEND", "");
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

    static void expectMessage(const ProgramRun& run, const std::string& message, int count = 1)
    {
        EXPECT_EQ(occurrences(run.output, message), count) << run.output;
    }

    // The text of the door model as the build made it.
    std::string doorModel() const { return readFile(DOOR_MODEL); }

    GameFolder game;
};

TEST_F(BadInputTest, AMissingModelFileIsReportedAndTheGamePlaysOnWithoutThatModel)
{
    game.removeFile(DOOR_MODEL);
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Assimp Importer: Unable to open file \"assets/tunnel/door.obj\"");
}

TEST_F(BadInputTest, AModelFileCutOffInAFaceLineLosesOnlyThatFace)
{
    // Cut after the second corner of the first face, as an interrupted copy would leave it.
    const std::string model = doorModel();
    const std::size_t firstFace = model.find("\nf ") + 1;
    const std::size_t secondCorner = model.find(' ', model.find(' ', firstFace) + 1);
    game.writeFile(DOOR_MODEL, model.substr(0, secondCorner + 3));
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Assimp Importer: ");
}

TEST_F(BadInputTest, AFaceNamingAVertexTheFileLacksIsRefused)
{
    game.writeFile(DOOR_MODEL, doorModel() + "f 1 2 99999\n");
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Assimp Importer: ");
}

TEST_F(BadInputTest, AMissingMaterialFileLeavesTheDoorsWithoutImages)
{
    game.removeFile(DOOR_MATERIAL);
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "door.png", 0);
}

TEST_F(BadInputTest, AMaterialNamingAMissingImageStoresNoTextureAndPlaysOn)
{
    game.removeFile(DOOR_IMAGE);
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    // Every mesh loads its own textures: the door's wood once per door model.
    EXPECT_GE(occurrences(run.output, "IMG_Load error: "), 1) << run.output;
}

TEST_F(BadInputTest, AnEmptyImageFileIsReportedAndPlaysOn)
{
    game.writeFile(DOOR_IMAGE, "");
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    EXPECT_GE(occurrences(run.output, "IMG_Load error: "), 1) << run.output;
}

TEST_F(BadInputTest, APaletteImageIsNotTruecolourButStillUsable)
{
    const std::string palette("\x20\xA0\x3C\x00\x00\x00", 6);
    const std::string rows = std::string("\0\0\1", 3) + std::string("\0\1\0", 3);
    game.writeFile(DOOR_IMAGE, pngFile({2, 2, 8, 3}, palette, rows));
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Error, image is not truecolor.\n");
    expectMessage(run, "IMG_Load error: ", 0);
}

TEST_F(BadInputTest, ASixteenBitImageLoadsAsAnOrdinaryOne)
{
    const std::string pixel("\xFF\xFF\x80\x00\x00\x00", 6);
    const std::string rows = std::string(1, '\0') + pixel + pixel + std::string(1, '\0') + pixel + pixel;
    game.writeFile(DOOR_IMAGE, pngFile({2, 2, 16, 2}, "", rows));
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Error, image is not truecolor.", 0);
    expectMessage(run, "IMG_Load error: ", 0);
}

TEST_F(BadInputTest, AnImageOfOnePixelLoads)
{
    game.writeFile(DOOR_IMAGE, pngFile({1, 1, 8, 6}, "", std::string("\0\x80\x40\x20\xFF", 5)));
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Error, image is not truecolor.", 0);
    expectMessage(run, "IMG_Load error: ", 0);
}

TEST_F(BadInputTest, AHeaderClaimingAGiganticImageIsRefusedWithoutAllocatingIt)
{
    // 30000 x 30000 RGBA would be 3.6 GB; the file holds one short row.
    game.writeFile(DOOR_IMAGE, pngFile({30000, 30000, 8, 6}, "", std::string(64, '\0')));
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    EXPECT_GE(occurrences(run.output, "IMG_Load error: "), 1) << run.output;
    EXPECT_LT(run.peakMemoryKilobytes, MEMORY_LIMIT_KILOBYTES);
}

TEST_F(BadInputTest, AShaderThatDoesNotCompileIsNamedAndTheGamePlaysOn)
{
    game.writeFile("shader/default_f2.glsl", "#version 330 core\nthis is not a shader\n");
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Unable to compile shader shader/default_f2.glsl\n");
    expectMessage(run, "Error linking program ", 0);
}

TEST_F(BadInputTest, AProgramThatDoesNotLinkIsNamedAndTheGamePlaysOn)
{
    // Compiles, but a program needs a main function in each stage.
    game.writeFile("shader/default_f2.glsl",
                   "#version 330 core\nout vec4 outColor;\nvoid shade() { outColor = vec4(1.0); }\n");
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Error linking program ");
    expectMessage(run, "Unable to compile shader ", 0);
}

TEST_F(BadInputTest, TheFirstShaderFileMissingEndsTheGameBeforeAnyFrame)
{
    game.removeFile("shader/default_v2.glsl");
    ProgramRun run = playTwoFrames();
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_LT(run.exitStatus, 128) << "the game ended by a signal\n" << run.output;
    expectMessage(run, "Can't read file shader/default_v2.glsl\n");
    expectMessage(run, FRAME_LINE, 0);
}

TEST_F(BadInputTest, AnEmptyShaderFileIsNamedAndTheGamePlaysOn)
{
    game.writeFile("shader/shadowMap_v.glsl", "");
    ProgramRun run = playTwoFrames();
    expectPlaysOn(run);
    expectMessage(run, "Unable to compile shader shader/shadowMap_v.glsl\n");
}

// The loader itself, in the same spoiled folder: what it hands the GPU.
class BadModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(game.folder);
        ASSERT_TRUE(context.ok());
    }
    void TearDown() override { std::filesystem::current_path(previousFolder); }

    GameFolder game;
    std::filesystem::path previousFolder;
    HeadlessContext context;
};

TEST_F(BadModelTest, LinesPointsAndCutFacesAmongTrianglesAreDroppedNotDrawnAsShiftedTriangles)
{
    // Two triangles, with a line, a point and a face cut to two corners between them. Drawn as
    // triangles, those five indices would shift the second triangle onto the wrong corners.
    game.writeFile("assets/broken/mixed.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                              "f 1 2 3\nl 1 2\np 3\nf 1 2\nf 1 3 4\n");
    ::testing::internal::CaptureStderr();
    Model model("broken", "mixed.obj");
    const std::string errors = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(model.triangleCount(), 2u);
    unsigned indices = 0;
    for (const Mesh* mesh : model.getMeshes())
        indices += mesh->getIndexCount();
    EXPECT_EQ(indices, 6u);
    EXPECT_EQ(occurrences(errors, "Assimp Importer: "), 1) << errors;
}
