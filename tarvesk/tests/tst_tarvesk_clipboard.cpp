// The built tarvesk against a real X11 clipboard: an Xvfb of the test's own,
// xclip to read the clipboard back and to take it over.
//
// Whether tarvesk has left a process behind is seen through a pipe: its write
// end is handed to tarvesk and closed here, so the read end reports end of file
// once the last tarvesk process (the one serving the clipboard) has ended.

#include "Test_Metafile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int Wait_Ms = 20000;
// The name under which office suites take a Windows metafile from the clipboard.
constexpr const char* Office_Target =
    "application/x-openoffice-wmf;windows_formatname=\"Image WMF\"";

QByteArray To_Bytes(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// The read end of a pipe whose write end only tarvesk's processes hold.
class Alive_Pipe
{
public:
    explicit Alive_Pipe(int fd = -1) : fd_(fd) {}
    Alive_Pipe(Alive_Pipe&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Alive_Pipe& operator=(Alive_Pipe&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Alive_Pipe()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // True once every process holding the write end has ended; waits up to timeout_ms.
    bool Ended(int timeout_ms) const
    {
        pollfd wait{fd_, POLLIN, 0};
        if (::poll(&wait, 1, timeout_ms) <= 0)
            return false;
        char byte;
        return ::read(fd_, &byte, 1) == 0;
    }

private:
    int fd_;
};

struct Tarvesk_Run
{
    int exit_code = -1;
    QByteArray output; // standard output and error; tarvesk writes nothing
    Alive_Pipe alive;
};

} // namespace

class Tst_Tarvesk_Clipboard : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString tarvesk_;
    QString xclip_;
    QProcess xvfb_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> owners_;

    QString Write_File(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

    Tarvesk_Run Run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
    {
        Tarvesk_Run run;
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return run;
        ::fcntl(fds[1], F_SETFD, 0); // the write end goes to tarvesk
        run.alive = Alive_Pipe(fds[0]);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, args);
        const bool started = process.waitForStarted(Wait_Ms);
        ::close(fds[1]);
        if (started && process.waitForFinished(Wait_Ms) &&
            process.exitStatus() == QProcess::NormalExit)
            run.exit_code = process.exitCode();
        run.output = process.readAllStandardOutput() + process.readAllStandardError();
        return run;
    }

    Tarvesk_Run Run_Tarvesk(const QStringList& args) { return Run(tarvesk_, args, env_); }

    // The clipboard's data for the target; empty when there is none.
    QByteArray Read_Clipboard(const QString& target)
    {
        QProcess xclip;
        xclip.setProcessEnvironment(env_);
        xclip.start(xclip_, {"-selection", "clipboard", "-o", "-t", target});
        const bool done = xclip.waitForFinished(Wait_Ms) && xclip.exitCode() == 0;
        return done ? xclip.readAllStandardOutput() : QByteArray();
    }

    // Another program takes the clipboard; it stays the owner until the test ends.
    void Take_Clipboard(const QByteArray& text)
    {
        auto xclip = std::make_unique<QProcess>();
        xclip->setProcessEnvironment(env_);
        xclip->start(xclip_, {"-quiet", "-selection", "clipboard", "-i"});
        xclip->waitForStarted(Wait_Ms);
        xclip->write(text);
        xclip->waitForBytesWritten(Wait_Ms);
        xclip->closeWriteChannel(); // xclip claims the clipboard at the end of its input
        owners_.push_back(std::move(xclip));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        tarvesk_ = qEnvironmentVariable("ORVINTA_PROGRAM_DIR") + QStringLiteral("/tarvesk");
        QVERIFY2(QFile::exists(tarvesk_), qPrintable(tarvesk_));
        xclip_ = QStandardPaths::findExecutable(QStringLiteral("xclip"));
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        QVERIFY2(!xclip_.isEmpty() && !xvfb.isEmpty(), "needs xclip and Xvfb (scripts/deps)");

        // Xvfb picks a free display itself and names it once it takes connections.
        xvfb_.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
        QVERIFY(xvfb_.waitForStarted(Wait_Ms));
        while (!xvfb_.canReadLine())
            QVERIFY2(xvfb_.waitForReadyRead(Wait_Ms), "Xvfb named no display");
        const QByteArray number = xvfb_.readLine().trimmed();
        QVERIFY(!number.isEmpty());

        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(number));
        env_.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env_.remove(QStringLiteral("XAUTHORITY"));
        // The caller's platform choice (offscreen in tests) must not reach tarvesk's clipboard.
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }

    void cleanupTestCase()
    {
        for (auto& owner : owners_) {
            owner->kill();
            owner->waitForFinished(Wait_Ms);
        }
        xvfb_.terminate();
        xvfb_.waitForFinished(Wait_Ms);
    }

    void round_trip_until_another_owner_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("1000 x 500") << To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 1000, 500))
                                    << QByteArray("\x08\0\0\0\x10\x27\0\0\x88\x13\0\0\0\0\0\0", 16);
        // Far beyond one X11 request: the data goes out in pieces.
        QTest::newRow("2.8 MB metafile, 1 x 3")
            << To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 1, 3, 200000))
            << QByteArray("\x08\0\0\0\x05\x0d\0\0\x10\x27\0\0\0\0\0\0", 16);
    }

    void round_trip_until_another_owner()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, record);
        const QString path = Write_File(QStringLiteral("rose.wmf"), file);
        Tarvesk_Run run = Run_Tarvesk({path});
        QCOMPARE(run.exit_code, 0);
        QCOMPARE(run.output, QByteArray());
        QVERIFY2(!run.alive.Ended(0), "a process must stay to serve the clipboard");

        for (const char* target :
             {"image/x-wmf", "image/wmf", "application/x-msmetafile", Office_Target})
            QCOMPARE(Read_Clipboard(QString::fromLatin1(target)), file);
        QCOMPARE(Read_Clipboard(QStringLiteral("application/x-orvinta-metafilepict")), record);
        const QList<QByteArray> targets = Read_Clipboard(QStringLiteral("TARGETS")).split('\n');
        for (const char* target : {"image/x-wmf", "image/wmf", "application/x-msmetafile",
                                   Office_Target, "application/x-orvinta-metafilepict"})
            QVERIFY2(targets.contains(target), target);

        Take_Clipboard("x");
        QVERIFY2(run.alive.Ended(Wait_Ms),
                 "tarvesk must end when another program owns the clipboard");
        QCOMPARE(Read_Clipboard(QStringLiteral("UTF8_STRING")), QByteArray("x"));
    }

    void second_copy_replaces_first()
    {
        const QByteArray first = To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 7, 3));
        const QByteArray second = To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 1, 3));
        Tarvesk_Run one = Run_Tarvesk({Write_File(QStringLiteral("first.wmf"), first)});
        QCOMPARE(one.exit_code, 0);
        Tarvesk_Run two = Run_Tarvesk({Write_File(QStringLiteral("second.wmf"), second)});
        QCOMPARE(two.exit_code, 0);
        QVERIFY2(one.alive.Ended(Wait_Ms), "the first copy's process must end");
        QVERIFY(!two.alive.Ended(0));
        QCOMPARE(Read_Clipboard(QStringLiteral("image/x-wmf")), second);
        const QByteArray record("\x08\0\0\0\x05\x0d\0\0\x10\x27\0\0\0\0\0\0", 16);
        QCOMPARE(Read_Clipboard(QStringLiteral("application/x-orvinta-metafilepict")), record);
    }

    void path_with_blanks_data()
    {
        QTest::addColumn<bool>("through_shell");
        QTest::newRow("one argument") << false;
        QTest::newRow("unquoted through a shell") << true;
    }

    void path_with_blanks()
    {
        QFETCH(bool, through_shell);
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("my pictures")));
        const QByteArray file = To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 2540, 1905));
        const QString path = Write_File(QStringLiteral("my pictures/a b.wmf"), file);
        QVERIFY(!path.contains('\'') && !path.contains('"'));
        Tarvesk_Run run =
            through_shell ? Run(QStringLiteral("/bin/sh"),
                                {"-c", QStringLiteral("exec '%1' %2").arg(tarvesk_, path)}, env_)
                          : Run_Tarvesk({path});
        QCOMPARE(run.exit_code, 0);
        QCOMPARE(Read_Clipboard(QStringLiteral("image/x-wmf")), file);
    }

    // Each case starts with another metafile on the clipboard, which must stay.
    void rejected_file_leaves_clipboard_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit_code");
        const QByteArray good = To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 100, 100));
        QByteArray wrong_key = good;
        wrong_key[0] = '\x00';
        QByteArray bad_type = good;
        bad_type[22] = '\x03';
        const QString good_path = Write_File(QStringLiteral("good.wmf"), good);
        QTest::newRow("wrong key")
            << QStringList{Write_File(QStringLiteral("wrong-key.wmf"), wrong_key)} << 255;
        QTest::newRow("three-byte file")
            << QStringList{Write_File(QStringLiteral("three-bytes.wmf"), good.left(3))} << 255;
        QTest::newRow("missing file")
            << QStringList{dir_.filePath(QStringLiteral("none.wmf"))} << 255;
        QTest::newRow("quoted path is not found")
            << QStringList{QLatin1Char('"') + good_path + QLatin1Char('"')} << 255;
        QTest::newRow("no path") << QStringList{} << 255;
        QTest::newRow("invalid metafile data")
            << QStringList{Write_File(QStringLiteral("metafile-type-3.wmf"), bad_type)} << 0;
    }

    void rejected_file_leaves_clipboard()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit_code);
        const QByteArray before = To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 7, 3));
        Tarvesk_Run owner = Run_Tarvesk({Write_File(QStringLiteral("before.wmf"), before)});
        QCOMPARE(owner.exit_code, 0);

        Tarvesk_Run run = Run_Tarvesk(args);
        QCOMPARE(run.exit_code, exit_code);
        QCOMPARE(run.output, QByteArray());
        QVERIFY2(run.alive.Ended(Wait_Ms), "a rejected file must leave no process behind");
        QCOMPARE(Read_Clipboard(QStringLiteral("image/x-wmf")), before);
        QVERIFY(!owner.alive.Ended(0));
    }

    void no_display_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("no DISPLAY") << QString();
        QTest::newRow("display nobody serves") << QStringLiteral(":65000");
    }

    void no_display()
    {
        QFETCH(QString, display);
        QProcessEnvironment env = env_;
        env.remove(QStringLiteral("DISPLAY"));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        const QByteArray file = To_Bytes(tarvesk::test::Placeable_Metafile(0, 0, 10, 10));
        Tarvesk_Run run = Run(tarvesk_, {Write_File(QStringLiteral("no-display.wmf"), file)}, env);
        QCOMPARE(run.exit_code, 255);
        QCOMPARE(run.output, QByteArray()); // not even the display plugin's complaint
        QVERIFY2(run.alive.Ended(Wait_Ms), "nothing may be left running without a clipboard");
    }
};

QTEST_GUILESS_MAIN(Tst_Tarvesk_Clipboard)
#include "tst_tarvesk_clipboard.moc"
