// The clipboard against another program on a real X11 display: an Xvfb of the test's own,
// xclip reading what the control copied and offering what the control pastes. Ends with
// the skip code 77 when Xvfb or xclip is missing.
#include "Imaging_Fixture.h"
#include "TMultiP.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace imagetest;

namespace {

constexpr int Wait_Ms = 20000;
QString g_xclip;

// Runs xclip while the event loop serves the clipboard; its standard output.
QByteArray Xclip_Output(const QStringList& args)
{
    QProcess xclip;
    QSignalSpy done(&xclip, &QProcess::finished);
    xclip.start(g_xclip, args);
    if (!xclip.waitForStarted(Wait_Ms) || !done.wait(Wait_Ms) || xclip.exitCode() != 0)
        return {};
    return xclip.readAllStandardOutput();
}

QByteArray Read_Clipboard(const QString& target)
{
    return Xclip_Output({"-selection", "clipboard", "-o", "-t", target});
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class Tst_TMultiP_Xclip : public QObject
{
    Q_OBJECT

    Scratch m_dir;
    std::vector<std::unique_ptr<QProcess>> m_owners;

    // xclip takes the clipboard with data of a target; it serves until the test ends.
    void Offer(const QString& target, const QByteArray& bytes)
    {
        auto xclip = std::make_unique<QProcess>();
        xclip->start(g_xclip, {"-quiet", "-selection", "clipboard", "-i", "-t", target});
        QVERIFY(xclip->waitForStarted(Wait_Ms));
        xclip->write(bytes);
        QVERIFY(xclip->waitForBytesWritten(Wait_Ms));
        xclip->closeWriteChannel(); // xclip claims the clipboard at the end of its input
        m_owners.push_back(std::move(xclip));
        QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::clipboard()->ownsClipboard() &&
                                     QGuiApplication::clipboard()->mimeData()->hasFormat(target),
                                 Wait_Ms);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.Valid()); }

    void cleanupTestCase()
    {
        for (auto& owner : m_owners) {
            owner->kill();
            owner->waitForFinished(Wait_Ms);
        }
    }

    void bitmap_read_by_another_program()
    {
        TPMultiImage image;
        image.Set_ImageReadRes(lColorTrue);
        image.Set_ImageName(m_dir.Write("q.png", Encode(Quadrants(40, 30), "png")));
        image.CopyToClipboard();
        QVERIFY(Read_Clipboard("TARGETS").split('\n').contains("image/png"));
        const QImage read = QImage::fromData(Read_Clipboard("image/png"), "PNG");
        QCOMPARE(read.size(), QSize(40, 30));
        QCOMPARE(read.pixel(5, 5) | 0xff000000u, qRgb(255, 0, 0));
        QCOMPARE(read.pixel(35, 25) | 0xff000000u, qRgb(0, 0, 255));
    }

    void metafile_read_by_another_program()
    {
        TPMultiImage image;
        const QByteArray wmf = Two_Halves_Metafile(80, 40);
        image.Set_ImageName(m_dir.Write("h.wmf", wmf));
        image.CopyToClipboard();
        QCOMPARE(Read_Clipboard("image/x-wmf"), wmf);
        const QImage drawn = QImage::fromData(Read_Clipboard("image/png"), "PNG");
        QCOMPARE(drawn.size(), QSize(80, 40));
        QVERIFY(Near(drawn.pixel(10, 20), qRgb(255, 0, 0)));
        QVERIFY(Near(drawn.pixel(70, 20), qRgb(0, 0, 255)));
    }

    void paste_from_another_program()
    {
        TPMultiImage image;
        Offer("image/png", Png(Quadrants(24, 18)));
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().Graphic_Kind(), TPicture::Kind::Bitmap);
        QCOMPARE(image.Picture().Size(), QSize(24, 18));
        QCOMPARE(image.Picture().Bitmap().pixel(2, 16) | 0xff000000u, qRgb(255, 255, 0));

        Offer("image/x-wmf", Two_Halves_Metafile(60, 30));
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().Graphic_Kind(), TPicture::Kind::Metafile);
        QCOMPARE(image.Picture().Size(), QSize(60, 30));
    }
};

int main(int argc, char** argv)
{
    g_xclip = QStandardPaths::findExecutable(QStringLiteral("xclip"));
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (g_xclip.isEmpty() || xvfb.isEmpty()) {
        std::printf("SKIP: needs Xvfb and xclip (scripts/deps)\n");
        return 77;
    }
    // Xvfb picks a free display and names it on the pipe once it takes connections.
    int fds[2];
    if (::pipe(fds) != 0)
        return 1;
    const QByteArray program = QFile::encodeName(xvfb);
    const QByteArray fd = QByteArray::number(fds[1]);
    const pid_t server = ::fork();
    if (server == 0) {
        ::close(fds[0]);
        ::execl(program.constData(), "Xvfb", "-displayfd", fd.constData(), "-nolisten", "tcp",
                "-screen", "0", "640x480x24", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    QByteArray display;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        display += c;
    ::close(fds[0]);
    int rc = 1;
    if (server > 0 && !display.isEmpty()) {
        qputenv("DISPLAY", ":" + display);
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("XAUTHORITY");
        QApplication app(argc, argv);
        Tst_TMultiP_Xclip test;
        rc = QTest::qExec(&test, argc, argv);
    } else {
        std::fprintf(stderr, "Xvfb named no display\n");
    }
    if (server > 0) {
        ::kill(server, SIGTERM);
        ::waitpid(server, nullptr, 0);
    }
    return rc;
}

#include "tst_tmultip_xclip.moc"
