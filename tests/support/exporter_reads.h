// Reads a prepared mesh the way the exporters do: four indices and four UV
// pairs per face, a position per index, a colour per vertex. Run under the
// sanitizers, it shows whether prepareVyxMeshForExport let through a mesh the
// exporters would read outside of.
#pragma once

#include "vyx/vyx.h"

inline float readLikeExporters(const Vyx_Mesh& mesh, bool withColors)
{
    float sum = 0;
    for (int32_t face = 0; face < mesh.faceCount; face++)
    {
        for (int32_t corner = 0; corner < 4; corner++)
        {
            int32_t index = mesh.faces[4 * face + corner];
            if (index >= 0)
                sum += mesh.vertices[3 * index] + mesh.vertices[3 * index + 2];
            if (mesh.faceUVs)
                sum += mesh.faceUV(8 * face + 2 * corner) + mesh.faceUV(8 * face + 2 * corner + 1);
        }
    }
    for (int32_t vertex = 0; withColors && mesh.vertexColors && vertex < mesh.vertexCount; vertex++)
        sum += float(mesh.vertexColors[vertex] & 0xFF);
    return sum;
}

// Reads and prepares a mesh for both exporters; answers whether it could be
// exported, and reads it like the exporters when it could.
inline bool readAndExport(Vyx_Mesh& mesh, const char* path)
{
    if (!mesh.readMesh(path))
        return false;
    bool withColors = checkVyxMesh(mesh, VyxUseVertexColors);
    if (!prepareVyxMeshForExport(mesh, VyxUseGeometry))
        return false;
    volatile float sink = readLikeExporters(mesh, withColors);
    (void)sink;
    return true;
}
