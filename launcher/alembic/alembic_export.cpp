#include "alembic_export.h"
#include "common/allocation_reserve.h"
#include "platform/platform.h"
#include "exportparts/exportparts.h"
#include "vyx/vyx.h"

#include <Alembic/AbcCoreOgawa/All.h>
#include <Alembic/AbcGeom/All.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace AbcGeom = Alembic::AbcGeom;

// Packs the mesh's faces, taking its face array over: the mesh has no faces
// afterwards.
static PackedFaces packFaces(Vyx_Mesh& mesh)
{
    PackedFaces packed;
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    packed.counts.resize(faceCount);
    packed.indices = mesh.faces.release();
    mesh.faceCount = 0;
    // Each face is read whole before its reversed corners are written, at or
    // before its own place.
    int32_t* faces = packed.indices.get();
    size_t corners = 0;
    for (size_t f = 0; f < faceCount; f++)
    {
        int32_t a = faces[4 * f], b = faces[4 * f + 1], c = faces[4 * f + 2], d = faces[4 * f + 3];
        if (d >= 0)
            faces[corners++] = d;
        faces[corners++] = c;
        faces[corners++] = b;
        faces[corners++] = a;
        packed.counts[f] = d >= 0 ? 4 : 3;
    }
    packed.corners = corners;
    return packed;
}

void prepareAlembicMesh(Vyx_Mesh& mesh, AlembicMesh& prepared)
{
    // The pooling reads which faces are triangles, so it comes before the
    // faces are packed.
    prepared.uvs = mesh.faceUVs ? poolCornerUVs(mesh, CornerOrder::Reversed) : PooledUVs();
    prepared.faces = packFaces(mesh);
}

void writeAlembicMesh(Alembic::Abc::OArchive& archive, const std::string& name, const Vyx_Mesh& mesh,
                      const AlembicMesh& prepared)
{
    AbcGeom::OXform xform(archive.getTop(), name);
    AbcGeom::OPolyMesh polyMesh(xform, name);
    AbcGeom::OPolyMeshSchema& schema = polyMesh.getSchema();
    AbcGeom::P3fArraySample positions(reinterpret_cast<const Imath::V3f*>(mesh.vertices.get()),
                                      size_t(std::max(mesh.vertexCount, 0)));
    AbcGeom::Int32ArraySample indices(prepared.faces.indices.get(), prepared.faces.corners);
    AbcGeom::Int32ArraySample counts(prepared.faces.counts);
    AbcGeom::OV2fGeomParam::Sample uvs;
    if (prepared.uvs.indices)
        uvs = AbcGeom::OV2fGeomParam::Sample(
            AbcGeom::V2fArraySample(reinterpret_cast<const Imath::V2f*>(prepared.uvs.values.data()),
                                    prepared.uvs.values.size() / 2),
            AbcGeom::UInt32ArraySample(prepared.uvs.indices.get(), prepared.uvs.corners),
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
// The archive's bytes pass through here to the file. The Alembic library
// turns on exceptions on the stream it writes to and writes the archive's
// last parts from destructors, where an exception ends the process (a full
// disk did exactly that). So this buffer never reports a failure to the
// stream: the first one is remembered, the bytes after it are dropped, and
// the export learns of it once the archive is closed.
class ArchiveFile : public std::streambuf
{
  public:
    // Creates or empties the file; false when it cannot be opened.
    bool open(const std::filesystem::path& path)
    {
        return file.open(path, std::ios::out | std::ios::binary | std::ios::trunc) != nullptr;
    }
    // Closes the file; true when every byte reached it.
    bool close()
    {
        bool closed = file.close() != nullptr;
        return closed && !failed;
    }

  protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof()) && !failed &&
            traits_type::eq_int_type(file.sputc(traits_type::to_char_type(c)), traits_type::eof()))
            failed = true;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override
    {
        if (!failed && file.sputn(bytes, count) != count)
            failed = true;
        return count;
    }
    // A position the file cannot take counts as the start: what is written
    // after a failure is dropped anyway.
    pos_type seekoff(off_type offset, std::ios::seekdir from, std::ios::openmode which) override
    {
        pos_type at = failed ? pos_type(off_type(-1)) : file.pubseekoff(offset, from, which);
        failed = failed || at == pos_type(off_type(-1));
        return failed ? pos_type(0) : at;
    }
    pos_type seekpos(pos_type at, std::ios::openmode which) override
    {
        failed = failed || file.pubseekpos(at, which) == pos_type(off_type(-1));
        return at;
    }
    int sync() override
    {
        failed = failed || file.pubsync() != 0;
        return 0;
    }

  private:
    std::filebuf file;
    bool failed = false;
};

// Writes the listed meshes into the archive file; every object of the
// library lives and dies in here.
float writeArchive(ArchiveFile& file, const std::vector<std::string>& entries, const AllocationReserve& reserve)
{
    float result = 0;
    std::ostream stream(&file);
    try
    {
        Alembic::Abc::OArchive archive(
            Alembic::AbcCoreOgawa::WriteArchive()(&stream, Alembic::AbcCoreAbstract::MetaData()),
            Alembic::Abc::kWrapExisting);
        for (size_t i = 1; i < entries.size() && !reserve.used(); i++)
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
    return result;
}
}

float addMeshes(const char* outputPath, const char* list, int32_t listSize)
{
    if (!outputPath)
        return -3;
    // The output must be writable, or at least removable so that the
    // archive can take its place; anything but a regular file is refused.
    PathKind kind = fileServices().pathKind(outputPath);
    if (kind == PathKind::Folder || kind == PathKind::Other)
        return -3;
    if (FILE* probe = fileServices().openFile(outputPath, FileAccess::Write))
        fclose(probe);
    else if (!fileServices().removeEntry(outputPath))
        return -3;

    std::vector<std::string> entries = splitMeshList(list, listSize);
    // Alembic writes each object's headers when the object is destroyed, in
    // destructors that cannot pass an exception on, and it swallows a failed
    // allocation in places and fails later in a destructor: memory running
    // out while its objects live would end the host. So the export holds a
    // reserve that the library's allocator gives back at the first failed
    // allocation; what is under way can finish and the archive be closed,
    // and the export then stops and answers -1.
    AllocationReserve reserve;
    // The archive is written with the path as the system spells it (UTF-16
    // on Windows), never through a narrow path.
    ArchiveFile file;
    if (!file.open(fileServices().nativePath(outputPath)))
        return -3;
    float result = writeArchive(file, entries, reserve);
    // An archive that could not be finished (the disk full, say) is no
    // archive: it is removed rather than left half-written.
    if (!file.close() || result == -3)
    {
        fileServices().removeEntry(outputPath);
        return result == 0 ? -1 : result;
    }
    return reserve.used() && result == 0 ? -1 : result;
}

float testAlembic()
{
    ArchiveFile file;
    if (!file.open("happy.abc"))
        return 3;
    bool written = true;
    {
        std::ostream stream(&file);
        try
        {
            Alembic::Abc::OArchive archive(
                Alembic::AbcCoreOgawa::WriteArchive()(&stream, Alembic::AbcCoreAbstract::MetaData()),
                Alembic::Abc::kWrapExisting);
        }
        catch (...)
        {
            written = false;
        }
    }
    if (!file.close() || !written)
        fileServices().removeEntry("happy.abc");
    return 3;
}
