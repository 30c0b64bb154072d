#include "Member_Name.h"

namespace dunzip32 {

std::string Member_Path::Joined() const
{
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += '/';
        joined += part;
    }
    return joined;
}

bool Parse_Member_Name(std::string_view name, Member_Path& path)
{
    path = Member_Path{};
    if (name.empty())
        return true;
    if (name.front() == '/' || name.front() == '\\')
        return false;
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (name.size() >= 2 && letter(name[0]) && name[1] == ':')
        return false;

    size_t start = 0;
    while (start <= name.size()) {
        size_t stop = name.find_first_of("/\\", start);
        if (stop == std::string_view::npos)
            stop = name.size();
        const std::string_view part = name.substr(start, stop - start);
        if (part == "..")
            return false;
        if (!part.empty() && part != ".")
            path.parts.emplace_back(part);
        start = stop + 1;
    }
    path.folder = name.back() == '/' || name.back() == '\\';
    return true;
}

} // namespace dunzip32
