#include "scale_checks.h"

#include <Alembic/AbcCoreFactory/All.h>
#include <Alembic/AbcGeom/All.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
// The value of attribute name="..." within a tag's text, 0 when absent.
uint64_t attribute(const std::string& tag, const char* name)
{
    size_t at = tag.find(std::string(name) + "=\"");
    return at == std::string::npos ? 0 : strtoull(tag.c_str() + at + strlen(name) + 2, nullptr, 10);
}

// Counts the numbers between the opening and closing tags of the counted
// elements, one character at a time.
struct Scanner
{
    explicit Scanner(std::vector<DocumentArray>& arrays) : arrays(arrays) {}

    std::vector<DocumentArray>& arrays;
    bool inTag = false;
    std::string tag;
    bool counting = false;
    bool inNumber = false;
    uint64_t number = 0;

    void endNumber()
    {
        if (inNumber)
        {
            arrays.back().numbers++;
            arrays.back().sum += number;
        }
        inNumber = false;
        number = 0;
    }

    void closeTag()
    {
        std::string name = tag.substr(0, tag.find_first_of(" />", 1));
        if (name == "float_array" || name == "polylist" || name == "vcount" || name == "p")
        {
            arrays.push_back({name, attribute(tag, "count"), 0, 0});
            counting = name != "polylist";
        }
        else if (name == "/float_array" || name == "/vcount" || name == "/p")
            counting = false;
    }

    void feed(const char* text, size_t length)
    {
        for (size_t i = 0; i < length; i++)
        {
            char c = text[i];
            if (inTag)
            {
                if (c == '>')
                {
                    inTag = false;
                    closeTag();
                }
                else
                    tag += c;
            }
            else if (c == '<')
            {
                if (counting)
                    endNumber();
                inTag = true;
                tag.clear();
            }
            else if (counting && c != ' ' && c != '\n')
            {
                inNumber = true;
                if (c >= '0' && c <= '9')
                    number = number * 10 + uint64_t(c - '0');
            }
            else if (counting)
                endNumber();
        }
    }
};
}

bool readDocumentArrays(const std::string& path, std::vector<DocumentArray>& arrays)
{
    arrays.clear();
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "rb"), fclose);
    if (!file)
        return false;
    Scanner scanner(arrays);
    std::vector<char> block(size_t(1) << 20);
    size_t got = 0;
    while ((got = fread(block.data(), 1, block.size(), file.get())) > 0)
        scanner.feed(block.data(), got);
    return !ferror(file.get());
}

bool readArchiveSizes(const std::string& path, ArchiveSizes& sizes)
{
    namespace AbcGeom = Alembic::AbcGeom;
    try
    {
        Alembic::AbcCoreFactory::IFactory factory;
        Alembic::Abc::IArchive archive = factory.getArchive(path);
        Alembic::Abc::IObject top = archive.getTop();
        if (top.getNumChildren() != 1 || top.getChild(0).getNumChildren() != 1)
            return false;
        Alembic::Abc::IObject xform = top.getChild(0);
        AbcGeom::IPolyMesh mesh(xform, xform.getChildHeader(0).getName());
        AbcGeom::IPolyMeshSchema& schema = mesh.getSchema();
        AbcGeom::IV2fGeomParam uvs = schema.getUVsParam();
        if (schema.getNumSamples() != 2 || !uvs.valid() || !uvs.isIndexed())
            return false;
        AbcGeom::IPolyMeshSchema::Sample sample = schema.getValue();
        sizes.positions = sample.getPositions()->size();
        sizes.indices = sample.getFaceIndices()->size();
        sizes.counts = sample.getFaceCounts()->size();
        AbcGeom::IV2fGeomParam::Sample uvSample = uvs.getIndexedValue();
        sizes.uvValues = uvSample.getVals()->size();
        sizes.uvIndices = uvSample.getIndices()->size();
        return true;
    }
    catch (...)
    {
        return false;
    }
}
