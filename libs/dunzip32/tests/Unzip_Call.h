// One call of the archive back end as a test makes it: the record filled from plain
// fields, callbacks that record what they are told and cancel when asked to.
#pragma once

#include "dunzip32.h"

#include <functional>
#include <string>
#include <vector>

namespace dunzip32_test {

class Unzip_Call
{
public:
    struct Status
    {
        bool major; // false: the minor status callback
        std::string item;
        int32_t percent;
    };
    struct Message
    {
        int32_t id, type, p1, p2;
        std::string text1, text2;
    };

    Unzip_Call(std::string zip, std::string destination);
    Unzip_Call(const Unzip_Call&) = delete;
    Unzip_Call& operator=(const Unzip_Call&) = delete;

    std::string zip;
    std::string destination;
    std::string spec = "*.*";
    std::string decryptCode; // empty: no address in the record
    bool overwrite = true;
    bool testOnly = false;
    bool noFolderNames = false;
    int cancelMajorAt = 0; // return -1 from this call (counted from 1); 0: never
    int cancelMinorAt = 0;
    std::function<int32_t(DZRename&)> rename; // set: the rename callback is offered

    std::vector<Status> statuses;
    std::vector<Message> messages;
    std::vector<std::string> renamed; // member names the rename callback was called for

    // The record as the program fills it for this call, pointing into this object.
    Unzip_Record Record();
    int32_t Run(Unzip_EntryPoint entry);
    int Count(bool major) const;

private:
    static int32_t DUNZIP_CALL On_Major(const char* item, int32_t percent, void* data);
    static int32_t DUNZIP_CALL On_Minor(const char* item, int32_t percent, void* data);
    static int32_t DUNZIP_CALL On_Message(int32_t id, int32_t type, int32_t p1, int32_t p2,
                                          const char* text1, const char* text2, void* data);
    static int32_t DUNZIP_CALL On_Rename(DZRename* rename, void* data);
    int32_t On_Status(bool major, const char* item, int32_t percent);
};

// Every entry below the folder, without following links, as sorted relative paths:
// folders end in "/", links are shown as "name -> target".
std::vector<std::string> List_Tree(const std::string& root);

std::string Read_File(const std::string& path);
void Write_File(const std::string& path, const std::string& data);

} // namespace dunzip32_test
