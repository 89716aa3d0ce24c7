// Collada 1.4.1 export: the document's stream, its writers and the export
// command's procedure.
#pragma once

#include "common/host_path.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

class Vyx_Mesh;

// The document being written: text gathers in a block of memory and goes to
// the file a block at a time. A failed write is remembered, and nothing more
// is written.
constexpr size_t kBlockBytes = size_t(1) << 20;
// Room past the block for one formatted line, however long, with the few
// bytes a formatter may write beyond the end it answers.
constexpr size_t kLineRoom = 256;

struct ColladaStream
{
    FILE* file = nullptr;
    std::unique_ptr<char[]> block{new char[kBlockBytes + kLineRoom]};
    size_t used = 0;
    bool failed = false;
};

void put(ColladaStream& out, std::string_view text);
// A line of numbers is formatted in place: at lineStart, in at most kLineRoom
// bytes, then given its end.
inline char* lineStart(ColladaStream& out)
{
    return out.block.get() + out.used;
}
void lineEnd(ColladaStream& out, char* end);
void flushStream(ColladaStream& out);

// A text as the document's character data: "&", "<", ">", '"' and "'" as
// their entities, every other byte as it is.
std::string xmlText(std::string_view text);
// Whether a character may stand in an XML name without a colon, at its start
// or after it.
bool isXmlNameCharacter(char32_t code, bool first);
// A mesh's or the scene's name as the document's identifiers and names hold
// it: the schema takes only XML names without a colon there, so each
// character that cannot stand where it is (a blank, "&", a control
// character, a byte of no UTF-8 character) becomes "_", and a name that
// cannot begin as it does ("1st", "-x") starts with one more "_". A name that
// is one already (letters beyond ASCII too) is kept as it is; "" becomes "_".
std::string colladaName(std::string_view text);
// The file URI of an absolute path: "file://", then the path with every byte
// but the letters, digits, "-", ".", "_", "~" and "/" written as "%XX". A
// Windows path has "/" for its separators and keeps its drive's colon
// (file:///C:/dir/x.png); a share's server is the URI's host.
std::string fileUri(const std::string& path, PathStyle style);
// The address of a texture image: its path, made absolute against the
// current folder when it is relative, as a file URI.
std::string imageUri(const std::string& path);

// The document writers, called in document order. Names are written as
// colladaName gives them, the image's address as xmlText gives it. A
// library is written only when it holds an element, and the visual scene
// only when it holds a node: the schema refuses empty ones.
void writeColladaStart(ColladaStream& out);
void writeAsset(ColladaStream& out);
void writeImagesLibrary(ColladaStream& out, bool open);
void writeImage(ColladaStream& out, const std::string& name, const std::string& uri);
void writeMaterialsLibrary(ColladaStream& out, bool open);
void writeMaterial(ColladaStream& out, const std::string& name);
void writeEffectsLibrary(ColladaStream& out, bool open);
void writeEffect(ColladaStream& out, const std::string& name, bool textured);
void writeGeometriesLibrary(ColladaStream& out, bool open);
// Consumes the mesh: each array is released once written, and the UVs are
// pooled in place.
void writeGeometry(ColladaStream& out, const std::string& name, Vyx_Mesh* mesh);
void writeSceneNode(ColladaStream& out, const std::string& name);
void writeVisualScene(ColladaStream& out, const std::string& scene, bool open);
void writeColladaEnd(ColladaStream& out);

// Writes the Collada document of the meshes listed (entry 0 the folder of
// their Vyx files) to outputPath: 0, -1 when the document cannot be written,
// -2 when a mesh cannot be read.
float exportCollada(const char* outputPath, const char* list, int32_t listSize);
