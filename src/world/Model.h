#pragma once

#include "world/ModelMesh.h"

#include <glm/glm.hpp>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct aiMesh;
struct aiScene;

// One model file of the asset folder ("assets/" + folder + "/" + file), read by Assimp: its
// meshes' geometry, bounds and image files. Reading needs no graphics context.
class Model {
public:
    // What a renderer made of the model for itself (its GPU meshes), released with the model.
    class Drawing {
    public:
        virtual ~Drawing() = default;
    };

    Model(const std::string& folder, const std::string& file);
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    const std::vector<ModelMesh>& getMeshes() const { return meshes; }
    unsigned triangleCount() const { return triangles; }
    // Largest corner first, then the smallest; ±FLT_MAX while no vertex was seen.
    std::pair<glm::vec3, glm::vec3> bounds() const { return {maxCorner, minCorner}; }
    // The eight corners of that box, for placing it in the world.
    std::array<glm::vec3, 8> corners() const;

    Drawing* getDrawing() const { return drawing.get(); }
    void setDrawing(std::unique_ptr<Drawing> made) const { drawing = std::move(made); }

private:
    void import(const std::string& path);
    ModelMesh readMesh(const aiMesh* source, const aiScene* scene) const;

    std::vector<ModelMesh> meshes;
    glm::vec3 maxCorner;
    glm::vec3 minCorner;
    unsigned triangles = 0;
    std::string directory; // "assets/" + folder
    mutable std::unique_ptr<Drawing> drawing;
};
