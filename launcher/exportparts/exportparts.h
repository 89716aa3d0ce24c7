// What the two exports share, and the update check with them: number
// formatting as the C library writes numbers, the texture-coordinate pool,
// the mesh list's entries, path splitting and the file an export writes.
#pragma once

#include "file_rules/file_rules.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class Vyx_Mesh;

// Numbers exactly as printf writes them: %g with precision 6 (positions and
// colour channels) and %f (texture coordinates).
void appendGeneral(std::string& out, double value);
void appendFixed(std::string& out, double value);
void appendInteger(std::string& out, int64_t value);
// The same for a float or an index into a buffer with the room given below;
// they answer the end of the text. Lines formatted so go to the stream in one
// piece. The float formatters are exact for every float, NaN and the
// infinities included, and several times faster than a general formatter.
constexpr size_t kGeneralRoom = 16;
constexpr size_t kFixedRoom = 48;
constexpr size_t kIntegerRoom = 20;
char* formatGeneral(char* at, float value);
char* formatFixed(char* at, float value);
// m * 2^e * 10^6 rounded to nearest, ties to even, for m below 2^24 and
// m * 2^e below 2^33: the six decimals of %f as one exact integer. Inline:
// the UV pool makes millions of these keys.
inline uint64_t roundedMillionths(uint32_t mantissa, int32_t exponent)
{
    // value * 10^6 = m * 15625 * 2^(e + 6), m * 15625 below 2^38.
    uint64_t num = uint64_t(mantissa) * 15625;
    int32_t shift = -(exponent + 6);
    if (shift <= 0)
        return num << -shift;
    if (shift >= 40)
        return 0;
    uint64_t q = num >> shift;
    uint64_t rest = num - (q << shift);
    uint64_t half = uint64_t(1) << (shift - 1);
    return q + (rest > half || (rest == half && (q & 1)));
}
char* formatInteger(char* at, int64_t value);
// "00", "01" ... "99": the two digits of each number below 100.
inline constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                      "8081828384858687888990919293949596979899";

// The text of an index as std::to_chars writes it, at most ten digits, held
// in the bytes of two words, first digit lowest, so that a text written twice
// is stored twice rather than read back; its pairs of digits are made
// independently of one another, which makes it faster than std::to_chars.
struct IndexText
{
    uint64_t low;
    uint64_t high;
    size_t length;
};
static_assert(std::endian::native == std::endian::little);

inline uint64_t digitPairBytes(uint32_t pair)
{
    uint16_t bytes;
    memcpy(&bytes, kDigitPairs + 2 * pair, 2);
    return bytes;
}

// The eight digits of value < 10^8, leading zeros included, from four
// independent pairs.
inline uint64_t eightDigits(uint32_t value)
{
    uint32_t high = value / 10000;
    uint32_t low = value % 10000;
    return digitPairBytes(high / 100) | digitPairBytes(high % 100) << 16 | digitPairBytes(low / 100) << 32 |
           digitPairBytes(low % 100) << 48;
}

inline IndexText indexText(uint32_t value)
{
    if (value < 10)
        return {uint64_t('0' + value), 0, 1};
    if (value < 100)
        return {digitPairBytes(value), 0, 2};
    if (value < 100000000)
    {
        size_t count = 3 + (value >= 1000) + (value >= 10000) + (value >= 100000) + (value >= 1000000) +
                       (value >= 10000000);
        return {eightDigits(value) >> (8 * (8 - count)), 0, count};
    }
    uint32_t head = value / 100000000; // 1 to 42
    uint64_t tail = eightDigits(value % 100000000);
    if (head < 10)
        return {uint64_t('0' + head) | tail << 8, tail >> 56, 9};
    return {digitPairBytes(head) | tail << 16, tail >> 48, 10};
}

// Writes 16 bytes at at; answers the end of the text.
inline char* putIndex(char* at, const IndexText& text)
{
    memcpy(at, &text.low, 8);
    memcpy(at + 8, &text.high, 8);
    return at + text.length;
}

// Texture coordinates pooled by their six-decimal texts: two pairs share an
// index exactly when both texts are equal. Both exporters pool through it,
// each visiting the face corners in its own order.
enum class CornerOrder
{
    Stored,   // the document's: each face's four corners as stored, a triangle's unused fourth included
    Reversed, // the archive's: each polygon's corners reversed, a triangle's fourth left out
};
// A mesh's texture coordinates pooled: the distinct pairs, u then v, in
// order of first appearance, and each corner's index among them.
struct PooledUVs
{
    std::vector<float> values;
    // One per corner visited, in the order's sequence: the words of the
    // mesh's UV block, which the indices take over as the UVs are read, so
    // that no index array half their size is needed.
    std::unique_ptr<uint32_t[]> indices;
    size_t corners = 0;
};
// Pools the UVs of the mesh's face corners, taking its UV block over: the
// mesh has no UVs afterwards.
PooledUVs poolCornerUVs(Vyx_Mesh& mesh, CornerOrder order);
// The same pooling keyed by the texts themselves, leaving the mesh as it is,
// to check the fast one.
void poolCornerUVsByText(const Vyx_Mesh& mesh, CornerOrder order, std::vector<float>& values,
                         std::vector<uint32_t>& indices);

// Path splitting by the last "/" or "\\" and the last ".": 1 folder with its
// separator, 2 file name without extension, 3 path without extension,
// 4 extension with its dot, 6 file name; 5 and others the path unchanged.
std::string FileNameExtract(const std::string& path, int mode);

// The entries of a mesh list: NUL-terminated texts packed within size bytes;
// an entry that runs to the end of the list ends there. There is always at
// least one entry (empty when the list is).
std::vector<std::string> splitMeshList(const char* list, int32_t size);

// The file an export writes: a temporary file beside the output, moved into
// place only once the export is complete, so that a failed export leaves
// what was at the output as it was; on every other way out it is removed.
class ExportFile
{
  public:
    // Creates the file beside output. False, with nothing written, when
    // output names anything but a regular file or nothing, when it names one
    // of the inputs however it is spelt, or when no file can be made there.
    bool open(const char* output, const std::vector<std::string>& inputs);
    bool write(const void* data, size_t size) { return file.write(data, size); }
    bool writeAt(uint64_t offset, const void* data, size_t size) { return file.writeAt(offset, data, size); }
    // Moves the file over the output, keeping the permissions of a file
    // there; false when it could not.
    bool replace() { return file.replace(output, true); }
    // Moves the file to the output only while nothing has that name.
    bool placeIfFree() { return file.place(output); }

  private:
    std::string output;
    TemporaryFile file;
};
