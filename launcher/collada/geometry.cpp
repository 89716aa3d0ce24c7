// The geometry element of one mesh: positions, pooled texture coordinates,
// vertex colours and the polygon list. Each line of numbers is formatted in
// place in the stream's block, which goes out when full: the text of a large
// mesh is never gathered whole. Each array of the mesh is released as soon as
// it is written, so that a large mesh needs little more memory than its own
// arrays.
#include "collada.h"
#include "exportparts/number_format.h"
#include "exportparts/uv_pool.h"
#include "vyx/vyx.h"

#include <cstring>

static void putSourceStart(ColladaStream& out, const std::string& id, size_t floats)
{
    std::string text = "        <source id=\"" + id + "\">\n          <float_array id=\"" + id + "-array\" count=\"";
    appendInteger(text, int64_t(floats));
    text += "\">\n";
    put(out, text);
}

static void putSourceEnd(ColladaStream& out, const std::string& id, size_t count, size_t stride, const char* params,
                         const char* type)
{
    std::string text = "</float_array>\n          <technique_common>\n            <accessor source=\"#" + id +
                       "-array\" count=\"";
    appendInteger(text, int64_t(count));
    text += "\" stride=\"";
    appendInteger(text, int64_t(stride));
    text += "\">\n";
    for (const char* p = params; *p; p++)
        text += std::string("              <param name=\"") + *p + "\" type=\"" + type + "\"/>\n";
    text += "            </accessor>\n          </technique_common>\n        </source>\n";
    put(out, text);
}

static void putColors(ColladaStream& out, const uint32_t* colors, size_t vertexCount)
{
    // A channel takes one of 256 values, so each text is formatted once, with
    // its blank, into a slot copied whole.
    struct Channel
    {
        char text[kGeneralRoom];
        size_t length;
    };
    Channel channels[256];
    for (int value = 0; value < 256; value++)
    {
        std::string text;
        appendGeneral(text, double(value) / 255.0);
        text += ' ';
        channels[value].length = std::min(text.size(), sizeof(channels[value].text));
        memcpy(channels[value].text, text.data(), channels[value].length);
    }
    for (size_t i = 0; i < vertexCount; i++)
    {
        uint32_t color = colors[i];
        char* end = lineStart(out);
        for (int shift = 16; shift >= 0; shift -= 8)
        {
            const Channel& channel = channels[(color >> shift) & 0xFF];
            memcpy(end, channel.text, sizeof(channel.text));
            end += channel.length;
        }
        memcpy(end, "1.000000\n", 9);
        lineEnd(out, end + 9);
    }
}

// The polygon list's indices: per corner its vertex, its pooled UV when there
// are UVs, and its vertex again for the colour when there are colours.
static void putPolygonIndices(ColladaStream& out, const Vyx_Mesh* mesh, size_t faceCount, const uint32_t* pooled,
                              bool colors)
{
    for (size_t f = 0; f < faceCount; f++)
    {
        const int32_t* corners = &mesh->faces[4 * f];
        size_t n = corners[3] < 0 ? 3 : 4;
        char* end = lineStart(out);
        for (size_t c = 0; c < n; c++)
        {
            // The mesh check keeps every listed vertex within the mesh. Its
            // text is made once for both places.
            IndexText vertex = indexText(uint32_t(corners[c]));
            end = putIndex(end, vertex);
            *end++ = ' ';
            if (pooled)
            {
                end = putIndex(end, indexText(pooled[4 * f + c]));
                *end++ = ' ';
            }
            if (colors)
            {
                end = putIndex(end, vertex);
                *end++ = ' ';
            }
        }
        lineEnd(out, end);
    }
}

// The vertex count of each polygon, a line of them at a time.
static void putPolygonSizes(ColladaStream& out, const Vyx_Mesh* mesh, size_t faceCount)
{
    constexpr size_t kPerLine = 64;
    for (size_t first = 0; first < faceCount; first += kPerLine)
    {
        char* end = lineStart(out);
        for (size_t f = first; f < std::min(faceCount, first + kPerLine); f++)
        {
            *end++ = mesh->faces[4 * f + 3] < 0 ? '3' : '4';
            *end++ = ' ';
        }
        lineEnd(out, end);
    }
}

// The positions' source; the mesh's vertices are released once written.
static void putPositions(ColladaStream& out, const std::string& name, Vyx_Mesh* mesh, size_t vertexCount)
{
    putSourceStart(out, name + "-POSITION", vertexCount * 3);
    for (size_t i = 0; i < vertexCount; i++)
    {
        char* end = lineStart(out);
        for (size_t axis = 0; axis < 3; axis++)
        {
            end = formatGeneral(end, mesh->vertices[3 * i + axis]);
            *end++ = ' ';
        }
        *end++ = '\n';
        lineEnd(out, end);
    }
    mesh->vertices.reset();
    putSourceEnd(out, name + "-POSITION", vertexCount, 3, "XYZ", "float");
}

// The pooled texture coordinates' source; the pool, whose indices the
// polygon list reads, takes the mesh's UV block over.
static PooledUVs putUVs(ColladaStream& out, const std::string& name, Vyx_Mesh* mesh)
{
    PooledUVs pooled = poolCornerUVs(*mesh, CornerOrder::Stored);
    const LargeVector<float>& values = pooled.values;
    size_t count = values.size() / 2;
    putSourceStart(out, name + "-UV0", count * 2);
    for (size_t i = 0; i < count; i++)
    {
        char* end = formatFixed(lineStart(out), values[2 * i]);
        *end++ = ' ';
        end = formatFixed(end, values[2 * i + 1]);
        *end++ = '\n';
        lineEnd(out, end);
    }
    putSourceEnd(out, name + "-UV0", count, 2, "ST", "float");
    return pooled;
}

// The vertices element and the polygon list's opening, up to its vcount.
static void putPolylistStart(ColladaStream& out, const std::string& name, size_t faceCount, bool uvs, bool colors)
{
    std::string text = "        <vertices id=\"" + name + "-VERTEX\">\n          <input semantic=\"POSITION\" source=\"#" +
                       name + "-POSITION\"/>\n        </vertices>\n        <polylist count=\"";
    appendInteger(text, int64_t(faceCount));
    text += "\" material=\"" + name + "_lambert\">\n          <input semantic=\"VERTEX\" offset=\"0\" source=\"#" +
            name + "-VERTEX\"/>\n";
    if (uvs)
        text += "          <input semantic=\"TEXCOORD\" offset=\"1\" set=\"0\" source=\"#" + name + "-UV0\"/>\n";
    if (colors)
        text += std::string("          <input semantic=\"COLOR\" offset=\"") + (uvs ? "2" : "1") +
                "\" set=\"0\" source=\"#" + name + "-VERTEX_COLOR0\"/>\n";
    text += "          <vcount>";
    put(out, text);
}

void writeGeometry(ColladaStream& out, const std::string& rawName, Vyx_Mesh* mesh)
{
    std::string name = colladaName(rawName);
    size_t vertexCount = size_t(std::max(mesh->vertexCount, 0));
    size_t faceCount = size_t(std::max(mesh->faceCount, 0));
    put(out, "    <geometry id=\"" + name + "-lib\" name=\"" + name + "Mesh\">\n      <mesh>\n");
    putPositions(out, name, mesh, vertexCount);
    bool uvs = mesh->faceUVs != nullptr;
    PooledUVs pooled;
    if (uvs)
        pooled = putUVs(out, name, mesh);
    bool colors = mesh->vertexColors != nullptr;
    if (colors)
    {
        putSourceStart(out, name + "-VERTEX_COLOR0", vertexCount * 4);
        putColors(out, mesh->vertexColors.get(), vertexCount);
        mesh->vertexColors.reset();
        putSourceEnd(out, name + "-VERTEX_COLOR0", vertexCount, 4, "RGBA", "double");
    }
    putPolylistStart(out, name, faceCount, uvs, colors);
    putPolygonSizes(out, mesh, faceCount);
    put(out, "</vcount>\n          <p>");
    putPolygonIndices(out, mesh, faceCount, pooled.indices.get(), colors);
    put(out, "</p>\n        </polylist>\n      </mesh>\n    </geometry>\n");
}
