#include "assimp_collada.h"

#include <assimp/Exporter.hpp>
#include <assimp/material.h>

static aiMesh* assimpMesh(const std::string& name, const Vyx_Mesh& mesh)
{
    size_t vertexCount = size_t(std::max(mesh.vertexCount, 0));
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    aiMesh* out = new aiMesh();
    out->mName = name;
    out->mPrimitiveTypes = aiPrimitiveType_POLYGON;
    out->mNumVertices = unsigned(vertexCount);
    out->mVertices = new aiVector3D[vertexCount];
    for (size_t i = 0; i < vertexCount; i++)
        out->mVertices[i] = aiVector3D(mesh.vertices[3 * i], mesh.vertices[3 * i + 1], mesh.vertices[3 * i + 2]);
    if (mesh.vertexColors)
    {
        out->mColors[0] = new aiColor4D[vertexCount];
        for (size_t i = 0; i < vertexCount; i++)
        {
            uint32_t color = mesh.vertexColors[i];
            out->mColors[0][i] = aiColor4D(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                                           float(color & 0xFF) / 255.0f, 1.0f);
        }
    }
    if (mesh.faceUVs)
    {
        out->mNumUVComponents[0] = 2;
        out->mTextureCoords[0] = new aiVector3D[vertexCount];
    }
    out->mNumFaces = unsigned(faceCount);
    out->mFaces = new aiFace[faceCount];
    for (size_t f = 0; f < faceCount; f++)
    {
        const int32_t* corners = &mesh.faces[4 * f];
        unsigned n = corners[3] < 0 ? 3 : 4;
        aiFace& face = out->mFaces[f];
        face.mNumIndices = n;
        face.mIndices = new unsigned[n];
        for (unsigned c = 0; c < n; c++)
        {
            face.mIndices[c] = unsigned(corners[c]);
            if (mesh.faceUVs)
                out->mTextureCoords[0][corners[c]] =
                    aiVector3D(mesh.faceUV(8 * f + 2 * c), mesh.faceUV(8 * f + 2 * c + 1), 0.0f);
        }
    }
    return out;
}

std::unique_ptr<aiScene> assimpScene(const std::vector<std::string>& names, const std::vector<Vyx_Mesh>& meshes)
{
    std::unique_ptr<aiScene> scene(new aiScene());
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1]{new aiMaterial()};
    scene->mNumMeshes = unsigned(meshes.size());
    scene->mMeshes = new aiMesh*[meshes.size()];
    scene->mRootNode = new aiNode("root");
    scene->mRootNode->mNumChildren = unsigned(meshes.size());
    scene->mRootNode->mChildren = new aiNode*[meshes.size()];
    for (size_t i = 0; i < meshes.size(); i++)
    {
        scene->mMeshes[i] = assimpMesh(names[i], meshes[i]);
        aiNode* node = new aiNode(names[i]);
        node->mParent = scene->mRootNode;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{unsigned(i)};
        scene->mRootNode->mChildren[i] = node;
    }
    return scene;
}

bool exportWithAssimp(const aiScene& scene, const std::string& path)
{
    Assimp::Exporter exporter;
    return exporter.Export(&scene, "collada", path) == aiReturn_SUCCESS;
}
