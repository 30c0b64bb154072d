#include "File_Spec.h"

#include <vector>

namespace dunzip32 {

namespace {

char Fold(char c)
{
    if (c == '\\')
        return '/';
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c;
}

} // namespace

bool Matches_File_Spec(std::string_view spec, std::string_view name)
{
    if (spec.empty() || spec == "*" || spec == "*.*")
        return true;

    // The last dot of the file name part: a "*" that stands before a "." stops there.
    const size_t slash = name.find_last_of('/');
    const size_t fileStart = slash == std::string_view::npos ? 0 : slash + 1;
    size_t lastDot = name.find_last_of('.');
    if (lastDot == std::string_view::npos || lastDot < fileStart)
        lastDot = std::string_view::npos;

    // at[j] after processing pattern position i: pattern[i..] matches name[j..].
    const size_t p = spec.size();
    const size_t n = name.size();
    std::vector<char> next(n + 1, 0);
    std::vector<char> at(n + 1, 0);
    next[n] = 1; // the empty pattern matches the empty rest of the name

    for (size_t i = p; i-- > 0;) {
        const char pc = spec[i];
        const bool starBeforeDot = pc == '*' && i + 1 < p && spec[i + 1] == '.';
        for (size_t j = n + 1; j-- > 0;) {
            bool ok = false;
            const bool end = j == n;
            switch (pc) {
            case '*':
                ok = next[j] || (!end && !(starBeforeDot && j == lastDot) && at[j + 1]);
                break;
            case '?':
                ok =
                    (!end && name[j] != '.' && next[j + 1]) || ((end || name[j] == '.') && next[j]);
                break;
            case '.':
                ok = (!end && name[j] == '.' && next[j + 1]) || (end && next[j]);
                break;
            default:
                ok = !end && Fold(name[j]) == Fold(pc) && next[j + 1];
                break;
            }
            at[j] = ok;
        }
        std::swap(at, next);
    }
    return next[0] != 0;
}

} // namespace dunzip32
