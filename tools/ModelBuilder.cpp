#include "ModelBuilder.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

namespace {

const float PI = 3.14159265f;

// One side of a box: the corner bits of its four corners counter-clockwise from outside, and the
// directions that run right and up on it for a viewer facing it.
struct BoxSide {
    std::array<int, 4> corners;
    glm::vec3 right;
    glm::vec3 up;
};

// Corner bits: x 1, y 2, z 4. Seen from outside, right = up x outward normal.
const std::array<BoxSide, 6> BOX_SIDES = {{
    {{5, 1, 3, 7}, {0, 0, -1}, {0, 1, 0}}, // +x
    {{0, 4, 6, 2}, {0, 0, 1}, {0, 1, 0}},  // -x
    {{6, 7, 3, 2}, {1, 0, 0}, {0, 0, -1}}, // +y
    {{0, 1, 5, 4}, {1, 0, 0}, {0, 0, 1}},  // -y
    {{4, 5, 7, 6}, {1, 0, 0}, {0, 1, 0}},  // +z
    {{1, 0, 2, 3}, {-1, 0, 0}, {0, 1, 0}}, // -z
}};

std::string formatNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", static_cast<double>(value));
    std::string result = text;
    // "-0.00000" and trailing zeros only make the files longer.
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.')
        result.pop_back();
    if (result == "-0")
        result = "0";
    return result;
}

} // namespace

void ModelBuilder::beginMesh(const std::string& name, const Material& material)
{
    meshes.push_back({name, material, {}, {}});
}

ModelBuilder::MeshData& ModelBuilder::current()
{
    return meshes.back();
}

void ModelBuilder::addTriangle(const Vertex& a, const Vertex& b, const Vertex& c)
{
    MeshData& mesh = current();
    for (const Vertex& vertex : {a, b, c}) {
        mesh.indices.push_back(static_cast<unsigned>(mesh.vertices.size()));
        mesh.vertices.push_back(vertex);
    }
}

void ModelBuilder::addFace(const std::array<glm::vec3, 4>& corners, const std::array<glm::vec2, 4>& texCoords)
{
    const glm::vec3 normal = glm::normalize(glm::cross(corners[2] - corners[0], corners[3] - corners[1]));
    std::array<Vertex, 4> vertices;
    for (int i = 0; i < 4; ++i)
        vertices[i] = {corners[i], texCoords[i], normal};
    addTriangle(vertices[0], vertices[1], vertices[2]);
    addTriangle(vertices[0], vertices[2], vertices[3]);
}

void ModelBuilder::addBox(glm::vec3 minCorner, glm::vec3 maxCorner, UvMapping mapping)
{
    std::array<glm::vec3, 8> corners;
    for (int bits = 0; bits < 8; ++bits)
        corners[bits] = {bits & 1 ? maxCorner.x : minCorner.x, bits & 2 ? maxCorner.y : minCorner.y,
                         bits & 4 ? maxCorner.z : minCorner.z};
    addHexahedron(corners, mapping);
}

void ModelBuilder::addHexahedron(const std::array<glm::vec3, 8>& corners, UvMapping mapping)
{
    static const std::array<glm::vec2, 4> wholeImage = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    for (const BoxSide& side : BOX_SIDES) {
        std::array<glm::vec3, 4> faceCorners;
        std::array<glm::vec2, 4> texCoords = wholeImage;
        for (int i = 0; i < 4; ++i) {
            faceCorners[i] = corners[side.corners[i]];
            if (!mapping.stretched)
                texCoords[i] = glm::vec2(glm::dot(faceCorners[i], side.right), glm::dot(faceCorners[i], side.up)) /
                               mapping.tileSize;
        }
        addFace(faceCorners, texCoords);
    }
}

void ModelBuilder::addQuad(const std::array<glm::vec3, 4>& corners)
{
    addFace(corners, {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
}

void ModelBuilder::addTube(glm::vec3 centre, Axis axis, float outerRadius, float innerRadius, float length,
                           int segments)
{
    // (across, up, along) is right-handed, so angles grow counter-clockwise seen from +along.
    const glm::vec3 along = axis == Axis::X ? glm::vec3(1, 0, 0) : glm::vec3(0, 0, 1);
    const glm::vec3 across = axis == Axis::X ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    const glm::vec3 up = glm::cross(along, across);
    const glm::vec3 front = centre + along * (length * 0.5f);
    const glm::vec3 back = centre - along * (length * 0.5f);
    auto radial = [&](int step) {
        const float angle = 2.0f * PI * static_cast<float>(step) / static_cast<float>(segments);
        return std::cos(angle) * across + std::sin(angle) * up;
    };
    // Caps show the image flat across the disc.
    auto capCoord = [&](glm::vec3 direction, float radius, bool mirrored) {
        const float u = glm::dot(direction, across) * radius / (2.0f * outerRadius);
        const float v = glm::dot(direction, up) * radius / (2.0f * outerRadius);
        return glm::vec2(0.5f + (mirrored ? -u : u), 0.5f + v);
    };

    for (int step = 0; step < segments; ++step) {
        const glm::vec3 first = radial(step);
        const glm::vec3 second = radial(step + 1);
        const float firstU = static_cast<float>(step) / static_cast<float>(segments);
        const float secondU = static_cast<float>(step + 1) / static_cast<float>(segments);

        // Outer wall, with normals pointing away from the axis for a smooth look.
        const Vertex outerBackFirst = {back + first * outerRadius, {firstU, 0}, first};
        const Vertex outerBackSecond = {back + second * outerRadius, {secondU, 0}, second};
        const Vertex outerFrontSecond = {front + second * outerRadius, {secondU, 1}, second};
        const Vertex outerFrontFirst = {front + first * outerRadius, {firstU, 1}, first};
        addTriangle(outerBackFirst, outerBackSecond, outerFrontSecond);
        addTriangle(outerBackFirst, outerFrontSecond, outerFrontFirst);

        if (innerRadius > 0.0f) {
            const Vertex innerBackFirst = {back + first * innerRadius, {firstU, 0}, -first};
            const Vertex innerBackSecond = {back + second * innerRadius, {secondU, 0}, -second};
            const Vertex innerFrontSecond = {front + second * innerRadius, {secondU, 1}, -second};
            const Vertex innerFrontFirst = {front + first * innerRadius, {firstU, 1}, -first};
            addTriangle(innerBackFirst, innerFrontSecond, innerBackSecond);
            addTriangle(innerBackFirst, innerFrontFirst, innerFrontSecond);
            // Annular caps, front then back.
            addFace({front + first * innerRadius, front + first * outerRadius, front + second * outerRadius,
                     front + second * innerRadius},
                    {capCoord(first, innerRadius, false), capCoord(first, outerRadius, false),
                     capCoord(second, outerRadius, false), capCoord(second, innerRadius, false)});
            addFace({back + second * innerRadius, back + second * outerRadius, back + first * outerRadius,
                     back + first * innerRadius},
                    {capCoord(second, innerRadius, true), capCoord(second, outerRadius, true),
                     capCoord(first, outerRadius, true), capCoord(first, innerRadius, true)});
        } else {
            addTriangle({front, {0.5f, 0.5f}, along}, {front + first * outerRadius, capCoord(first, outerRadius, false), along},
                        {front + second * outerRadius, capCoord(second, outerRadius, false), along});
            addTriangle({back, {0.5f, 0.5f}, -along},
                        {back + second * outerRadius, capCoord(second, outerRadius, true), -along},
                        {back + first * outerRadius, capCoord(first, outerRadius, true), -along});
        }
    }
}

unsigned ModelBuilder::triangleCount() const
{
    unsigned triangles = 0;
    for (const MeshData& mesh : meshes)
        triangles += static_cast<unsigned>(mesh.indices.size() / 3);
    return triangles;
}

bool ModelBuilder::write(const std::string& folder, const std::string& objFile) const
{
    const std::string baseName = objFile.substr(0, objFile.rfind('.'));
    const std::string mtlFile = baseName + ".mtl";

    std::ofstream mtl(folder + "/" + mtlFile);
    std::set<std::string> writtenMaterials;
    for (const MeshData& mesh : meshes) {
        if (!writtenMaterials.insert(mesh.material.name).second)
            continue;
        mtl << "newmtl " << mesh.material.name << "\n"
            << "Ka 0 0 0\nKd 1 1 1\nKs 0 0 0\n"
            << "d " << formatNumber(mesh.material.opacity) << "\n"
            << "illum 1\n"
            << "map_Kd " << mesh.material.texture << "\n\n";
    }

    std::ofstream obj(folder + "/" + objFile);
    obj << "# Marrowdeep generated model\n"
        << "mtllib " << mtlFile << "\n";
    unsigned firstVertex = 1;
    for (const MeshData& mesh : meshes) {
        obj << "o " << mesh.name << "\n";
        for (const Vertex& vertex : mesh.vertices)
            obj << "v " << formatNumber(vertex.position.x) << " " << formatNumber(vertex.position.y) << " "
                << formatNumber(vertex.position.z) << "\n";
        for (const Vertex& vertex : mesh.vertices)
            obj << "vt " << formatNumber(vertex.texCoord.x) << " " << formatNumber(vertex.texCoord.y) << "\n";
        for (const Vertex& vertex : mesh.vertices)
            obj << "vn " << formatNumber(vertex.normal.x) << " " << formatNumber(vertex.normal.y) << " "
                << formatNumber(vertex.normal.z) << "\n";
        obj << "usemtl " << mesh.material.name << "\n";
        for (std::size_t i = 0; i < mesh.indices.size(); i += 3) {
            obj << "f";
            for (std::size_t corner = 0; corner < 3; ++corner) {
                const unsigned index = firstVertex + mesh.indices[i + corner];
                obj << " " << index << "/" << index << "/" << index;
            }
            obj << "\n";
        }
        firstVertex += static_cast<unsigned>(mesh.vertices.size());
    }
    return static_cast<bool>(mtl) && static_cast<bool>(obj);
}
