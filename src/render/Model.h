#pragma once

#include <glm/glm.hpp>

#include <array>
#include <string>
#include <utility>
#include <vector>

class Mesh;
struct aiMesh;
struct aiScene;

// One model file of the asset folder ("assets/" + folder + "/" + file), imported as GPU meshes.
class Model {
public:
    Model(const std::string& folder, const std::string& file);
    ~Model(); // releases the meshes and their GPU objects
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    void draw() const;
    unsigned triangleCount() const { return triangles; }
    // Largest corner first, then the smallest; ±FLT_MAX while no vertex was seen.
    std::pair<glm::vec3, glm::vec3> bounds() const { return {maxCorner, minCorner}; }
    // The eight corners of that box, for placing it in the world.
    std::array<glm::vec3, 8> corners() const;
    std::vector<Mesh*> getMeshes() const { return meshes; }

private:
    void import(const std::string& path);
    Mesh* buildMesh(const aiMesh* source, const aiScene* scene);

    std::vector<Mesh*> meshes;
    glm::vec3 maxCorner;
    glm::vec3 minCorner;
    unsigned triangles = 0;
    std::string directory; // "assets/" + folder
};
