#include "Unzip_Call.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dunzip32_test {

Unzip_Call::Unzip_Call(std::string zipPath, std::string destinationPath)
    : zip(std::move(zipPath)), destination(std::move(destinationPath))
{
}

Unzip_Record Unzip_Call::Record()
{
    Unzip_Record r{};
    r.recordSize = sizeof(Unzip_Record);
    r.actionCode = DUNZIP_ACTION_EXTRACT;
    r.lpszZipFile = zip.c_str();
    r.lpszFileSpec = spec.c_str();
    r.lpszDestination = destination.c_str();
    r.OverWriteFlag = overwrite ? DUNZIP_FLAG_ON : DUNZIP_FLAG_OFF;
    r.QuietFlag = DUNZIP_FLAG_ON;
    r.TestFlag = testOnly ? DUNZIP_FLAG_ON : DUNZIP_FLAG_OFF;
    r.NoDirectoryNamesFlag = noFolderNames ? DUNZIP_FLAG_ON : DUNZIP_FLAG_OFF;
    r.minorStatusProc = &On_Minor;
    r.minorStatusData = this;
    r.majorStatusProc = &On_Major;
    r.majorStatusData = this;
    r.lpszDecryptCode = decryptCode.empty() ? nullptr : decryptCode.c_str();
    r.messageProc = &On_Message;
    r.messageData = this;
    if (rename) {
        r.renameProc = &On_Rename;
        r.renameData = this;
    }
    return r;
}

int32_t Unzip_Call::Run(Unzip_EntryPoint entry)
{
    Unzip_Record record = Record();
    return entry(&record);
}

int Unzip_Call::Count(bool major) const
{
    return static_cast<int>(std::count_if(statuses.begin(), statuses.end(),
                                          [major](const Status& s) { return s.major == major; }));
}

int32_t Unzip_Call::On_Status(bool major, const char* item, int32_t percent)
{
    statuses.push_back({major, item != nullptr ? item : "(null)", percent});
    const int cancelAt = major ? cancelMajorAt : cancelMinorAt;
    return Count(major) == cancelAt ? DUNZIP_CANCEL : DUNZIP_CONTINUE;
}

int32_t DUNZIP_CALL Unzip_Call::On_Major(const char* item, int32_t percent, void* data)
{
    return static_cast<Unzip_Call*>(data)->On_Status(true, item, percent);
}

int32_t DUNZIP_CALL Unzip_Call::On_Minor(const char* item, int32_t percent, void* data)
{
    return static_cast<Unzip_Call*>(data)->On_Status(false, item, percent);
}

int32_t DUNZIP_CALL Unzip_Call::On_Message(int32_t id, int32_t type, int32_t p1, int32_t p2,
                                           const char* text1, const char* text2, void* data)
{
    static_cast<Unzip_Call*>(data)->messages.push_back({id, type, p1, p2,
                                                        text1 != nullptr ? text1 : "(null)",
                                                        text2 != nullptr ? text2 : "(null)"});
    return 0;
}

int32_t DUNZIP_CALL Unzip_Call::On_Rename(DZRename* rename, void* data)
{
    auto* call = static_cast<Unzip_Call*>(data);
    call->renamed.push_back(rename->memberName);
    return call->rename(*rename);
}

std::vector<std::string> List_Tree(const std::string& root)
{
    namespace fs = std::filesystem;
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(entry.path(), root).generic_string();
        if (entry.is_symlink())
            name += " -> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            name += '/';
        entries.push_back(name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string Read_File(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write_File(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace dunzip32_test
