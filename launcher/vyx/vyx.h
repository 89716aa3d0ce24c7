// Reading Vyx mesh files: the block container, the mesh read from it, and the
// check the exporters run before they use a mesh. Every byte of a Vyx file is
// untrusted; malformed files are refused, never trusted for sizes.
#pragma once

#include "platform/memory.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// A block header exactly as stored: 16 little-endian bytes.
struct Vyx_Header
{
    int32_t tag = 0;    // block kind; 0 ends a mesh
    int32_t size = 0;   // whole block in bytes, these 16 included
    int32_t count = 0;  // items in the payload, for array blocks
    uint32_t param = 0; // raw bits; block 55001 holds a float here
};
static_assert(sizeof(Vyx_Header) == 16);

// The block kinds, by the tag stored in their headers.
enum VyxTag : int32_t
{
    VyxTagEnd = 0, // ends a mesh
    VyxTagRaw1 = 1,
    VyxTagRaw2 = 2,
    VyxTagValue5001 = 5001,
    VyxTagVertices = 10001,
    VyxTag10002 = 10002,
    VyxTagQuads = 20001,
    VyxTagQuads20002 = 20002,
    VyxTagTriangles = 20003,
    VyxTagQuadUVs = 25001,
    VyxTagTriangleUVs = 25002,
    VyxTag30001 = 30001,
    VyxTag30002 = 30002,
    VyxTagVertexColors = 35001,
    VyxTag40001 = 40001,
    VyxTag40002 = 40002,
    VyxTagRaw45001 = 45001,
    VyxTagRaw50001 = 50001,
    VyxTagRaw55001 = 55001,
};

// How much of a block readVyxBlocData takes.
enum class VyxData : uint8_t
{
    None,    // nothing: the block is passed over
    Items,   // itemBytes for each of count items
    Payload, // the whole payload
    Four,    // four bytes, whatever the count
};

// What readMesh does with a kind of block.
enum class VyxReading : uint8_t
{
    Skipped,    // its payload is skipped, whatever its count
    PassedOver, // checked as its data would be and passed over as far as reading it would go
    Read,       // its data is read into the mesh
};

// One row of the block vocabulary: the data a kind holds, and what readMesh
// does with it.
struct VyxBlockKind
{
    VyxTag tag;
    VyxData data;
    uint8_t itemBytes;
    VyxReading reading;
};

// The row of tag; a row of no data, skipped, for an unknown tag.
const VyxBlockKind& vyxBlockKind(int32_t tag);

// The block container. The stream position is the only cursor: after opening
// it stands at the first block header, after readVyxBlocHeader at the payload,
// after skipVyxBloc or a successful readVyxBlocData or skipVyxBlocData at
// the next header.

// Opens a Vyx file and checks its magic; null when it cannot be opened, is
// shorter than the 32-byte file header or is not a Vyx file.
FILE* openVyxFile4Read(const char* path);
bool readVyxBlocHeader(FILE* file, Vyx_Header& header);
// False for a block whose size is below 16, which would move backwards.
bool skipVyxBloc(FILE* file, const Vyx_Header& header);
// Reads the block's data (vyxBlocDataSize bytes) into buffer and moves to the
// next block. False, with nothing read, when the header is malformed or the
// data does not fit in bufferSize.
bool readVyxBlocData(FILE* file, const Vyx_Header& header, void* buffer, size_t bufferSize);
// Moves the stream as readVyxBlocData would, without reading: past the
// payload, or past the data where the data runs beyond the payload's end.
bool skipVyxBlocData(FILE* file, const Vyx_Header& header);
void closeVyxFile(FILE* file);

// The bytes readVyxBlocData takes for this header, which depend on the tag:
// a multiple of count for array blocks, the payload for whole blocks, 4 for
// block 5001, 0 for unknown tags. False when the header is malformed: size
// below 16, negative count, or a byte count beyond the signed 32-bit range.
bool vyxBlocDataSize(const Vyx_Header& header, uint32_t& bytes);
// Checks a header just read before its block is skipped: a size of at least
// 16 whose payload lies within the file. Nothing else of a skipped block
// matters, its count included.
bool checkVyxSkip(FILE* file, const Vyx_Header& header);
// Checks a header just read, before anything is allocated or read for it:
// vyxBlocDataSize must accept it, and neither its payload nor its data may
// reach past the end of the file. dataBytes receives vyxBlocDataSize's answer.
bool checkVyxBloc(FILE* file, const Vyx_Header& header, uint32_t& dataBytes);

// An array an exporter reads, with the number of entries it holds: the two
// travel together, so that a count that disagrees with its array is caught
// before use (checkVyxMesh).
template <class T>
struct VyxArray
{
    LargeArray<T> data;
    uint32_t length = 0;

    T& operator[](size_t i) const { return data[i]; }
    T* get() const { return data.get(); }
    explicit operator bool() const { return data != nullptr; }
    bool operator==(std::nullptr_t) const { return data == nullptr; }
    void reset(LargeArray<T> array = nullptr, uint32_t entries = 0)
    {
        length = array ? entries : 0;
        data = std::move(array);
    }
    // Hands the array over, leaving this one empty.
    LargeArray<T> release()
    {
        length = 0;
        return std::move(data);
    }
};

// One mesh read from a Vyx file. Each array is allocated by readMesh with
// exactly the size its block gives, and null when no block filled it. The
// blocks no exporter reads (the raw blocks and the 16-bit and 8-bit data)
// are passed over, not kept: only 55001's parameter is.
class Vyx_Mesh
{
  public:
    uint32_t value5001 = 0;
    int32_t vertexCount = 0;
    VyxArray<float> vertices; // x, y, z per vertex
    int32_t faceCount = 0;
    int32_t faceKind = 0; // 20001 or 20002: four indices per face; 20003: three
    VyxArray<int32_t> faces;
    int32_t uvKind = 0; // 25001: four u, v pairs per face; 25002: three
    // The UV block's 32-bit words as read: floats, u then v per corner
    // (faceUV reads one); the pooling of an export turns them into its
    // corners' indices (PooledUVs).
    VyxArray<uint32_t> faceUVs;
    VyxArray<uint32_t> vertexColors; // 0x00RRGGBB, top byte kept but unused
    float param55001 = 1.0f;

    // The layout of the face and UV arrays held, recorded when each was read:
    // an empty block records its kind but leaves the earlier array in place.
    uint32_t indicesPerFace = 0; // 4 (20001, 20002) or 3 (20003)
    uint32_t uvFloatsPerFace = 0; // 8 (25001) or 6 (25002)

    float faceUV(size_t i) const { return std::bit_cast<float>(faceUVs[i]); }

    void clear();
    // Replaces the mesh with the file's. True when the end marker (tag 0) was
    // reached; after false the mesh holds what was read and is not to be used.
    bool readMesh(const char* path);

  private:
    bool readBlocks(FILE* file);
    bool readBlock(FILE* file, const Vyx_Header& header);
};

// What an exporter reads of a mesh. Positions, faces and face UVs (when
// present) are read by every exporter; vertex colours only by some.
enum VyxMeshUse : uint32_t
{
    VyxUseGeometry = 0,
    VyxUseVertexColors = 1,
};

// Whether a mesh that readMesh answered true for can be exported safely: every
// array the exporter reads holds what the counts promise, and every face index
// names a vertex (the fourth index of a four-index face may be negative: a
// triangle).
bool checkVyxMesh(const Vyx_Mesh& mesh, uint32_t uses);
// Runs checkVyxMesh and then gives the mesh the four-per-face layout the
// exporters read, following the arrays held: three-index faces become kind
// 20001 with a fourth index of -1, six-float UVs become kind 25001 with a zero
// fourth pair. The colours are released unless the exporter uses them.
// False when the check fails or memory runs out; the mesh is then not to be
// exported.
bool prepareVyxMeshForExport(Vyx_Mesh& mesh, uint32_t uses);
