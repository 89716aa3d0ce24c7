// Feeds each input to readMesh as a file held in memory, then prepares the
// mesh for export and reads it the way the exporters do: a mesh prepared
// for reads out of bounds ends the run.
#include "tests/support/exporter_reads.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("fuzz-vyx", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        return 0;
    Vyx_Mesh mesh;
    if (readAndExport(mesh, path.c_str()) == ExportRead::OutsideAnArray)
        abort();
    return 0;
}
