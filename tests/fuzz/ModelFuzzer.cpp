// Any bytes as a model file with its material file, loaded by the game's Model and drawn.
//
// The input up to the first line "#mtl" is the OBJ text, "assets/fuzz/model.obj"; the rest is
// its material file "assets/fuzz/model.mtl". Images that materials may name lie beside them
// (run.sh copies the game's). The working folder is the fuzzer's own.
#include "app/Application.h"
#include "render/GpuModel.h"
#include "render/ShaderProgram.h"
#include "world/Model.h"
#include "support/TestData.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string MATERIAL_MARKER = "\n#mtl\n";

void writeFile(const char* path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

// What the loader promises whatever the file: three indices per counted triangle, each naming a
// vertex of its own mesh.
void checkModel(const Model& model)
{
    std::size_t indices = 0;
    for (const ModelMesh& mesh : model.getMeshes()) {
        indices += mesh.indices.size();
        for (std::uint32_t index : mesh.indices)
            if (index >= mesh.positions.size())
                std::abort();
    }
    if (indices != model.triangleCount() * 3u)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The game's hidden window lives until the process ends: closing it would unload the driver
    // before the leak check at exit, which then could no longer tell the driver's allocations
    // from ours.
    static const bool windowOpen = initWindow(false);
    if (!windowOpen)
        std::abort();
    // The probe draws positions straight in clip space: the driver reads every vertex through its indices.
    static ShaderProgram probe(testData("probe_v.glsl"), testData("probe_f.glsl"));

    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.find(MATERIAL_MARKER);
    writeFile("assets/fuzz/model.obj", input.substr(0, marker));
    writeFile("assets/fuzz/model.mtl",
              marker == std::string::npos ? std::string() : input.substr(marker + MATERIAL_MARKER.size()));

    Model model("fuzz", "model.obj");
    checkModel(model);
    probe.use(true);
    GpuModel(model).draw();
    probe.use(false);
    glFinish();
    return 0;
}
