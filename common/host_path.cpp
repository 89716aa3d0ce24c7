#include "host_path.h"

std::string MakeMacPath(const std::string& hostPath)
{
    size_t colon = hostPath.find(':');
    return colon == std::string::npos ? hostPath : hostPath.substr(colon + 1);
}
