#include "Placeable_Metafile.h"

#include <limits>
#include <new>

namespace tarvesk {
namespace {

std::uint16_t Word_At(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Dword_At(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put_Dword(std::uint8_t* p, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

} // namespace

std::vector<std::uint8_t> Placeable_File::Whole_File() const
{
    std::vector<std::uint8_t> bytes(header.begin(), header.begin() + Placeable_Header_Size);
    bytes.insert(bytes.end(), metafile.begin(), metafile.end());
    return bytes;
}

bool Is_Windows_Metafile(const std::uint8_t* data, std::size_t n)
{
    if (n < Metaheader_Size)
        return false;
    const std::uint16_t type = Word_At(data);
    const std::uint16_t header_words = Word_At(data + 2);
    const std::uint16_t version = Word_At(data + 4);
    const std::uint64_t size_words = Dword_At(data + 6);
    if (type != 1 && type != 2)
        return false; // neither a memory nor a disk metafile
    if (header_words != Metaheader_Size / 2)
        return false;
    if (version != 0x0100 && version != 0x0300)
        return false;
    // The metafile's own size counts its header and must not run past the data.
    return size_words >= Metaheader_Size / 2 && size_words * 2 <= n;
}

Load_Result Read_Placeable(File_Reader& file, Placeable_File& out)
{
    out = Placeable_File{};
    const std::size_t got = file.Read(out.header.data(), Header_Read_Size);
    if (got < 4 || Dword_At(out.header.data()) != Placeable_Key)
        return Load_Result::Wrong_Key;
    out.box.left = static_cast<std::int16_t>(Word_At(out.header.data() + 6));
    out.box.top = static_cast<std::int16_t>(Word_At(out.header.data() + 8));
    out.box.right = static_cast<std::int16_t>(Word_At(out.header.data() + 10));
    out.box.bottom = static_cast<std::int16_t>(Word_At(out.header.data() + 12));

    const std::int64_t length = file.Length();
    const std::int64_t n = length - static_cast<std::int64_t>(Placeable_Header_Size);
    // A file shorter than its header, or one too long for a metafile's 32-bit
    // size, gives no metafile.
    if (length < 0 || n <= 0 || n > std::numeric_limits<std::uint32_t>::max())
        return Load_Result::Bad_Metafile;
    if (!file.Seek(static_cast<std::int64_t>(Placeable_Header_Size)))
        return Load_Result::Bad_Metafile;
    try {
        out.metafile.assign(static_cast<std::size_t>(n), 0);
    } catch (const std::bad_alloc&) {
        return Load_Result::Bad_Metafile;
    }
    // A file that shrank meanwhile leaves zeros at the end, which the
    // metafile check then sees.
    file.Read(out.metafile.data(), out.metafile.size());
    if (!Is_Windows_Metafile(out.metafile.data(), out.metafile.size()))
        return Load_Result::Bad_Metafile;
    return Load_Result::Loaded;
}

Picture_Extents Compute_Extents(const Bounding_Box& box)
{
    Picture_Extents extents;
    const int w = box.right - box.left;
    const int h = box.bottom - box.top;
    const int m = h > w ? h : w;
    if (m == 0)
        return extents; // a zero box, or a zero side against a negative one
    const double s = m * Extent_Factor;
    extents.x_ext = static_cast<std::int32_t>(w / s);
    extents.y_ext = static_cast<std::int32_t>(h / s);
    return extents;
}

std::array<std::uint8_t, 16> Metafile_Pict_Record(const Picture_Extents& extents)
{
    std::array<std::uint8_t, 16> record{};
    Put_Dword(record.data(), extents.mapping_mode);
    Put_Dword(record.data() + 4, extents.x_ext);
    Put_Dword(record.data() + 8, extents.y_ext);
    return record;
}

int Copy_To_Clipboard(std::unique_ptr<File_Reader> file, Clipboard& clipboard)
{
    if (!file)
        return Exit_Failure;
    Placeable_File placeable;
    const Load_Result loaded = Read_Placeable(*file, placeable);
    // The clipboard may be served for a long time: keep no file open meanwhile.
    file.reset();
    if (loaded == Load_Result::Wrong_Key)
        return Exit_Failure;
    if (loaded == Load_Result::Bad_Metafile)
        return Exit_Success;
    switch (clipboard.Place(placeable, Compute_Extents(placeable.box))) {
    case Place_Result::Placed:
    case Place_Result::Data_Rejected:
        return Exit_Success;
    case Place_Result::Clipboard_Unavailable:
        break;
    }
    return Exit_Failure;
}

} // namespace tarvesk
