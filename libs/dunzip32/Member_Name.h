// Reading member names of an archive as relative paths below the destination.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dunzip32 {

struct Member_Path
{
    std::vector<std::string> parts; // name components, none empty, "." or ".."
    bool folder = false;            // the name ends with a separator
    std::string Joined() const;     // the components joined with "/"
};

// Splits a member name at "/" and "\" and drops empty and "." components. Returns
// false (unsafe) for a name that is absolute, starts with a drive letter or has a
// ".." component; such a name must never be written.
bool Parse_Member_Name(std::string_view name, Member_Path& path);

} // namespace dunzip32
