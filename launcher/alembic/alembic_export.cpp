#include "alembic_export.h"
#include "platform.h"
#include "exportparts.h"
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

void prepareAlembicMesh(Vyx_Mesh& mesh, AlembicMesh& prepared)
{
    // The pooling reads which faces are triangles, so it comes before the
    // faces are packed.
    prepared.uvValues.clear();
    if (mesh.faceUVs)
        poolCornerUVs(mesh, CornerOrder::Reversed, prepared.uvValues);
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    prepared.counts.resize(faceCount);
    // Each face is read whole before its reversed corners are written, at or
    // before its own place.
    int32_t* faces = mesh.faces.get();
    size_t corners = 0;
    for (size_t f = 0; f < faceCount; f++)
    {
        int32_t a = faces[4 * f], b = faces[4 * f + 1], c = faces[4 * f + 2], d = faces[4 * f + 3];
        if (d >= 0)
            faces[corners++] = d;
        faces[corners++] = c;
        faces[corners++] = b;
        faces[corners++] = a;
        prepared.counts[f] = d >= 0 ? 4 : 3;
    }
    prepared.corners = corners;
}

void writeAlembicMesh(Alembic::Abc::OArchive& archive, const std::string& name, const Vyx_Mesh& mesh,
                      const AlembicMesh& prepared)
{
    AbcGeom::OXform xform(archive.getTop(), name);
    AbcGeom::OPolyMesh polyMesh(xform, name);
    AbcGeom::OPolyMeshSchema& schema = polyMesh.getSchema();
    AbcGeom::P3fArraySample positions(reinterpret_cast<const Imath::V3f*>(mesh.vertices.get()),
                                      size_t(std::max(mesh.vertexCount, 0)));
    AbcGeom::Int32ArraySample indices(mesh.faces.get(), prepared.corners);
    AbcGeom::Int32ArraySample counts(prepared.counts);
    AbcGeom::OV2fGeomParam::Sample uvs;
    // The pool indices are the bits of the floats they replaced; the library
    // takes them as bytes.
    if (mesh.faceUVs)
        uvs = AbcGeom::OV2fGeomParam::Sample(
            AbcGeom::V2fArraySample(reinterpret_cast<const Imath::V2f*>(prepared.uvValues.data()),
                                    prepared.uvValues.size() / 2),
            AbcGeom::UInt32ArraySample(reinterpret_cast<const uint32_t*>(mesh.faceUVs.get()), prepared.corners),
            AbcGeom::kFacevaryingScope);
    AbcGeom::OPolyMeshSchema::Sample sample(positions, indices, counts, uvs);
    schema.set(sample);
    schema.set(sample);
}

// Writes one mesh under the archive's top; the library's exceptions pass to
// the caller.
static void writeMesh(Alembic::Abc::OArchive& archive, const std::string& name, Vyx_Mesh& mesh)
{
    AlembicMesh prepared;
    prepareAlembicMesh(mesh, prepared);
    writeAlembicMesh(archive, name, mesh, prepared);
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
