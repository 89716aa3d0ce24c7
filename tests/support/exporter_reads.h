// Reads a prepared mesh the way the exporters do: four indices and four UV
// pairs per face, a position per index, a colour per vertex. It answers
// whether every one of those reads lay within its array, and makes none
// that would not: a mesh prepareVyxMeshForExport let through for the
// exporters to read outside of fails with or without the sanitizers, which
// also see a read past what an array was allocated with.
#pragma once

#include "vyx/vyx.h"

enum class ExportRead
{
    Refused,        // the mesh was not read, or not prepared for export
    WithinArrays,   // prepared, and every read of the exporters in bounds
    OutsideAnArray, // prepared, with a read the exporters would make out of bounds
};

inline bool exportersReadWithinArrays(const Vyx_Mesh& mesh, bool withColors)
{
    if (mesh.faceCount < 0 || mesh.vertexCount < 0)
        return false;
    uint64_t faces = uint64_t(mesh.faceCount), vertices = uint64_t(mesh.vertexCount);
    if (mesh.faces.length < 4 * faces || mesh.vertices.length < 3 * vertices ||
        (mesh.faceUVs && mesh.faceUVs.length < 8 * faces) ||
        (withColors && mesh.vertexColors && mesh.vertexColors.length < vertices))
        return false;
    float sum = 0;
    for (uint64_t face = 0; face < faces; face++)
    {
        for (uint64_t corner = 0; corner < 4; corner++)
        {
            int32_t index = mesh.faces[4 * face + corner];
            if (index >= mesh.vertexCount)
                return false;
            if (index >= 0)
                sum += mesh.vertices[3 * size_t(index)] + mesh.vertices[3 * size_t(index) + 2];
            if (mesh.faceUVs)
                sum += mesh.faceUV(8 * face + 2 * corner) + mesh.faceUV(8 * face + 2 * corner + 1);
        }
    }
    for (uint64_t vertex = 0; withColors && mesh.vertexColors && vertex < vertices; vertex++)
        sum += float(mesh.vertexColors[vertex] & 0xFF);
    volatile float sink = sum;
    (void)sink;
    return true;
}

// Reads and prepares a mesh for both exporters, and reads it like the
// exporters when it could be exported.
inline ExportRead readAndExport(Vyx_Mesh& mesh, const char* path)
{
    if (!mesh.readMesh(path))
        return ExportRead::Refused;
    bool withColors = checkVyxMesh(mesh, VyxUseVertexColors);
    if (!prepareVyxMeshForExport(mesh, VyxUseGeometry))
        return ExportRead::Refused;
    return exportersReadWithinArrays(mesh, withColors) ? ExportRead::WithinArrays : ExportRead::OutsideAnArray;
}
