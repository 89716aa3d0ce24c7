// The geometry element of one mesh: positions, pooled texture coordinates,
// vertex colours and the polygon list.
#include "collada.h"
#include "vyx.h"

static void putSource(ColladaStream& out, const std::string& id, size_t floats, size_t count, size_t stride,
                      const char* params, const char* type, const std::string& data)
{
    std::string text = "        <source id=\"" + id + "\">\n          <float_array id=\"" + id + "-array\" count=\"";
    appendInteger(text, int64_t(floats));
    text += "\">\n";
    put(out, text);
    put(out, data);
    text = "</float_array>\n          <technique_common>\n            <accessor source=\"#" + id + "-array\" count=\"";
    appendInteger(text, int64_t(count));
    text += "\" stride=\"";
    appendInteger(text, int64_t(stride));
    text += "\">\n";
    for (const char* p = params; *p; p++)
        text += std::string("              <param name=\"") + *p + "\" type=\"" + type + "\"/>\n";
    text += "            </accessor>\n          </technique_common>\n        </source>\n";
    put(out, text);
}

void writeGeometry(ColladaStream& out, const std::string& name, const Vyx_Mesh* mesh)
{
    size_t vertexCount = size_t(std::max(mesh->vertexCount, 0));
    size_t faceCount = size_t(std::max(mesh->faceCount, 0));
    put(out, "    <geometry id=\"" + name + "-lib\" name=\"" + name + "Mesh\">\n      <mesh>\n");

    std::string data;
    data.reserve(vertexCount * 3 * 12);
    for (size_t i = 0; i < vertexCount * 3; i++)
    {
        appendGeneral(data, mesh->vertices[i]);
        data += (i % 3 == 2) ? " \n" : " ";
    }
    putSource(out, name + "-POSITION", vertexCount * 3, vertexCount, 3, "XYZ", "float", data);

    UVPool pool;
    bool uvs = mesh->faceUVs != nullptr;
    if (uvs)
    {
        poolUVPairs(mesh->faceUVs.get(), faceCount * 4, pool);
        size_t count = pool.values.size() / 2;
        data.clear();
        data.reserve(count * 20);
        for (size_t i = 0; i < count; i++)
        {
            appendFixed(data, pool.values[2 * i]);
            data += ' ';
            appendFixed(data, pool.values[2 * i + 1]);
            data += '\n';
        }
        putSource(out, name + "-UV0", count * 2, count, 2, "ST", "float", data);
    }

    bool colors = mesh->vertexColors != nullptr;
    if (colors)
    {
        data.clear();
        data.reserve(vertexCount * 40);
        for (size_t i = 0; i < vertexCount; i++)
        {
            uint32_t color = mesh->vertexColors[i];
            appendGeneral(data, double((color >> 16) & 0xFF) / 255.0);
            data += ' ';
            appendGeneral(data, double((color >> 8) & 0xFF) / 255.0);
            data += ' ';
            appendGeneral(data, double(color & 0xFF) / 255.0);
            data += " 1.000000\n";
        }
        putSource(out, name + "-VERTEX_COLOR0", vertexCount * 4, vertexCount, 4, "RGBA", "double", data);
    }

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
    put(out, text);

    std::string counts;
    counts.reserve(faceCount * 2);
    data.clear();
    data.reserve(faceCount * 4 * (uvs + colors + 1) * 8);
    for (size_t f = 0; f < faceCount; f++)
    {
        const int32_t* corners = &mesh->faces[4 * f];
        size_t n = corners[3] < 0 ? 3 : 4;
        counts += n == 3 ? "3 " : "4 ";
        for (size_t c = 0; c < n; c++)
        {
            appendInteger(data, corners[c]);
            data += ' ';
            if (uvs)
            {
                appendInteger(data, pool.indices[4 * f + c]);
                data += ' ';
            }
            if (colors)
            {
                appendInteger(data, corners[c]);
                data += ' ';
            }
        }
    }
    put(out, "          <vcount>");
    put(out, counts);
    put(out, "</vcount>\n          <p>");
    put(out, data);
    put(out, "</p>\n        </polylist>\n      </mesh>\n    </geometry>\n");
}
