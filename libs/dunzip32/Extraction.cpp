#include "Extraction.h"

#include "File_Spec.h"

#include <zip.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dunzip32 {

namespace {

constexpr size_t Chunk_Size = 256 * 1024;

bool On(int32_t flag)
{
    return flag != 0;
}

std::string Text(const char* text)
{
    return text != nullptr ? std::string(text) : std::string();
}

int32_t Percent(uint64_t done, uint64_t total)
{
    if (total == 0 || done >= total)
        return 100;
    if (total <= UINT64_MAX / 100)
        return static_cast<int32_t>(done * 100 / total);
    return static_cast<int32_t>(done / (total / 100));
}

// Result code for a system error while creating or writing files.
int32_t Write_Error_Code(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return DUNZIP_DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS:
        return DUNZIP_DEST_NOT_WRITABLE;
    case ENOMEM:
        return DUNZIP_NO_MEMORY;
    default:
        return DUNZIP_WRITE_FAILED;
    }
}

// Result code for an error of the ZIP reader.
int32_t Read_Error_Code(int zipError)
{
    switch (zipError) {
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return DUNZIP_DAMAGED;
    case ZIP_ER_NOZIP:
        return DUNZIP_NOT_A_ZIP;
    case ZIP_ER_NOENT:
        return DUNZIP_ARCHIVE_MISSING;
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return DUNZIP_ARCHIVE_UNREADABLE;
    case ZIP_ER_NOPASSWD:
        return DUNZIP_ENCRYPTED;
    case ZIP_ER_WRONGPASSWD:
        return DUNZIP_WRONG_CODE;
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_MULTIDISK:
        return DUNZIP_UNSUPPORTED_METHOD;
    case ZIP_ER_MEMORY:
        return DUNZIP_NO_MEMORY;
    default:
        return DUNZIP_INTERNAL_ERROR;
    }
}

const char* Result_Text(int32_t code)
{
    switch (code) {
    case DUNZIP_ARCHIVE_MISSING:
        return "The archive does not exist.";
    case DUNZIP_ARCHIVE_UNREADABLE:
        return "The archive cannot be read.";
    case DUNZIP_NOT_A_ZIP:
        return "The file is not a ZIP archive.";
    case DUNZIP_DAMAGED:
        return "The archive is damaged: a member's data does not check out.";
    case DUNZIP_ENCRYPTED:
        return "The member is encrypted and no decryption code was given.";
    case DUNZIP_WRONG_CODE:
        return "The decryption code does not fit the member.";
    case DUNZIP_UNSUPPORTED_METHOD:
        return "The member uses a compression or encryption method that cannot be read.";
    case DUNZIP_UNSAFE_NAME:
        return "The archive was refused: a member would be written outside the destination "
               "folder.";
    case DUNZIP_NO_MATCH:
        return "No member of the archive matches the file spec.";
    case DUNZIP_DEST_MISSING:
        return "The destination folder does not exist.";
    case DUNZIP_DEST_NOT_WRITABLE:
        return "The destination folder may not be written.";
    case DUNZIP_WRITE_FAILED:
        return "The member could not be written.";
    case DUNZIP_NO_MEMORY:
        return "Memory ran out.";
    case DUNZIP_DISK_FULL:
        return "The disk is full.";
    default:
        return "The archive could not be extracted.";
    }
}

// Closes a file descriptor that it owns.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// Removes a temporary file unless it was renamed into place.
class Temporary_File
{
public:
    ~Temporary_File()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    void Set(std::string path) { path_ = std::move(path); }
    void Keep() { path_.clear(); }

private:
    std::string path_;
};

class Zip_File_Closer
{
public:
    explicit Zip_File_Closer(zip_file_t* file) : file_(file) {}
    ~Zip_File_Closer() { zip_fclose(file_); }
    Zip_File_Closer(const Zip_File_Closer&) = delete;
    Zip_File_Closer& operator=(const Zip_File_Closer&) = delete;

private:
    zip_file_t* file_;
};

// Creates a new, empty file with a name of its own in the folder. The ordinary mode
// 0666 is narrowed by the process umask, as for any new file.
int Create_Temporary(const std::string& folder, std::string& path, int& error)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".dunzip-%ld-%u.tmp", static_cast<long>(::getpid()),
                      counter.fetch_add(1));
        path = folder + '/' + name;
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    error = EEXIST;
    return -1;
}

} // namespace

Extraction::Extraction(const Unzip_Record& record, Writer& writer)
    : record_(record), writer_(writer), archivePath_(Text(record.lpszZipFile)),
      spec_(Text(record.lpszFileSpec)), password_(Text(record.lpszDecryptCode)),
      overwrite_(On(record.OverWriteFlag)), test_(On(record.TestFlag)),
      junkFolders_(On(record.NoDirectoryNamesFlag))
{
}

Extraction::~Extraction()
{
    if (archive_ != nullptr)
        zip_discard(archive_);
}

int32_t Extraction::Run()
{
    if (const int32_t code = Open_Archive())
        return code;
    if (const int32_t code = Check_Destination())
        return code;

    // Every check comes before the first write, so that a refused archive leaves no
    // trace: names first (a hostile archive is refused whatever else is wrong with
    // it), then the places the selected members would be written to, then whether
    // their data can be read at all.
    std::vector<Member> all;
    if (const int32_t code = Read_Members(all))
        return code;
    if (const int32_t code = Select_Members(all))
        return code;
    for (const Member& member : members_) {
        if (const int32_t code = Check_Target(member))
            return code;
    }
    for (const Member& member : members_) {
        if (const int32_t code = Check_Methods(member))
            return code;
    }
    return Extract_All();
}

int32_t Extraction::Open_Archive()
{
    struct stat info;
    if (::stat(archivePath_.c_str(), &info) != 0) {
        const int error = errno;
        const bool missing = error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
        return Fail(missing ? DUNZIP_ARCHIVE_MISSING : DUNZIP_ARCHIVE_UNREADABLE, -1, archivePath_,
                    error);
    }
    if (!S_ISREG(info.st_mode))
        return Fail(DUNZIP_ARCHIVE_MISSING, -1, archivePath_, 0);
    if (info.st_size == 0)
        return Fail(DUNZIP_NOT_A_ZIP, -1, archivePath_, 0);

    int zipError = 0;
    archive_ = zip_open(archivePath_.c_str(), ZIP_RDONLY, &zipError);
    if (archive_ == nullptr)
        return Fail(Read_Error_Code(zipError), -1, archivePath_, 0);
    return DUNZIP_OK;
}

int32_t Extraction::Check_Destination()
{
    const std::string given = Text(record_.lpszDestination);
    struct stat info;
    if (::stat(given.c_str(), &info) != 0)
        return Fail(DUNZIP_DEST_MISSING, -1, given, errno);
    if (!S_ISDIR(info.st_mode))
        return Fail(DUNZIP_DEST_MISSING, -1, given, ENOTDIR);
    if (!test_ && ::access(given.c_str(), W_OK | X_OK) != 0)
        return Fail(Write_Error_Code(errno), -1, given, errno);
    char* real = ::realpath(given.c_str(), nullptr);
    if (real == nullptr)
        return Fail(DUNZIP_DEST_MISSING, -1, given, errno);
    destination_ = real;
    std::free(real);
    if (destination_ == "/")
        destination_.clear(); // paths below it are built as destination_ + "/" + name
    return DUNZIP_OK;
}

int32_t Extraction::Read_Members(std::vector<Member>& all)
{
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0)
        return Fail(DUNZIP_INTERNAL_ERROR, -1, archivePath_, 0);
    all.reserve(static_cast<size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t info;
        zip_stat_init(&info);
        if (zip_stat_index(archive_, index, 0, &info) != 0)
            return Fail(Read_Error_Code(zip_error_code_zip(zip_get_error(archive_))), i,
                        archivePath_, 0);
        Member member;
        member.index = index;
        member.name = (info.valid & ZIP_STAT_NAME) && info.name ? info.name : "";
        member.size = (info.valid & ZIP_STAT_SIZE) ? info.size : 0;
        member.encryption =
            (info.valid & ZIP_STAT_ENCRYPTION_METHOD) ? info.encryption_method : ZIP_EM_NONE;
        member.compression = (info.valid & ZIP_STAT_COMP_METHOD) ? info.comp_method : 0;
        member.hasMtime = (info.valid & ZIP_STAT_MTIME) != 0;
        member.mtime = info.mtime;

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive_, index, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK)
            return Fail(DUNZIP_UNSAFE_NAME, i, member.name, 0,
                        "The archive was refused: the member is a symbolic link.");
        if (!Parse_Member_Name(member.name, member.path))
            return Fail(DUNZIP_UNSAFE_NAME, i, member.name, 0,
                        "The archive was refused: the member name is absolute or climbs out "
                        "of the destination folder.");
        all.push_back(std::move(member));
    }
    return DUNZIP_OK;
}

int32_t Extraction::Select_Members(std::vector<Member>& all)
{
    for (Member& member : all) {
        if (!Matches_File_Spec(spec_, member.path.Joined()))
            continue;
        if (junkFolders_) {
            if (member.path.folder)
                continue;
            if (!member.path.parts.empty())
                member.path.parts.erase(member.path.parts.begin(), member.path.parts.end() - 1);
        }
        if (member.path.parts.empty())
            continue; // names such as "./" stand for the destination itself

        if (record_.renameProc != nullptr) {
            const std::string planned = member.path.Joined();
            if (planned.size() >= DUNZIP_RENAME_CAPACITY)
                return Fail(DUNZIP_WRITE_FAILED, static_cast<int64_t>(member.index), member.name,
                            ENAMETOOLONG);
            DZRename rename{};
            rename.recordSize = static_cast<int32_t>(sizeof rename);
            rename.memberIndex = static_cast<int32_t>(member.index);
            rename.memberName = member.name.c_str();
            std::memcpy(rename.newName, planned.c_str(), planned.size() + 1);
            if (record_.renameProc(&rename, record_.renameData) == DUNZIP_CANCEL)
                return DUNZIP_CANCELLED;
            rename.newName[DUNZIP_RENAME_CAPACITY - 1] = '\0';
            const bool folder = member.path.folder;
            if (!Parse_Member_Name(rename.newName, member.path))
                return Fail(DUNZIP_UNSAFE_NAME, static_cast<int64_t>(member.index), rename.newName,
                            0,
                            "The archive was refused: the new name is absolute or climbs out "
                            "of the destination folder.");
            member.path.folder = folder;
            if (member.path.parts.empty())
                continue; // the handler chose to skip this member
        }

        for (const std::string& part : member.path.parts) {
            if (part.size() > NAME_MAX)
                return Fail(DUNZIP_WRITE_FAILED, static_cast<int64_t>(member.index), member.name,
                            ENAMETOOLONG);
        }
        if (destination_.size() + 1 + member.path.Joined().size() >= PATH_MAX)
            return Fail(DUNZIP_WRITE_FAILED, static_cast<int64_t>(member.index), member.name,
                        ENAMETOOLONG);
        members_.push_back(std::move(member));
    }
    if (members_.empty())
        return Fail(DUNZIP_NO_MATCH, -1, spec_, 0);
    return DUNZIP_OK;
}

bool Extraction::Inside_Destination(const std::string& realPath) const
{
    if (destination_.empty())
        return true; // the destination is the root folder
    return realPath == destination_ ||
           (realPath.size() > destination_.size() &&
            realPath.compare(0, destination_.size(), destination_) == 0 &&
            realPath[destination_.size()] == '/');
}

// Walks the member's path through what already exists in the destination. A folder
// on the way may be a symbolic link only when it leads back inside the destination;
// a link at a file's own place is replaced by the rename, never followed. A file
// where a folder must go (or the reverse) is found here, before anything is written.
int32_t Extraction::Check_Target(const Member& member)
{
    if (test_)
        return DUNZIP_OK;
    const auto index = static_cast<int64_t>(member.index);
    const std::vector<std::string>& parts = member.path.parts;
    std::string path = destination_;
    for (size_t k = 0; k < parts.size(); ++k) {
        const bool last = k + 1 == parts.size();
        path += '/';
        path += parts[k];
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT)
                return DUNZIP_OK; // the rest of the path is created by the extraction
            return Fail(Write_Error_Code(errno), index, member.name, errno);
        }
        if (last && !member.path.folder) {
            if (S_ISDIR(info.st_mode) && overwrite_)
                return Fail(DUNZIP_WRITE_FAILED, index, member.name, EISDIR);
            return DUNZIP_OK;
        }
        if (S_ISLNK(info.st_mode)) {
            char* real = ::realpath(path.c_str(), nullptr);
            const bool inside = real != nullptr && Inside_Destination(real);
            if (real != nullptr)
                path = real;
            std::free(real);
            if (!inside)
                return Fail(DUNZIP_UNSAFE_NAME, index, member.name, 0,
                            "The archive was refused: the member's path passes through a "
                            "symbolic link that leads outside the destination folder.");
            if (::stat(path.c_str(), &info) != 0)
                return Fail(Write_Error_Code(errno), index, member.name, errno);
        }
        if (!S_ISDIR(info.st_mode))
            return Fail(DUNZIP_WRITE_FAILED, index, member.name, ENOTDIR);
    }
    return DUNZIP_OK;
}

int32_t Extraction::Check_Methods(const Member& member)
{
    if (member.path.folder)
        return DUNZIP_OK;
    const auto index = static_cast<int64_t>(member.index);
    if (member.encryption != ZIP_EM_NONE) {
        if (password_.empty())
            return Fail(DUNZIP_ENCRYPTED, index, member.name, 0);
        if (!zip_encryption_method_supported(member.encryption, 0))
            return Fail(DUNZIP_UNSUPPORTED_METHOD, index, member.name, 0);
    }
    if (!zip_compression_method_supported(member.compression, 0))
        return Fail(DUNZIP_UNSUPPORTED_METHOD, index, member.name, 0);
    return DUNZIP_OK;
}

int32_t Extraction::Extract_All()
{
    uint64_t total = 0;
    for (const Member& member : members_)
        total += member.path.folder ? 0 : member.size;
    buffer_.resize(Chunk_Size);

    uint64_t done = 0;
    for (size_t k = 0; k < members_.size(); ++k) {
        const Member& member = members_[k];
        const int32_t percent =
            total > 0 ? Percent(done, total) : static_cast<int32_t>(k * 100 / members_.size());
        if (Cancelled(record_.majorStatusProc, record_.majorStatusData, member.name, percent))
            return DUNZIP_CANCELLED;
        const int32_t code =
            member.path.folder
                ? (test_ ? DUNZIP_OK : Make_Folders(member, member.path.parts.size()))
                : Extract_File(member);
        if (code != DUNZIP_OK)
            return code;
        done += member.path.folder ? 0 : member.size;
    }
    return DUNZIP_OK;
}

int32_t Extraction::Make_Folders(const Member& member, size_t count)
{
    std::string path = destination_;
    for (size_t k = 0; k < count; ++k) {
        path += '/';
        path += member.path.parts[k];
        if (::mkdir(path.c_str(), 0777) == 0)
            continue;
        const int error = errno;
        struct stat info;
        if (error == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            continue;
        return Fail(error == EEXIST ? DUNZIP_WRITE_FAILED : Write_Error_Code(error),
                    static_cast<int64_t>(member.index), member.name,
                    error == EEXIST ? ENOTDIR : error);
    }
    return DUNZIP_OK;
}

int32_t Extraction::Extract_File(const Member& member)
{
    const auto index = static_cast<int64_t>(member.index);
    std::string target;
    if (!test_) {
        if (const int32_t code = Make_Folders(member, member.path.parts.size() - 1))
            return code;
        target = destination_ + '/' + member.path.Joined();
        struct stat info;
        if (!overwrite_ && ::lstat(target.c_str(), &info) == 0)
            return DUNZIP_OK; // an existing file is kept when overwriting is off
    }

    zip_file_t* source = zip_fopen_index_encrypted(archive_, member.index, 0,
                                                   password_.empty() ? nullptr : password_.c_str());
    if (source == nullptr)
        return Fail(Read_Error_Code(zip_error_code_zip(zip_get_error(archive_))), index,
                    member.name, 0);
    Zip_File_Closer closer(source);

    if (test_)
        return Copy_Data(source, -1, member);

    Temporary_File temporary;
    std::string temporaryPath;
    int error = 0;
    const std::string folder = target.substr(0, target.find_last_of('/'));
    Descriptor fd(Create_Temporary(folder, temporaryPath, error));
    if (fd.Get() < 0)
        return Fail(Write_Error_Code(error), index, member.name, error);
    temporary.Set(temporaryPath);

    if (const int32_t code = Copy_Data(source, fd.Get(), member))
        return code;

    if (member.hasMtime) {
        const struct timespec times[2] = {{0, UTIME_NOW}, {member.mtime, 0}};
        ::futimens(fd.Get(), times); // a file without its time is still the right file
    }
    if (::close(fd.Release()) != 0)
        return Fail(Write_Error_Code(errno), index, member.name, errno);
    if (::rename(temporaryPath.c_str(), target.c_str()) != 0)
        return Fail(Write_Error_Code(errno), index, member.name, errno);
    temporary.Keep();
    return DUNZIP_OK;
}

// Reads the member to its end (which is where its CRC is checked) and, unless fd is
// negative, writes it out chunk by chunk, reporting each chunk to the minor callback.
int32_t Extraction::Copy_Data(zip_file* source, int fd, const Member& member)
{
    const auto index = static_cast<int64_t>(member.index);
    if (Cancelled(record_.minorStatusProc, record_.minorStatusData, member.name, 0))
        return DUNZIP_CANCELLED;
    uint64_t written = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(source, buffer_.data(), buffer_.size());
        if (got < 0)
            return Fail(Read_Error_Code(zip_error_code_zip(zip_file_get_error(source))), index,
                        member.name, 0);
        if (got == 0)
            break;
        if (fd >= 0) {
            if (const int error = writer_.Write(fd, buffer_.data(), static_cast<size_t>(got)))
                return Fail(Write_Error_Code(error), index, member.name, error);
        }
        written += static_cast<uint64_t>(got);
        if (Cancelled(record_.minorStatusProc, record_.minorStatusData, member.name,
                      Percent(written, member.size)))
            return DUNZIP_CANCELLED;
    }
    if (written != member.size)
        return Fail(DUNZIP_DAMAGED, index, member.name, 0);
    if (member.size == 0 &&
        Cancelled(record_.minorStatusProc, record_.minorStatusData, member.name, 100))
        return DUNZIP_CANCELLED;
    return DUNZIP_OK;
}

bool Extraction::Cancelled(Unzip_StatusProc proc, void* data, const std::string& item,
                           int32_t percent)
{
    return proc != nullptr && proc(item.c_str(), percent, data) == DUNZIP_CANCEL;
}

int32_t Extraction::Fail(int32_t code, int64_t memberIndex, const std::string& subject, int error,
                         const char* text)
{
    if (record_.messageProc != nullptr)
        record_.messageProc(code, DUNZIP_MB_WARNING, static_cast<int32_t>(memberIndex), error,
                            subject.c_str(), text != nullptr ? text : Result_Text(code),
                            record_.messageData);
    return code;
}

} // namespace dunzip32
