#include "collada.h"
#include "exportparts/export_file.h"
#include "exportparts/file_names.h"
#include "vyx/vyx.h"

#include <algorithm>

namespace
{
struct MeshEntry
{
    std::string name; // the entry up to its first "_TXTR"
    std::string entry;
    bool textured;
    std::string vyxPath;
};
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

// The meshes of a list whose first entry is the folder of their Vyx files.
static std::vector<MeshEntry> meshEntries(const char* list, int32_t listSize)
{
    std::vector<std::string> entries = splitMeshList(list, listSize);
    const std::string& vyxFolder = entries[0];
    std::vector<MeshEntry> meshes;
    for (size_t i = 1; i < entries.size(); i++)
    {
        size_t marker = entries[i].find("_TXTR");
        std::string name = entries[i].substr(0, marker);
        meshes.push_back({name, entries[i], marker != std::string::npos, vyxFolder + name + ".Vyx"});
    }
    return meshes;
}

float exportCollada(const char* outputPath, const char* list, int32_t listSize)
{
    if (!outputPath || !list)
        return -1;
    std::vector<MeshEntry> meshes = meshEntries(list, listSize);
    std::vector<std::string> inputs;
    for (const MeshEntry& mesh : meshes)
        inputs.push_back(mesh.vyxPath);
    std::string outputFolder = FileNameExtract(outputPath, PathPart::Folder);
    std::string scene = FileNameExtract(outputPath, PathPart::Stem);
    if (scene.empty())
        scene = "scene";

    ExportFile file;
    if (!file.open(outputPath, inputs))
        return -1;
    ColladaStream out;
    out.file = &file;

    writeColladaStart(out);
    writeAsset(out);
    writeLibrariesBeforeGeometries(out, meshes, outputFolder);
    for (const MeshEntry& entry : meshes)
    {
        Vyx_Mesh mesh;
        // A mesh whose arrays do not hold what its counts promise is as
        // unreadable as a broken file.
        if (!mesh.readMesh(entry.vyxPath.c_str()) || !prepareVyxMeshForExport(mesh, VyxUseVertexColors))
        {
            // The document so far, and the line that says which mesh ended
            // it, take the name only where no file had it: never over one.
            put(out, "***Can't read Vyx file!***" + entry.vyxPath + "\n");
            flushStream(out);
            if (!out.failed)
                file.placeIfFree();
            return -2;
        }
        writeGeometry(out, entry.name, &mesh);
    }
    writeScene(out, meshes, scene);
    flushStream(out);
    // A document the disk did not take is a failed export, not a success,
    // and never takes the place of what was there.
    return !out.failed && file.replace() ? 0 : -1;
}
