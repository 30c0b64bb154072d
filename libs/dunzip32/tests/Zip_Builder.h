// Test archives made by our own code: a byte-level writer for stored members (it can
// write the hostile names, links and odd methods that a ZIP library refuses) and a
// deflating writer over libzip for ordinary archives.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dunzip32_test {

struct Raw_Member
{
    enum class Kind
    {
        File,
        Folder,
        Link
    };
    Raw_Member(std::string name, std::string data, Kind kind = Kind::File,
               std::string password = {}, uint16_t method = 0)
        : name(std::move(name)), data(std::move(data)), kind(kind), password(std::move(password)),
          method(method)
    {
    }
    std::string name;
    std::string data; // the file's bytes, or a link's target
    Kind kind;
    std::string password; // not empty: traditional PKWARE encryption
    uint16_t method;      // written as the compression method; the data stays stored
};

// The modification time stored in every raw member: 2001-02-03 04:05:06 local time.
constexpr int Raw_Year = 2001, Raw_Month = 2, Raw_Day = 3;
constexpr int Raw_Hour = 4, Raw_Minute = 5, Raw_Second = 6;

std::string Raw_Zip(const std::vector<Raw_Member>& members);

struct Zip_Entry
{
    std::string name; // a name ending in "/" makes a folder entry
    std::string data;
};

// Writes a deflated archive with libzip; returns false when libzip fails.
bool Write_Deflated_Zip(const std::string& path, const std::vector<Zip_Entry>& entries);

// Where the n-th member's stored data lies in the archive, found through the local
// headers: its first byte and its length.
struct Data_Span
{
    size_t offset;
    size_t size;
};
Data_Span Member_Data(const std::string& zip, int member);

// Bytes that do not compress, reproducible from the seed.
std::string Noise(size_t size, uint32_t seed);

} // namespace dunzip32_test
