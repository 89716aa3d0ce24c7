#include "alembic_export.h"
#include "common/allocation_reserve.h"
#include "exportparts/export_file.h"
#include "exportparts/file_names.h"
#include "vyx/vyx.h"

#include <Alembic/AbcCoreOgawa/All.h>
#include <Alembic/AbcGeom/All.h>

#include <algorithm>
#include <ostream>
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
    AbcGeom::Int32ArraySample counts(prepared.faces.counts.data(), prepared.faces.counts.size());
    AbcGeom::OV2fGeomParam::Sample uvs;
    if (prepared.uvs.indices)
        uvs = AbcGeom::OV2fGeomParam::Sample(
            AbcGeom::V2fArraySample(reinterpret_cast<const Imath::V2f*>(prepared.uvs.values.data()),
                                    prepared.uvs.values.size() / 2),
            AbcGeom::UInt32ArraySample(prepared.uvs.indices.get(), prepared.uvs.corners),
            AbcGeom::kFacevaryingScope);
    AbcGeom::OPolyMeshSchema::Sample sample(positions, indices, counts, uvs);
    schema.set(sample);
    // The same second sample as setting it again would write, without the
    // library hashing every array and bounding the positions a second time.
    schema.setFromPrevious();
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
// The archive's bytes pass through here to the export's file, each write at
// the position the library last sought. The Alembic library turns on
// exceptions on the stream it writes to and writes the archive's last parts
// from destructors, where an exception ends the process (a full disk did
// exactly that). So this buffer never reports a failure to the stream: the
// first one is remembered, the bytes after it are dropped, and the export
// learns of it once the archive is closed.
class ArchiveFile : public std::streambuf
{
  public:
    explicit ArchiveFile(ExportFile& file) : file(file) {}
    // True when every byte reached the file.
    bool written() const { return !failed; }

  protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
        {
            char byte = traits_type::to_char_type(c);
            put(&byte, 1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override
    {
        put(bytes, count);
        return count;
    }
    // From the end means from the furthest byte written.
    pos_type seekoff(off_type offset, std::ios::seekdir from, std::ios::openmode which) override
    {
        uint64_t base = from == std::ios::beg ? 0 : from == std::ios::cur ? position : end;
        return seekpos(pos_type(off_type(base) + offset), which);
    }
    // A position before the start counts as the start: what is written
    // after a failure is dropped anyway.
    pos_type seekpos(pos_type at, std::ios::openmode) override
    {
        failed = failed || off_type(at) < 0;
        position = failed ? 0 : uint64_t(off_type(at));
        return pos_type(off_type(position));
    }

  private:
    void put(const char* bytes, std::streamsize count)
    {
        if (count <= 0)
            return;
        failed = failed || !file.writeAt(position, bytes, size_t(count));
        position += uint64_t(count);
        end = std::max(end, position);
    }

    ExportFile& file;
    uint64_t position = 0;
    uint64_t end = 0;
    bool failed = false;
};

// Writes the listed meshes, read from their Vyx files (inputs, one per mesh
// entry), into the archive file; every object of the library lives and dies
// in here.
float writeArchive(ArchiveFile& file, const std::vector<std::string>& entries, const std::vector<std::string>& inputs,
                   const AllocationReserve& reserve)
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
            Vyx_Mesh mesh;
            if (!mesh.readMesh(inputs[i - 1].c_str()) || !prepareVyxMeshForExport(mesh, VyxUseGeometry))
            {
                result = -1;
                break;
            }
            // A mesh the library refuses (two entries of one name, say) ends
            // the export.
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
    std::vector<std::string> entries = splitMeshList(list, listSize);
    std::vector<std::string> inputs;
    for (size_t i = 1; i < entries.size(); i++)
        inputs.push_back(entries[0] + entries[i] + ".Vyx");
    // The archive is written beside the output and takes its place only
    // once complete: a failed export leaves what was there as it was. An
    // output that is anything but a regular file, or one of the meshes, is
    // refused before anything is written.
    ExportFile file;
    if (!file.open(outputPath, inputs))
        return -3;
    // Alembic writes each object's headers when the object is destroyed, in
    // destructors that cannot pass an exception on, and it swallows a failed
    // allocation in places and fails later in a destructor: memory running
    // out while its objects live would end the host. So the export holds a
    // reserve that the library's allocator gives back at the first failed
    // allocation; what is under way can finish and the archive be closed,
    // and the export then stops and answers -1.
    AllocationReserve reserve;
    ArchiveFile archive(file);
    float result = writeArchive(archive, entries, inputs, reserve);
    if (result == 0 && reserve.used())
        return -1;
    // An archive the disk did not take whole is no archive.
    if (result == 0 && !(archive.written() && file.replace()))
        return -1;
    // A mesh that cannot be read, or that the library refuses, ends the
    // archive after the meshes before it; like the Collada export's partial
    // document it takes the name only where nothing had it.
    if (result == -1 && !reserve.used() && archive.written())
        file.placeIfFree();
    return result;
}

float testAlembic()
{
    ExportFile file;
    if (!file.open("happy.abc", {}))
        return 3;
    ArchiveFile archive(file);
    bool written = true;
    {
        std::ostream stream(&archive);
        try
        {
            Alembic::Abc::OArchive created(
                Alembic::AbcCoreOgawa::WriteArchive()(&stream, Alembic::AbcCoreAbstract::MetaData()),
                Alembic::Abc::kWrapExisting);
        }
        catch (...)
        {
            written = false;
        }
    }
    if (written && archive.written())
        file.replace();
    return 3;
}
