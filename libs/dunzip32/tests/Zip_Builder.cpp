#include "Zip_Builder.h"

#include <zip.h>

#include <array>
#include <stdexcept>
#include <sys/stat.h>

namespace dunzip32_test {

namespace {

const std::array<uint32_t, 256>& Crc_Table()
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

uint32_t Crc_Step(uint32_t crc, uint8_t byte)
{
    return Crc_Table()[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

uint32_t Crc32(const std::string& data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : data)
        crc = Crc_Step(crc, static_cast<uint8_t>(c));
    return ~crc;
}

// The traditional PKWARE stream cipher.
class Zip_Cipher
{
public:
    explicit Zip_Cipher(const std::string& password)
    {
        for (char c : password)
            Update(static_cast<uint8_t>(c));
    }
    char Encrypt(char plain)
    {
        const uint16_t t = static_cast<uint16_t>(k2_ | 2);
        const auto key = static_cast<uint8_t>((t * (t ^ 1)) >> 8);
        Update(static_cast<uint8_t>(plain));
        return static_cast<char>(static_cast<uint8_t>(plain) ^ key);
    }

private:
    void Update(uint8_t c)
    {
        k0_ = Crc_Step(k0_, c);
        k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
        k2_ = Crc_Step(k2_, static_cast<uint8_t>(k1_ >> 24));
    }
    uint32_t k0_ = 0x12345678u, k1_ = 0x23456789u, k2_ = 0x34567890u;
};

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Get16(const std::string& in, size_t at)
{
    return static_cast<uint8_t>(in.at(at)) | (static_cast<uint8_t>(in.at(at + 1)) << 8);
}

uint32_t Get32(const std::string& in, size_t at)
{
    return Get16(in, at) | (Get16(in, at + 2) << 16);
}

} // namespace

std::string Raw_Zip(const std::vector<Raw_Member>& members)
{
    const uint32_t dosTime = (Raw_Hour << 11) | (Raw_Minute << 5) | (Raw_Second / 2);
    const uint32_t dosDate = ((Raw_Year - 1980) << 9) | (Raw_Month << 5) | Raw_Day;
    std::string out;
    std::string central;
    for (const Raw_Member& m : members) {
        const uint32_t crc = Crc32(m.data);
        std::string stored = m.data;
        uint32_t flags = 0;
        if (!m.password.empty()) {
            flags |= 1;
            Zip_Cipher cipher(m.password);
            std::string header;
            for (int k = 0; k < 11; ++k)
                header += static_cast<char>(0x5A + 7 * k);
            header += static_cast<char>(crc >> 24); // the check byte
            std::string encrypted;
            for (char c : header + m.data)
                encrypted += cipher.Encrypt(c);
            stored = encrypted;
        }
        uint32_t mode = S_IFREG | 0644;
        uint32_t dosAttributes = 0;
        if (m.kind == Raw_Member::Kind::Folder) {
            mode = S_IFDIR | 0755;
            dosAttributes = 0x10;
        } else if (m.kind == Raw_Member::Kind::Link) {
            mode = S_IFLNK | 0777;
        }
        const auto offset = static_cast<uint32_t>(out.size());

        Put32(out, 0x04034B50);
        Put16(out, 20);
        Put16(out, flags);
        Put16(out, m.method);
        Put16(out, dosTime);
        Put16(out, dosDate);
        Put32(out, crc);
        Put32(out, static_cast<uint32_t>(stored.size()));
        Put32(out, static_cast<uint32_t>(m.data.size()));
        Put16(out, static_cast<uint32_t>(m.name.size()));
        Put16(out, 0);
        out += m.name;
        out += stored;

        Put32(central, 0x02014B50);
        Put16(central, (3 << 8) | 20); // made on a Unix system: the mode bits count
        Put16(central, 20);
        Put16(central, flags);
        Put16(central, m.method);
        Put16(central, dosTime);
        Put16(central, dosDate);
        Put32(central, crc);
        Put32(central, static_cast<uint32_t>(stored.size()));
        Put32(central, static_cast<uint32_t>(m.data.size()));
        Put16(central, static_cast<uint32_t>(m.name.size()));
        Put16(central, 0); // extra field
        Put16(central, 0); // comment
        Put16(central, 0); // disk
        Put16(central, 0); // internal attributes
        Put32(central, (mode << 16) | dosAttributes);
        Put32(central, offset);
        central += m.name;
    }
    const auto centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(members.size()));
    Put16(out, static_cast<uint32_t>(members.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

bool Write_Deflated_Zip(const std::string& path, const std::vector<Zip_Entry>& entries)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        return false;
    for (const Zip_Entry& entry : entries) {
        zip_int64_t index;
        if (!entry.name.empty() && entry.name.back() == '/') {
            index = zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_UTF_8);
        } else {
            zip_source_t* source =
                zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
            index = source != nullptr
                        ? zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8)
                        : -1;
            if (index < 0)
                zip_source_free(source);
            else
                zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                         9);
        }
        if (index < 0) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

Data_Span Member_Data(const std::string& zip, int member)
{
    size_t at = 0;
    for (int k = 0;; ++k) {
        if (Get32(zip, at) != 0x04034B50)
            throw std::runtime_error("no local header where one belongs");
        const size_t data = at + 30 + Get16(zip, at + 26) + Get16(zip, at + 28);
        if (k == member)
            return {data, Get32(zip, at + 18)};
        at = data + Get32(zip, at + 18);
    }
}

std::string Noise(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

} // namespace dunzip32_test
