// Writing failures: a full disk (result 50), a quota, a read-only medium, an I/O
// error; first through a writer that fails on cue, then on real small devices.
#include "Unzip_Call.h"
#include "Unzip_Run.h"
#include "Zip_Builder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dunzip32_test;
using Tree = std::vector<std::string>;

namespace {

// Accepts a given number of bytes, then fails every write with one error.
class Failing_Writer final : public dunzip32::Writer
{
public:
    Failing_Writer(size_t allowed, int error) : allowed_(allowed), error_(error) {}
    int Write(int fd, const char* data, size_t size) override
    {
        if (written_ + size > allowed_)
            return error_;
        written_ += size;
        return posix_.Write(fd, data, size);
    }

private:
    dunzip32::Posix_Writer posix_;
    size_t allowed_;
    int error_;
    size_t written_ = 0;
};

constexpr int Namespace_Unavailable = 125;

bool Write_Text(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// Runs body in a child process with a mount namespace of its own (and a user
// namespace when not root, so that it may mount there) and returns the child's exit
// code; Namespace_Unavailable when the system allows neither.
int In_Mount_Namespace(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return Namespace_Unavailable;
    if (child == 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (uid == 0) {
            if (::unshare(CLONE_NEWNS) != 0)
                ::_exit(Namespace_Unavailable);
        } else {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
                !Write_Text("/proc/self/setgroups", "deny") ||
                !Write_Text("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !Write_Text("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
                ::_exit(Namespace_Unavailable);
        }
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(Namespace_Unavailable);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

class Tst_Dunzip32_Disk : public QObject
{
    Q_OBJECT

    // A small member that fits, then one that does not.
    static void Save_Archive(const std::string& zip)
    {
        Write_File(zip,
                   Raw_Zip({{"small.txt", std::string(100, 's')}, {"big.bin", Noise(600000, 5)}}));
    }

private slots:
    void writerErrors_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("expected");
        QTest::newRow("no space left") << ENOSPC << int(DUNZIP_DISK_FULL);
        QTest::newRow("quota reached") << EDQUOT << int(DUNZIP_DISK_FULL);
        QTest::newRow("read-only medium") << EROFS << int(DUNZIP_DEST_NOT_WRITABLE);
        QTest::newRow("input/output error") << EIO << int(DUNZIP_WRITE_FAILED);
        QTest::newRow("file too large") << EFBIG << int(DUNZIP_WRITE_FAILED);
    }

    // The member being written when the device fails leaves nothing behind, neither
    // under its name nor as a temporary file; the member before it stays.
    void writerErrors()
    {
        QFETCH(int, error);
        QFETCH(int, expected);
        QTemporaryDir sandbox;
        const std::string zip = sandbox.filePath("test.zip").toStdString();
        const std::string dest = sandbox.filePath("dest").toStdString();
        Save_Archive(zip);
        QVERIFY(QDir().mkdir(QString::fromStdString(dest)));

        Unzip_Call call(zip, dest);
        Unzip_Record record = call.Record();
        Failing_Writer writer(300000, error);
        QCOMPARE(dunzip32::Run_Unzip(&record, writer), expected);
        QCOMPARE(List_Tree(dest), Tree{"small.txt"});
        QCOMPARE(call.messages.size(), size_t(1));
        QCOMPARE(call.messages[0].id, int32_t(expected));
        QCOMPARE(call.messages[0].p1, 1);
        QCOMPARE(call.messages[0].p2, error);
        QCOMPARE(call.messages[0].text1, std::string("big.bin"));
    }

    void realDevices_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("64 KiB file system fills up")
            << "size=64k" << false << int(DUNZIP_DISK_FULL) << QStringList{"small.txt"};
        QTest::newRow("read-only file system")
            << "size=64k" << true << int(DUNZIP_DEST_NOT_WRITABLE) << QStringList{};
    }

    // A tmpfs mounted in a private mount namespace, so nothing else sees it.
    void realDevices()
    {
        QFETCH(QString, options);
        QFETCH(bool, readOnly);
        QFETCH(int, expected);
        QFETCH(QStringList, left);
        QTemporaryDir sandbox;
        const std::string zip = sandbox.filePath("test.zip").toStdString();
        const std::string device = sandbox.filePath("device").toStdString();
        Save_Archive(zip);
        QVERIFY(QDir().mkdir(QString::fromStdString(device)));
        Tree expectedTree;
        for (const QString& name : left)
            expectedTree.push_back(name.toStdString());
        const std::string mountOptions = options.toStdString();

        const int result = In_Mount_Namespace([&]() -> int {
            if (::mount("tmpfs", device.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0,
                        mountOptions.c_str()) != 0)
                return Namespace_Unavailable;
            Unzip_Call call(zip, device);
            Unzip_Record record = call.Record();
            dunzip32::Posix_Writer writer;
            const int32_t code = dunzip32::Run_Unzip(&record, writer);
            if (List_Tree(device) != expectedTree)
                return 100; // something was left behind, or the small member is missing
            return code;
        });
        if (result == Namespace_Unavailable)
            QSKIP("no mount namespace here to mount a small file system in");
        QCOMPARE(result, expected);
    }
};

QTEST_GUILESS_MAIN(Tst_Dunzip32_Disk)
#include "tst_dunzip32_disk.moc"
