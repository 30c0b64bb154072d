// Linux: the file through POSIX calls, the clipboard through Qt's platform
// plugin for the desktop's display. An X11 clipboard owner has to stay alive
// to serve its data, so tarvesk forks before Qt starts: the child claims the
// clipboard, reports over a pipe and serves requests until another program
// takes the clipboard; the parent ends as soon as the child has reported.

#include "Command_Line.h"
#include "System.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvesk {
namespace {

// How long the parent waits for the child to claim the clipboard, in ms. A
// display that does not answer in this time counts as no clipboard.
constexpr int Claim_Timeout_Ms = 30000;
constexpr char Claimed = 'Y';

class Posix_File : public File_Reader
{
public:
    explicit Posix_File(int fd) : fd_(fd) {}
    ~Posix_File() override { ::close(fd_); }
    Posix_File(const Posix_File&) = delete;
    Posix_File& operator=(const Posix_File&) = delete;

    std::size_t Read(std::uint8_t* into, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got = ::read(fd_, into + done, count - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

    std::int64_t Length() override
    {
        struct stat st
        {
        };
        return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
    }

    bool Seek(std::int64_t offset) override
    {
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset;
    }

private:
    int fd_;
};

bool Write_Byte(int fd, char byte)
{
    ssize_t put;
    do {
        put = ::write(fd, &byte, 1);
    } while (put < 0 && errno == EINTR);
    return put == 1;
}

// Picks the platform plugin for the desktop's display: X11 wherever there is
// one (Wayland desktops bridge it to their own clipboard), Wayland otherwise.
// Qt's offscreen and similar platforms have no shared clipboard, so a
// QT_QPA_PLATFORM of the caller is not followed.
bool Choose_Platform()
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (display && *display)
        return ::setenv("QT_QPA_PLATFORM", "xcb", 1) == 0;
    if (wayland && *wayland)
        return ::setenv("QT_QPA_PLATFORM", "wayland", 1) == 0;
    return false;
}

// The child: detaches from the caller's session and folders, claims the
// clipboard, reports to the parent and serves until another owner takes over.
int Serve_Clipboard(const Placeable_File& file, const Picture_Extents& extents, int report)
{
    std::signal(SIGPIPE, SIG_IGN);
    ::setsid();
    if (::chdir("/") != 0)
        return 1;
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0)
        return 1;
    for (int fd = 0; fd <= 2; ++fd)
        ::dup2(null, fd);
    if (null > 2)
        ::close(null);
    if (!Choose_Platform())
        return 1;
    // A helper that ends by itself has nothing to tell a session manager.
    ::unsetenv("SESSION_MANAGER");

    static char name[] = "tarvesk";
    static char* args[] = {name, nullptr};
    int arg_count = 1;
    QGuiApplication app(arg_count, args);
    QClipboard* clipboard = QGuiApplication::clipboard();

    const std::vector<std::uint8_t> whole = file.Whole_File();
    const QByteArray bytes(reinterpret_cast<const char*>(whole.data()),
                           static_cast<qsizetype>(whole.size()));
    const auto record = Metafile_Pict_Record(extents);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/x-wmf"), bytes);
    data->setData(QStringLiteral("image/wmf"), bytes);
    data->setData(QStringLiteral("application/x-msmetafile"), bytes);
    // The office suites read Windows metafiles from the clipboard only under their own name.
    data->setData(QStringLiteral("application/x-openoffice-wmf;windows_formatname=\"Image WMF\""),
                  bytes);
    data->setData(QStringLiteral("application/x-orvinta-metafilepict"),
                  QByteArray(reinterpret_cast<const char*>(record.data()),
                             static_cast<qsizetype>(record.size())));
    clipboard->setMimeData(data, QClipboard::Clipboard);
    if (!clipboard->ownsClipboard())
        return 1;
    Write_Byte(report, Claimed);
    ::close(report);

    QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    return app.exec();
}

class Qt_Clipboard : public Clipboard
{
public:
    Place_Result Place(const Placeable_File& file, const Picture_Extents& extents) override
    {
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0)
            return Place_Result::Clipboard_Unavailable;
        const pid_t child = ::fork();
        if (child < 0) {
            ::close(report[0]);
            ::close(report[1]);
            return Place_Result::Clipboard_Unavailable;
        }
        if (child == 0) {
            ::close(report[0]);
            ::_exit(Serve_Clipboard(file, extents, report[1]));
        }
        ::close(report[1]);
        const bool claimed = Wait_For_Claim(report[0]);
        ::close(report[0]);
        if (!claimed) {
            ::kill(child, SIGKILL); // one that hangs on its display leaves nothing behind
            return Place_Result::Clipboard_Unavailable;
        }
        return Place_Result::Placed;
    }

private:
    // True when the child reports its claim; false when it ends without one
    // (no display, a failed claim, a crash) or takes too long.
    static bool Wait_For_Claim(int fd)
    {
        pollfd wait{fd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&wait, 1, Claim_Timeout_Ms);
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return false;
        char answer = 0;
        ssize_t got;
        do {
            got = ::read(fd, &answer, 1);
        } while (got < 0 && errno == EINTR);
        return got == 1 && answer == Claimed;
    }
};

} // namespace

std::unique_ptr<File_Reader> Open_Command_Line_File(int argc, char** argv)
{
    const std::string path = Path_From_Arguments(argc, argv);
    if (path.empty())
        return nullptr;
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return nullptr;
    return std::make_unique<Posix_File>(fd);
}

std::unique_ptr<Clipboard> System_Clipboard()
{
    return std::make_unique<Qt_Clipboard>();
}

} // namespace tarvesk
