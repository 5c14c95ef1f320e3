#pragma once

#include "world/Model.h"

#include <vector>

class Mesh;

// A model's meshes and images on the GPU, made once from what its file holds.
class GpuModel : public Model::Drawing {
public:
    explicit GpuModel(const Model& model);
    ~GpuModel() override; // releases the meshes' GPU objects
    GpuModel(const GpuModel&) = delete;
    GpuModel& operator=(const GpuModel&) = delete;

    // The model's GPU meshes, made on first use and kept with the model.
    static const GpuModel& of(const Model& model);

    void draw() const;
    // In the model's mesh order.
    const std::vector<Mesh*>& getMeshes() const { return meshes; }

private:
    std::vector<Mesh*> meshes;
};
