#include "collada.h"
#include "exportparts/exportparts.h"
#include "platform/platform.h"
#include "vyx/vyx.h"

#include <algorithm>
#include <memory>

namespace
{
struct MeshEntry
{
    std::string name; // the entry up to its first "_TXTR"
    std::string entry;
    bool textured;
};

// Closes the document on every path out of the export.
struct FileCloser
{
    void operator()(FILE* file) const { fclose(file); }
};

// Closes the document; true when all of it reached the disk.
bool finish(std::unique_ptr<FILE, FileCloser>& file, const ColladaStream& out)
{
    bool written = !out.failed && fflush(file.get()) == 0 && !ferror(file.get());
    return fclose(file.release()) == 0 && written;
}
}

// The images, materials and effects of the meshes, and the geometries'
// library opened; a library that would be empty is left out.
static void writeLibrariesBeforeGeometries(ColladaStream& out, const std::vector<MeshEntry>& meshes,
                                           const std::string& outputFolder)
{
    if (std::any_of(meshes.begin(), meshes.end(), [](const MeshEntry& mesh) { return mesh.textured; }))
    {
        writeImagesLibrary(out, true);
        for (const MeshEntry& mesh : meshes)
            if (mesh.textured)
                writeImage(out, mesh.name, imageUri(outputFolder + mesh.entry));
        writeImagesLibrary(out, false);
    }
    if (meshes.empty())
        return;
    writeMaterialsLibrary(out, true);
    for (const MeshEntry& mesh : meshes)
        writeMaterial(out, mesh.name);
    writeMaterialsLibrary(out, false);
    writeEffectsLibrary(out, true);
    for (const MeshEntry& mesh : meshes)
        writeEffect(out, mesh.name, mesh.textured);
    writeEffectsLibrary(out, false);
    writeGeometriesLibrary(out, true);
}

// The geometries' library closed, the visual scene of the meshes' nodes and
// the document's end.
static void writeScene(ColladaStream& out, const std::vector<MeshEntry>& meshes, const std::string& scene)
{
    if (!meshes.empty())
    {
        writeGeometriesLibrary(out, false);
        writeVisualScene(out, scene, true);
        for (const MeshEntry& mesh : meshes)
            writeSceneNode(out, mesh.name);
        writeVisualScene(out, scene, false);
    }
    writeColladaEnd(out);
}

float exportCollada(const char* outputPath, const char* list, int32_t listSize)
{
    if (!outputPath || !list)
        return -1;
    std::vector<std::string> entries = splitMeshList(list, listSize);
    const std::string& vyxFolder = entries[0];
    std::vector<MeshEntry> meshes;
    for (size_t i = 1; i < entries.size(); i++)
    {
        size_t marker = entries[i].find("_TXTR");
        meshes.push_back({entries[i].substr(0, marker), entries[i], marker != std::string::npos});
    }
    std::string outputFolder = FileNameExtract(outputPath, 1);
    std::string scene = FileNameExtract(outputPath, 2);
    if (scene.empty())
        scene = "scene";

    std::unique_ptr<FILE, FileCloser> file(fileServices().openFile(outputPath, FileAccess::Write));
    if (!file)
        return -1;
    ColladaStream out;
    out.file = file.get();

    writeColladaStart(out);
    writeAsset(out);
    writeLibrariesBeforeGeometries(out, meshes, outputFolder);
    for (const MeshEntry& entry : meshes)
    {
        std::string vyxPath = vyxFolder + entry.name + ".Vyx";
        Vyx_Mesh mesh;
        // A mesh whose arrays do not hold what its counts promise is as
        // unreadable as a broken file.
        if (!mesh.readMesh(vyxPath.c_str()) || !prepareVyxMeshForExport(mesh, VyxUseVertexColors))
        {
            put(out, "***Can't read Vyx file!***" + vyxPath + "\n");
            flushStream(out);
            if (!finish(file, out))
                fileServices().removeEntry(outputPath);
            return -2;
        }
        writeGeometry(out, entry.name, &mesh);
    }
    writeScene(out, meshes, scene);
    flushStream(out);
    // A document the disk did not take is a failed export, not a success,
    // and a half-written one is removed.
    if (finish(file, out))
        return 0;
    fileServices().removeEntry(outputPath);
    return -1;
}
