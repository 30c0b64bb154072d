#pragma once
// The file path on tarvesk's command line. The whole parameter text is one
// path: it is never split and quotes in it are part of the name.

#include <string>
#include <string_view>
#include <type_traits>

namespace tarvesk {

// The path in a raw Windows command line. The program's name is skipped as a
// Windows program's startup code does it: a name that starts with a double
// quote runs up to and including the closing quote (or to the end), any other
// name up to the first character at or below the blank; then every character
// at or below the blank is skipped. The rest is the path, verbatim.
template <class Char>
std::basic_string<Char> Path_From_Command_Line(std::basic_string_view<Char> line)
{
    const auto is_blank = [](Char c) {
        return static_cast<std::make_unsigned_t<Char>>(c) <= static_cast<unsigned>(' ');
    };
    std::size_t i = 0;
    if (i < line.size() && line[i] == Char('"')) {
        ++i;
        while (i < line.size() && line[i] != Char('"'))
            ++i;
        if (i < line.size())
            ++i;
    } else {
        while (i < line.size() && !is_blank(line[i]))
            ++i;
    }
    while (i < line.size() && is_blank(line[i]))
        ++i;
    return std::basic_string<Char>(line.substr(i));
}

// The path from arguments that the system has already split (Linux): all
// arguments after the program's name joined with single blanks, so that a path
// with blanks works both as one argument and unquoted through a shell.
std::string Path_From_Arguments(int argc, const char* const* argv);

} // namespace tarvesk
