#include "Command_Line.h"

namespace tarvesk {

std::string Path_From_Arguments(int argc, const char* const* argv)
{
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            path += ' ';
        path += argv[i];
    }
    return path;
}

} // namespace tarvesk
