#pragma once

#include <glm/glm.hpp>

#include <array>
#include <string>
#include <vector>

// A material of a generated model: one diffuse PNG beside the model file.
struct Material {
    std::string name;
    std::string texture;  // file name of the PNG, relative to the model's folder
    float opacity = 1.0f; // written as the MTL dissolve; the texture's alpha is what the game blends with
};

// How a face's corners get texture coordinates.
struct UvMapping {
    // Stretched: every face shows the whole image. Tiled: the image repeats every `tileSize`
    // model units, anchored at the model origin so that neighbouring pieces continue the pattern.
    bool stretched = true;
    float tileSize = 1.0f;

    static UvMapping stretch() { return {true, 1.0f}; }
    static UvMapping tiled(float tileSize) { return {false, tileSize}; }
};

// Collects meshes (one material each) and writes them as a Wavefront OBJ with its MTL file.
// Every face is wound counter-clockwise seen from outside, with flat normals; texture v grows upwards
// as the OBJ format has it.
class ModelBuilder {
public:
    // The axis a round part is turned about.
    enum class Axis { X, Z };

    // Starts a new mesh; the shapes added next belong to it.
    void beginMesh(const std::string& name, const Material& material);

    // An axis-aligned box.
    void addBox(glm::vec3 minCorner, glm::vec3 maxCorner, UvMapping mapping);
    // A six-faced solid from eight corners indexed by bits (x: 1, y: 2, z: 4), e.g. corner 5 is
    // the +x, -y, +z one; used for sloped slabs.
    void addHexahedron(const std::array<glm::vec3, 8>& corners, UvMapping mapping);
    // One flat quad, corners counter-clockwise from the front, with the image stretched over it:
    // corner 0 gets (0, 0) (bottom left of the image), corner 2 gets (1, 1).
    void addQuad(const std::array<glm::vec3, 4>& corners);
    // A round disc or ring about `axis`, `length` long, centred on `centre`; innerRadius 0 gives a solid disc.
    void addTube(glm::vec3 centre, Axis axis, float outerRadius, float innerRadius, float length, int segments);

    unsigned triangleCount() const;

    // Writes folder/objFile and folder/<objFile without .obj>.mtl; false when a file cannot be written.
    bool write(const std::string& folder, const std::string& objFile) const;

private:
    struct Vertex {
        glm::vec3 position;
        glm::vec2 texCoord;
        glm::vec3 normal;
    };
    struct MeshData {
        std::string name;
        Material material;
        std::vector<Vertex> vertices;
        std::vector<unsigned> indices;
    };

    // A quad from four corners (counter-clockwise from outside) with the given texture coordinates.
    void addFace(const std::array<glm::vec3, 4>& corners, const std::array<glm::vec2, 4>& texCoords);
    void addTriangle(const Vertex& a, const Vertex& b, const Vertex& c);
    MeshData& current();

    std::vector<MeshData> meshes;
};
