// The sections of the document, each written exactly as Collada readers of
// the host's exports expect them, byte for byte.
#include "collada.h"

#include <ctime>

static void putTime(ColladaStream& out)
{
    time_t now = time(nullptr);
    tm utc{};
    char text[32];
    size_t length = gmtime_r(&now, &utc) ? strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &utc) : 0;
    put(out, std::string_view(text, length));
}

void writeColladaStart(ColladaStream& out)
{
    put(out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
             "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n");
}

void writeAsset(ColladaStream& out)
{
    put(out, "  <asset>\n"
             "    <contributor>\n"
             "      <author/>\n"
             "      <authoring_tool>KLAYRA COLLADA exporter</authoring_tool>\n"
             "      <comments/>\n"
             "    </contributor>\n"
             "    <created>");
    putTime(out);
    put(out, "</created>\n"
             "    <keywords/>\n"
             "    <modified>");
    putTime(out);
    put(out, "</modified>\n"
             "    <revision/>\n"
             "    <subject/>\n"
             "    <title/>\n"
             "    <unit meter=\"0.010000\" name=\"centimeter\"/>\n"
             "    <up_axis>Y_UP</up_axis>\n"
             "  </asset>\n");
}

static void writeLibrary(ColladaStream& out, const char* element, bool open)
{
    put(out, open ? "  <" : "  </");
    put(out, element);
    put(out, ">\n");
}

void writeImagesLibrary(ColladaStream& out, bool open)
{
    writeLibrary(out, "library_images", open);
}

void writeMaterialsLibrary(ColladaStream& out, bool open)
{
    writeLibrary(out, "library_materials", open);
}

void writeEffectsLibrary(ColladaStream& out, bool open)
{
    writeLibrary(out, "library_effects", open);
}

void writeGeometriesLibrary(ColladaStream& out, bool open)
{
    writeLibrary(out, "library_geometries", open);
}

void writeImage(ColladaStream& out, const std::string& rawName, const std::string& uri)
{
    std::string name = colladaName(rawName);
    put(out, "    <image id = \"" + name + "_fileDiffuse-image\" name = \"" + name + "_fileDiffuse\">\n" +
                 "      <init_from>" + xmlText(uri) + "</init_from>\n" + "    </image>\n");
}

void writeMaterial(ColladaStream& out, const std::string& rawName)
{
    std::string name = colladaName(rawName);
    put(out, "    <material id = \"" + name + "_lambert\" name = \"" + name + "_lambert\">\n" +
                 "      <instance_effect url = \"#" + name + "_lambert-fx\"/>\n" + "    </material>\n");
}

void writeEffect(ColladaStream& out, const std::string& rawName, bool textured)
{
    std::string name = colladaName(rawName);
    // The lines that open the colour elements start with a tab and ten blanks.
    put(out, "    <effect id=\"" + name + "_lambert-fx\" name=\"" + name + "_lambert\">\n");
    put(out, "      <profile_COMMON>\n");
    // A texture names a sampler, which names a surface made from the image:
    // readers of the format look the texture up that way.
    if (textured)
        put(out, "        <newparam sid=\"" + name + "_fileDiffuse-surface\">\n"
                 "          <surface type=\"2D\">\n"
                 "            <init_from>" + name + "_fileDiffuse-image</init_from>\n"
                 "          </surface>\n"
                 "        </newparam>\n"
                 "        <newparam sid=\"" + name + "_fileDiffuse-sampler\">\n"
                 "          <sampler2D>\n"
                 "            <source>" + name + "_fileDiffuse-surface</source>\n"
                 "          </sampler2D>\n"
                 "        </newparam>\n");
    put(out, "        <technique sid=\"standard\">\n"
             "          <lambert>\n"
             "\t          <emission>\n"
             "              <color sid=\"emission\">0.000000  0.000000 0.000000 1.000000</color>\n"
             "            </emission>\n"
             "\t          <ambient>\n"
             "              <color sid=\"ambient\">0.000000  0.000000 0.000000 1.000000</color>\n"
             "            </ambient>\n"
             "\t          <diffuse>\n");
    if (textured)
        put(out, "              <texture texture=\"" + name + "_fileDiffuse-sampler\" texcoord=\"CHANNEL0\">\n" +
                     "              </texture>\n");
    else
        put(out, "              <color sid=\"diffuse\">0.500000  0.500000 0.500000 1.000000</color>\n");
    put(out, "            </diffuse>\n"
             "\t          <transparent opaque=\"A_ONE\">\n"
             "              <color sid=\"transparent\">0.000000  0.000000 0.000000 1.000000</color>\n"
             "            </transparent>\n"
             "\t          <transparency>\n"
             "              <float sid=\"transparency\">1.000000</float>\n"
             "            </transparency>\n"
             "          </lambert>\n"
             "        </technique>\n"
             "      </profile_COMMON>\n"
             "    </effect>\n");
}

void writeSceneNode(ColladaStream& out, const std::string& rawName)
{
    std::string name = colladaName(rawName);
    put(out, "      <node name=\"" + name + "\" id=\"" + name + "\" sid=\"" + name + "\">\n" +
                 "        <matrix sid=\"matrix\">1.000000 0.000000 0.000000 0.000000 0.000000 1.000000 0.000000 "
                 "0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000 1.000000</matrix>\n" +
                 "        <instance_geometry url=\"#" + name + "-lib\">\n" + "          <bind_material>\n" +
                 "            <technique_common>\n" + "              <instance_material symbol=\"" + name +
                 "_lambert\" target=\"#" + name + "_lambert\"/>\n" + "            </technique_common>\n" +
                 "          </bind_material>\n" + "        </instance_geometry>\n" + "      </node>\n");
}

void writeVisualScene(ColladaStream& out, const std::string& rawScene, bool open)
{
    std::string scene = colladaName(rawScene);
    if (open)
        put(out, "  <library_visual_scenes>\n    <visual_scene id=\"" + scene + "_scene\" name=\"" + scene +
                     "_scene\">\n");
    else
        put(out, "    </visual_scene>\n  </library_visual_scenes>\n  <scene>\n    <instance_visual_scene url=\"#" +
                     scene + "_scene\"/>\n  </scene>\n");
}

void writeColladaEnd(ColladaStream& out)
{
    put(out, "</COLLADA>\n");
}
