#pragma once
// Reading a placeable Windows metafile and the metafile picture that tarvesk
// puts on the clipboard for it. Plain C++ only: this builds for Linux and,
// with mingw-w64, for Windows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarvesk {

constexpr std::uint32_t Placeable_Key = 0x9AC6CDD7;
constexpr std::size_t Placeable_Header_Size = 22;
// The header and the first two bytes of the metafile, read in one piece.
constexpr std::size_t Header_Read_Size = 24;
constexpr std::size_t Metaheader_Size = 18;
constexpr std::int32_t Mapping_Mode_Anisotropic = 8;
// The single-precision number nearest to 0.0001, used in double precision.
constexpr double Extent_Factor = 9.99999974737875163555145263671875e-5;

// Process exit codes: 0 after success and when the metafile data is rejected.
constexpr int Exit_Success = 0;
constexpr int Exit_Failure = -1;

struct Bounding_Box
{
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t right = 0;
    std::int16_t bottom = 0;
};

// The suggested picture size of a metafile picture (METAFILEPICT without the handle).
struct Picture_Extents
{
    std::int32_t mapping_mode = Mapping_Mode_Anisotropic;
    std::int32_t x_ext = 0;
    std::int32_t y_ext = 0;
};

struct Placeable_File
{
    std::array<std::uint8_t, Header_Read_Size> header{};
    Bounding_Box box;
    // The n bytes from offset 22 to the end of the file, handed on unchanged.
    std::vector<std::uint8_t> metafile;

    // The file as read: the 22-byte placeable header followed by the metafile.
    std::vector<std::uint8_t> Whole_File() const;
};

// The file as the loader sees it; one implementation per operating system.
class File_Reader
{
public:
    virtual ~File_Reader() = default;
    // Reads up to count bytes at the current position; returns how many were read.
    virtual std::size_t Read(std::uint8_t* into, std::size_t count) = 0;
    // The file's length in bytes, or -1 when it cannot be told.
    virtual std::int64_t Length() = 0;
    virtual bool Seek(std::int64_t offset) = 0;
};

enum class Load_Result
{
    Loaded,
    Wrong_Key,
    Bad_Metafile
};

// Reads the header (24 bytes in one piece), checks the key and reads the
// metafile part of length - 22 bytes, which must be a sound Windows metafile.
Load_Result Read_Placeable(File_Reader& file, Placeable_File& out);

// True when data starts with a METAHEADER of a memory or disk metafile whose
// header size and version are right and whose size fits into the n bytes.
bool Is_Windows_Metafile(const std::uint8_t* data, std::size_t n);

// The suggested size from the bounding box: 10000 units on the longer side.
// A box whose larger side is 0 has no size to suggest: both extents are 0.
Picture_Extents Compute_Extents(const Bounding_Box& box);

// The 16-byte clipboard record: mapping mode, x extent, y extent (little-endian
// 32-bit) and a 32-bit zero where Windows keeps the metafile handle.
std::array<std::uint8_t, 16> Metafile_Pict_Record(const Picture_Extents& extents);

enum class Place_Result
{
    Placed,
    Data_Rejected,
    Clipboard_Unavailable
};

// The system clipboard; one implementation per operating system.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual Place_Result Place(const Placeable_File& file, const Picture_Extents& extents) = 0;
};

// One run of tarvesk: reads the opened file (null when it could not be opened),
// closes it, places it on the clipboard and returns the exit code.
int Copy_To_Clipboard(std::unique_ptr<File_Reader> file, Clipboard& clipboard);

} // namespace tarvesk
