#include "world/Model.h"

#include "physics/BoxCorners.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <iostream>

namespace {

// Texture paths come from material files; one that climbs out of the model's folder or
// names an absolute file could read anything on the disk, so it is refused.
bool staysInsideFolder(const std::string& texturePath)
{
    const std::filesystem::path path(texturePath);
    if (path.is_absolute() || path.has_root_name() || path.has_root_directory())
        return false;
    for (const std::filesystem::path& component : path)
        if (component == "..")
            return false;
    return true;
}

// The faces' indices, three per triangle. Assimp passes faces on as the file states them: a
// face naming a vertex the mesh lacks would make the GPU read past the vertex buffers, and a
// point or a line would shift every later triangle. Such faces are dropped and reported.
std::vector<std::uint32_t> triangleIndices(const aiMesh* source)
{
    std::vector<std::uint32_t> indices;
    indices.reserve(static_cast<std::size_t>(source->mNumFaces) * 3);
    unsigned dropped = 0;
    for (unsigned f = 0; f < source->mNumFaces; ++f) {
        const aiFace& face = source->mFaces[f];
        const bool triangleOfOwnVertices =
            face.mNumIndices == 3 && std::all_of(face.mIndices, face.mIndices + 3,
                                                 [source](unsigned index) { return index < source->mNumVertices; });
        if (triangleOfOwnVertices)
            indices.insert(indices.end(), face.mIndices, face.mIndices + 3);
        else
            ++dropped;
    }
    if (dropped > 0)
        std::cerr << "Assimp Importer: dropped " << dropped << " faces of mesh \"" << source->mName.C_Str()
                  << "\" that are not triangles of its own vertices" << std::endl;
    return indices;
}

} // namespace

Model::Model(const std::string& folder, const std::string& file)
    : maxCorner(-FLT_MAX, -FLT_MAX, -FLT_MAX), minCorner(FLT_MAX, FLT_MAX, FLT_MAX), directory("assets/" + folder)
{
    import(directory + "/" + file);
}

void Model::import(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_FlipUVs);
    if (!scene || scene->mFlags == AI_SCENE_FLAGS_INCOMPLETE || !scene->mRootNode) {
        std::cerr << "Assimp Importer: " << importer.GetErrorString() << std::endl;
        return;
    }
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        meshes.push_back(readMesh(scene->mMeshes[i], scene));
        maxCorner = glm::max(maxCorner, meshes.back().maxCorner);
        minCorner = glm::min(minCorner, meshes.back().minCorner);
        triangles += static_cast<unsigned>(meshes.back().indices.size() / 3);
    }
}

ModelMesh Model::readMesh(const aiMesh* source, const aiScene* scene) const
{
    ModelMesh mesh;
    mesh.positions.reserve(source->mNumVertices);
    mesh.texCoords.reserve(source->mNumVertices);
    mesh.normals.reserve(source->mNumVertices);
    mesh.maxCorner = glm::vec3(-FLT_MAX);
    mesh.minCorner = glm::vec3(FLT_MAX);
    for (unsigned i = 0; i < source->mNumVertices; ++i) {
        const aiVector3D& vertex = source->mVertices[i];
        const glm::vec3 position(vertex.x, vertex.y, vertex.z);
        mesh.positions.push_back(position);
        mesh.maxCorner = glm::max(mesh.maxCorner, position);
        mesh.minCorner = glm::min(mesh.minCorner, position);
        if (source->HasTextureCoords(0))
            mesh.texCoords.emplace_back(source->mTextureCoords[0][i].x, source->mTextureCoords[0][i].y);
        else
            mesh.texCoords.emplace_back(0.0f, 0.0f);
        // Normals are never generated on import; a file without them gets unlit-looking zeros.
        if (source->HasNormals())
            mesh.normals.emplace_back(source->mNormals[i].x, source->mNormals[i].y, source->mNormals[i].z);
        else
            mesh.normals.emplace_back(0.0f, 0.0f, 0.0f);
    }
    mesh.indices = triangleIndices(source);

    const aiMaterial* material =
        source->mMaterialIndex < scene->mNumMaterials ? scene->mMaterials[source->mMaterialIndex] : nullptr;
    for (unsigned i = 0; material && i < aiGetMaterialTextureCount(material, aiTextureType_DIFFUSE); ++i) {
        aiString texturePath;
        aiGetMaterialTexture(material, aiTextureType_DIFFUSE, i, &texturePath, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
        if (!staysInsideFolder(texturePath.C_Str())) {
            std::cerr << "IMG_Load error: texture path leaves the model folder: " << texturePath.C_Str() << std::endl;
            mesh.textureFiles.emplace_back();
            continue;
        }
        mesh.textureFiles.push_back(directory + "/" + texturePath.C_Str());
    }
    return mesh;
}

std::array<glm::vec3, 8> Model::corners() const
{
    return boxCorners(minCorner, maxCorner);
}
