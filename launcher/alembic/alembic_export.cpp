#include "alembic_export.h"
#include "platform.h"
#include "collada.h"
#include "vyx.h"

#include <Alembic/AbcCoreOgawa/All.h>
#include <Alembic/AbcGeom/All.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

namespace AbcGeom = Alembic::AbcGeom;

void convertFaces(const Vyx_Mesh& mesh, AlembicFaces& faces)
{
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    faces.indices.clear();
    faces.counts.clear();
    faces.uvPairs.clear();
    faces.indices.reserve(faceCount * 4);
    faces.counts.reserve(faceCount);
    if (mesh.faceUVs)
        faces.uvPairs.reserve(faceCount * 8);
    for (size_t f = 0; f < faceCount; f++)
    {
        const int32_t* corners = &mesh.faces[4 * f];
        int32_t n = corners[3] < 0 ? 3 : 4;
        faces.counts.push_back(n);
        for (int32_t c = n - 1; c >= 0; c--)
        {
            faces.indices.push_back(corners[c]);
            if (mesh.faceUVs)
            {
                faces.uvPairs.push_back(mesh.faceUVs[8 * f + 2 * size_t(c)]);
                faces.uvPairs.push_back(mesh.faceUVs[8 * f + 2 * size_t(c) + 1]);
            }
        }
    }
}

void writeAlembicMesh(Alembic::Abc::OArchive& archive, const std::string& name, const Vyx_Mesh& mesh,
                      const AlembicFaces& faces, const UVPool& pool)
{
    AbcGeom::OXform xform(archive.getTop(), name);
    AbcGeom::OPolyMesh polyMesh(xform, name);
    AbcGeom::OPolyMeshSchema& schema = polyMesh.getSchema();
    AbcGeom::P3fArraySample positions(reinterpret_cast<const Imath::V3f*>(mesh.vertices.get()),
                                      size_t(std::max(mesh.vertexCount, 0)));
    AbcGeom::Int32ArraySample indices(faces.indices);
    AbcGeom::Int32ArraySample counts(faces.counts);
    AbcGeom::OV2fGeomParam::Sample uvs;
    if (mesh.faceUVs)
        uvs = AbcGeom::OV2fGeomParam::Sample(
            AbcGeom::V2fArraySample(reinterpret_cast<const Imath::V2f*>(pool.values.data()), pool.values.size() / 2),
            AbcGeom::UInt32ArraySample(pool.indices), AbcGeom::kFacevaryingScope);
    AbcGeom::OPolyMeshSchema::Sample sample(positions, indices, counts, uvs);
    schema.set(sample);
    schema.set(sample);
}

// Writes one mesh under the archive's top; the library's exceptions pass to
// the caller.
static void writeMesh(Alembic::Abc::OArchive& archive, const std::string& name, const Vyx_Mesh& mesh)
{
    AlembicFaces faces;
    convertFaces(mesh, faces);
    UVPool pool;
    if (mesh.faceUVs)
        poolUVPairs(faces.uvPairs.data(), faces.uvPairs.size() / 2, pool);
    writeAlembicMesh(archive, name, mesh, faces, pool);
}

namespace
{
// Alembic writes each object's headers when the object is destroyed, in
// destructors that cannot pass an exception on: memory running out there
// would end the host. While the library's objects live, a reserve set aside
// beforehand is given back at the first failed allocation, so that what is
// under way can finish and the archive be closed; the export then stops and
// answers -1. A failure after that throws as usual.
struct MemoryReserve
{
    static constexpr size_t kBytes = size_t(4) << 20;
    char* reserve = nullptr;
    bool used = false;
    std::new_handler previous = nullptr;

    // The reserve of the export under way, for the handler, which takes no
    // argument; set only within one call.
    static MemoryReserve* active;

    MemoryReserve()
    {
        reserve = static_cast<char*>(malloc(kBytes));
        if (reserve)
            memset(reserve, 0, kBytes); // taken for real, not only promised
        active = this;
        previous = std::set_new_handler(giveBack);
    }
    ~MemoryReserve()
    {
        std::set_new_handler(previous);
        active = nullptr;
        free(reserve);
    }
    MemoryReserve(const MemoryReserve&) = delete;
    MemoryReserve& operator=(const MemoryReserve&) = delete;

    static void giveBack()
    {
        MemoryReserve* self = active;
        if (self && self->reserve)
        {
            free(self->reserve);
            self->reserve = nullptr;
            self->used = true;
            return;
        }
        if (self && self->previous)
            return self->previous();
        throw std::bad_alloc();
    }
};
MemoryReserve* MemoryReserve::active = nullptr;

// Writes the listed meshes into an archive at outputPath; every object of the
// library lives and dies in here.
float writeArchive(const char* outputPath, const std::vector<std::string>& entries, const MemoryReserve& reserve)
{
    float result = 0;
    // The archive is written to a stream opened here, with the path as the
    // system spells it (UTF-16 on Windows), never through a narrow path.
    std::ofstream stream(platform().nativePath(outputPath), std::ios::binary | std::ios::trunc);
    if (!stream)
        return -3;
    try
    {
        Alembic::Abc::OArchive archive(
            Alembic::AbcCoreOgawa::WriteArchive()(&stream, Alembic::AbcCoreAbstract::MetaData()),
            Alembic::Abc::kWrapExisting);
        for (size_t i = 1; i < entries.size() && !reserve.used; i++)
        {
            std::string path = entries[0] + entries[i] + ".Vyx";
            Vyx_Mesh mesh;
            if (!mesh.readMesh(path.c_str()) || !prepareVyxMeshForExport(mesh, VyxUseGeometry))
            {
                result = -1;
                break;
            }
            // A mesh the library refuses (two entries of one name, say) ends
            // the export; the archive keeps the meshes written before it.
            try
            {
                writeMesh(archive, entries[i], mesh);
            }
            catch (...)
            {
                result = -1;
                break;
            }
        }
    }
    catch (...)
    {
        return result < 0 ? result : -3;
    }
    // The archive wrote its last bytes as it closed; a disk that did not take
    // them leaves no archive to speak of.
    stream.close();
    return result == 0 && !stream ? -1 : result;
}
}

float addMeshes(const char* outputPath, const char* list, int32_t listSize)
{
    if (!outputPath)
        return -3;
    // The output must be writable, or at least removable so that the
    // archive can take its place; anything but a regular file is refused.
    PathKind kind = platform().pathKind(outputPath);
    if (kind == PathKind::Folder || kind == PathKind::Other)
        return -3;
    if (FILE* probe = platform().openFile(outputPath, FileAccess::Write))
        fclose(probe);
    else if (!platform().removeEntry(outputPath))
        return -3;

    std::vector<std::string> entries = splitMeshList(list, listSize);
    MemoryReserve reserve;
    float result = writeArchive(outputPath, entries, reserve);
    return reserve.used && result == 0 ? -1 : result;
}

float testAlembic()
{
    try
    {
        std::ofstream stream("happy.abc", std::ios::binary | std::ios::trunc);
        Alembic::Abc::OArchive archive(
            Alembic::AbcCoreOgawa::WriteArchive()(&stream, Alembic::AbcCoreAbstract::MetaData()),
            Alembic::Abc::kWrapExisting);
    }
    catch (...)
    {
    }
    return 3;
}
