#include "render/GpuModel.h"

#include "render/Mesh.h"
#include "render/Texture.h"

GpuModel::GpuModel(const Model& model)
{
    for (const ModelMesh& shape : model.getMeshes()) {
        std::vector<GLuint> textures;
        for (const std::string& file : shape.textureFiles)
            textures.push_back(file.empty() ? 0 : loadTexture(file));
        meshes.push_back(new Mesh(shape, std::move(textures)));
    }
}

GpuModel::~GpuModel()
{
    for (Mesh* mesh : meshes) {
        mesh->destroy();
        delete mesh;
    }
}

const GpuModel& GpuModel::of(const Model& model)
{
    if (!model.getDrawing()) {
        // A model first met in the middle of a frame must leave the textures bound for it as they were.
        GLint unit = 0, bound = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        model.setDrawing(std::make_unique<GpuModel>(model));
        glActiveTexture(static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    }
    return static_cast<const GpuModel&>(*model.getDrawing());
}

void GpuModel::draw() const
{
    for (const Mesh* mesh : meshes)
        mesh->draw();
}
