// Host paths: the host writes paths as VOLUME:NATIVE; the native part is the
// text after the first ":", or all of the text when it holds none.
#pragma once

#include <string>

std::string MakeMacPath(const std::string& hostPath);
