#include "export_file.h"
#include "platform/platform.h"

bool ExportFile::open(const char* path, const std::vector<std::string>& inputs)
{
    PathKind kind = fileServices().pathKind(path);
    if (kind == PathKind::Folder || kind == PathKind::Other)
        return false;
    // An output that is one of the meshes would be overwritten before it is
    // read, or would end as something else: ./Cube.Vyx, a link or a second
    // name of the file are the same file.
    if (kind == PathKind::Regular)
        for (const std::string& input : inputs)
            if (sameRegularFile(input.c_str(), path))
                return false;
    output = path;
    return file.create(output, ".export-");
}
