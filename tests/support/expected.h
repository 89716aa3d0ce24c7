// Helpers of the Collada tests, and the document's fixed texts as Collada
// readers of the host's exports expect them, written out literally; NAME
// stands for a mesh's name.
#pragma once

#include "text_files.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A mesh list: the entries packed one after another, each with its NUL.
inline std::string packList(const std::vector<std::string>& entries)
{
    std::string list;
    for (const std::string& entry : entries)
        list += entry + '\0';
    return list;
}

inline std::string named(std::string text, const std::string& name)
{
    for (size_t at = text.find("NAME"); at != std::string::npos; at = text.find("NAME", at + name.size()))
        text.replace(at, 4, name);
    return text;
}

// The two times of the asset, which differ from run to run, become TIME
// (each is 20 characters: 2024-06-22T09:05:00Z).
inline std::string maskTimes(std::string document)
{
    for (const char* tag : {"<created>", "<modified>"})
    {
        size_t at = document.find(tag);
        if (at != std::string::npos && at + strlen(tag) + 20 <= document.size() &&
            document[at + strlen(tag) + 19] == 'Z')
            document.replace(at + strlen(tag), 20, "TIME");
    }
    return document;
}

const std::string kStart =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
    "  <asset>\n"
    "    <contributor>\n"
    "      <author/>\n"
    "      <authoring_tool>KLAYRA COLLADA exporter</authoring_tool>\n"
    "      <comments/>\n"
    "    </contributor>\n"
    "    <created>TIME</created>\n"
    "    <keywords/>\n"
    "    <modified>TIME</modified>\n"
    "    <revision/>\n"
    "    <subject/>\n"
    "    <title/>\n"
    "    <unit meter=\"0.010000\" name=\"centimeter\"/>\n"
    "    <up_axis>Y_UP</up_axis>\n"
    "  </asset>\n";

const std::string kImage = "    <image id = \"NAME_fileDiffuse-image\" name = \"NAME_fileDiffuse\">\n"
                           "      <init_from>URI</init_from>\n"
                           "    </image>\n";

const std::string kMaterial = "    <material id = \"NAME_lambert\" name = \"NAME_lambert\">\n"
                              "      <instance_effect url = \"#NAME_lambert-fx\"/>\n"
                              "    </material>\n";

inline std::string effect(const std::string& name, bool textured)
{
    std::string samplers = textured ? "        <newparam sid=\"NAME_fileDiffuse-surface\">\n"
                                      "          <surface type=\"2D\">\n"
                                      "            <init_from>NAME_fileDiffuse-image</init_from>\n"
                                      "          </surface>\n"
                                      "        </newparam>\n"
                                      "        <newparam sid=\"NAME_fileDiffuse-sampler\">\n"
                                      "          <sampler2D>\n"
                                      "            <source>NAME_fileDiffuse-surface</source>\n"
                                      "          </sampler2D>\n"
                                      "        </newparam>\n"
                                    : "";
    std::string diffuse = textured ? "              <texture texture=\"NAME_fileDiffuse-sampler\" texcoord=\"CHANNEL0\">\n"
                                     "              </texture>\n"
                                   : "              <color sid=\"diffuse\">0.500000  0.500000 0.500000 1.000000</color>\n";
    return named("    <effect id=\"NAME_lambert-fx\" name=\"NAME_lambert\">\n"
                 "      <profile_COMMON>\n" +
                     samplers +
                 "        <technique sid=\"standard\">\n"
                 "          <lambert>\n"
                 "\t          <emission>\n"
                 "              <color sid=\"emission\">0.000000  0.000000 0.000000 1.000000</color>\n"
                 "            </emission>\n"
                 "\t          <ambient>\n"
                 "              <color sid=\"ambient\">0.000000  0.000000 0.000000 1.000000</color>\n"
                 "            </ambient>\n"
                 "\t          <diffuse>\n" +
                     diffuse +
                     "            </diffuse>\n"
                     "\t          <transparent opaque=\"A_ONE\">\n"
                     "              <color sid=\"transparent\">0.000000  0.000000 0.000000 1.000000</color>\n"
                     "            </transparent>\n"
                     "\t          <transparency>\n"
                     "              <float sid=\"transparency\">1.000000</float>\n"
                     "            </transparency>\n"
                     "          </lambert>\n"
                     "        </technique>\n"
                     "      </profile_COMMON>\n"
                     "    </effect>\n",
                 name);
}

const std::string kNode =
    "      <node name=\"NAME\" id=\"NAME\" sid=\"NAME\">\n"
    "        <matrix sid=\"matrix\">1.000000 0.000000 0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 "
    "0.000000 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000 1.000000</matrix>\n"
    "        <instance_geometry url=\"#NAME-lib\">\n"
    "          <bind_material>\n"
    "            <technique_common>\n"
    "              <instance_material symbol=\"NAME_lambert\" target=\"#NAME_lambert\"/>\n"
    "            </technique_common>\n"
    "          </bind_material>\n"
    "        </instance_geometry>\n"
    "      </node>\n";

inline std::string sceneOpen(const std::string& scene)
{
    return "  <library_visual_scenes>\n    <visual_scene id=\"" + scene + "_scene\" name=\"" + scene + "_scene\">\n";
}

inline std::string sceneClose(const std::string& scene)
{
    return "    </visual_scene>\n  </library_visual_scenes>\n  <scene>\n    <instance_visual_scene url=\"#" + scene +
           "_scene\"/>\n  </scene>\n</COLLADA>\n";
}
