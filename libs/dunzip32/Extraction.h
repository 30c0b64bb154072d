// Action 8: extraction of the members that match the file spec into a folder.
#pragma once

#include "Member_Name.h"
#include "Writer.h"
#include "dunzip32.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct zip;
struct zip_file;

namespace dunzip32 {

class Extraction
{
public:
    Extraction(const Unzip_Record& record, Writer& writer);
    ~Extraction();
    Extraction(const Extraction&) = delete;
    Extraction& operator=(const Extraction&) = delete;

    // Runs the whole extraction once; returns a result code of dunzip32.h.
    int32_t Run();

private:
    struct Member
    {
        uint64_t index = 0;
        std::string name; // as stored in the archive
        Member_Path path; // where it goes below the destination
        uint64_t size = 0;
        uint16_t encryption = 0;
        int32_t compression = 0;
        time_t mtime = 0;
        bool hasMtime = false;
    };

    int32_t Open_Archive();
    int32_t Check_Destination();
    int32_t Read_Members(std::vector<Member>& all);
    int32_t Select_Members(std::vector<Member>& all);
    int32_t Check_Target(const Member& member);
    int32_t Check_Methods(const Member& member);
    int32_t Extract_All();
    int32_t Make_Folders(const Member& member, size_t count);
    int32_t Extract_File(const Member& member);
    int32_t Copy_Data(zip_file* source, int fd, const Member& member);

    bool Inside_Destination(const std::string& realPath) const;
    bool Cancelled(Unzip_StatusProc proc, void* data, const std::string& item, int32_t percent);
    int32_t Fail(int32_t code, int64_t memberIndex, const std::string& subject, int error,
                 const char* text = nullptr);

    const Unzip_Record& record_;
    Writer& writer_;
    std::string archivePath_;
    std::string spec_;
    std::string password_;
    std::string destination_; // real path of the destination folder, no trailing "/"
    bool overwrite_;
    bool test_;
    bool junkFolders_;
    zip* archive_ = nullptr;
    std::vector<Member> members_; // the selected members, in archive order
    std::vector<char> buffer_;
};

} // namespace dunzip32
