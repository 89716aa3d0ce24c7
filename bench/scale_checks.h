// What the scale benchmark checks of each export's output, without holding
// the output in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Each array of a Collada document as it declares itself and as it is: the
// float arrays' count attributes and numbers, then the polygon list's count
// attribute, its vcount numbers and their sum, and its p numbers. Read in
// blocks, so that a document of gigabytes needs no more than one block.
struct DocumentArray
{
    std::string element; // "float_array", "polylist", "vcount" or "p"
    uint64_t declared = 0; // the count attribute, where there is one
    uint64_t numbers = 0;
    uint64_t sum = 0; // of the numbers, for vcount
};
bool readDocumentArrays(const std::string& path, std::vector<DocumentArray>& arrays);

// The sizes of the one mesh of an archive, read back with the library's own
// reading API; false when the archive does not hold one polygon mesh with
// two samples and indexed UVs.
struct ArchiveSizes
{
    uint64_t positions = 0;
    uint64_t indices = 0;
    uint64_t counts = 0;
    uint64_t uvValues = 0;
    uint64_t uvIndices = 0;
};
bool readArchiveSizes(const std::string& path, ArchiveSizes& sizes);
