// DOS wildcard matching of member names against the file spec of an extraction.
#pragma once

#include <string_view>

namespace dunzip32 {

// True when the member name (a whole path inside the archive, "/" as separator)
// matches the DOS wildcard spec, without regard to case. An empty spec matches every
// name. The rules are those listed in dunzip32.h.
bool Matches_File_Spec(std::string_view spec, std::string_view name);

} // namespace dunzip32
