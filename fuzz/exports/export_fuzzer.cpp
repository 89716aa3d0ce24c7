// Each input is a mesh list and a Vyx file: two bytes giving the list's
// length (little-endian), the list's entries after its folder, then the
// bytes of the mesh file M.Vyx. Both exports run over them into a scratch
// folder, as doExportCollada and doAddMeshes do.
#include "alembic/alembic_export.h"
#include "collada/collada.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
// The scratch folder, removed with what the exports left in it when the
// fuzzer ends.
struct Scratch
{
    std::string folder;
    Scratch()
    {
        char name[] = "/tmp/fuzz-exports-XXXXXX";
        if (!mkdtemp(name))
            abort();
        folder = std::string(name) + "/";
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Scratch scratch;
    const std::string& folder = scratch.folder;
    if (size < 2)
        return 0;
    size_t listBytes = std::min<size_t>(size - 2, size_t(data[0] | data[1] << 8));
    // The folder is the scratch one and a name holds no separator, so that
    // every mesh read is one of the scratch folder's.
    std::string list = folder + '\0' + std::string(reinterpret_cast<const char*>(data) + 2, listBytes);
    std::replace(list.begin() + folder.size(), list.end(), '/', '_');
    std::replace(list.begin() + folder.size(), list.end(), '\\', '_');

    FILE* mesh = fopen((folder + "M.Vyx").c_str(), "wb");
    if (!mesh)
        return 0;
    fwrite(data + 2 + listBytes, 1, size - 2 - listBytes, mesh);
    fclose(mesh);
    exportCollada((folder + "out.dae").c_str(), list.data(), int32_t(list.size()));
    addMeshes((folder + "out.abc").c_str(), list.data(), int32_t(list.size()));
    return 0;
}
