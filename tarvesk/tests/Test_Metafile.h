#pragma once
// A small placeable metafile writer for the tests: the placeable header with a
// given bounding box, a METAHEADER, a few drawing records and the end record.
// Plain C++ so that the Windows checks build it with mingw-w64 too.

#include <cstdint>
#include <vector>

namespace tarvesk::test {

inline void Put_Word(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void Put_Dword(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put_Word(out, value & 0xFFFF);
    Put_Word(out, value >> 16);
}

// A record: size in words (including the 6-byte record header), function, parameters.
inline void Put_Record(std::vector<std::uint8_t>& out, unsigned function,
                       std::vector<std::int16_t> params)
{
    Put_Dword(out, static_cast<std::uint32_t>(3 + params.size()));
    Put_Word(out, function);
    for (std::int16_t p : params)
        Put_Word(out, static_cast<std::uint16_t>(p));
}

// The Windows metafile part: a window set to the box and rectangles (one, or
// more to make a large file).
inline std::vector<std::uint8_t> Windows_Metafile(std::int16_t width, std::int16_t height,
                                                  std::size_t rectangles = 1)
{
    std::vector<std::uint8_t> records;
    Put_Record(records, 0x020B, {0, 0});          // SetWindowOrg
    Put_Record(records, 0x020C, {height, width}); // SetWindowExt
    for (std::size_t i = 0; i < rectangles; ++i)
        Put_Record(
            records, 0x041B, // Rectangle
            {static_cast<std::int16_t>(height / 2), static_cast<std::int16_t>(width / 2), 0, 0});
    Put_Record(records, 0x0000, {}); // end of the metafile

    std::vector<std::uint8_t> out;
    Put_Word(out, 1);      // memory metafile
    Put_Word(out, 9);      // header size in words
    Put_Word(out, 0x0300); // version
    Put_Dword(out, static_cast<std::uint32_t>(9 + records.size() / 2));
    Put_Word(out, 0);  // objects
    Put_Dword(out, 7); // largest record, in words
    Put_Word(out, 0);  // parameters
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

// A whole placeable metafile with the bounding box left, top, right, bottom.
inline std::vector<std::uint8_t> Placeable_Metafile(std::int16_t left, std::int16_t top,
                                                    std::int16_t right, std::int16_t bottom,
                                                    std::size_t rectangles = 1)
{
    std::vector<std::uint8_t> out;
    Put_Dword(out, 0x9AC6CDD7);
    Put_Word(out, 0);
    Put_Word(out, static_cast<std::uint16_t>(left));
    Put_Word(out, static_cast<std::uint16_t>(top));
    Put_Word(out, static_cast<std::uint16_t>(right));
    Put_Word(out, static_cast<std::uint16_t>(bottom));
    Put_Word(out, 1440); // units per inch
    Put_Dword(out, 0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i < out.size(); i += 2)
        checksum ^= out[i] | (out[i + 1] << 8);
    Put_Word(out, checksum);
    const auto metafile = Windows_Metafile(static_cast<std::int16_t>(right - left),
                                           static_cast<std::int16_t>(bottom - top), rectangles);
    out.insert(out.end(), metafile.begin(), metafile.end());
    return out;
}

} // namespace tarvesk::test
