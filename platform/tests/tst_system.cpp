#include "DosPath.h"
#include "MessageBox.h"
#include "System.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class Tst_System : public QObject
{
    Q_OBJECT
private slots:
    void driveReady();
    void singleInstanceWithTwoProcesses();
    void startProgramPassesParametersUnchanged();
    void messageBoxScript();
};

void Tst_System::driveReady()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("disc"));
    QDir().mkpath(dir.filePath("empty-mount-point"));
    QFile id(dir.filePath("disc/CD.ID"));
    QVERIFY(id.open(QIODevice::WriteOnly));
    id.close();
    Platform::Drives().Map('D', dir.filePath("disc"));
    Platform::Drives().Map('E', dir.filePath("empty-mount-point"));
    Platform::Drives().Map('F', dir.filePath("missing"));
    QVERIFY(Platform::Drive_Ready('D'));
    QVERIFY(Platform::Drive_Ready('d'));
    QVERIFY(!Platform::Drive_Ready('E'));
    QVERIFY(!Platform::Drive_Ready('F'));
    QVERIFY(!Platform::Drive_Ready('Q'));
    QVERIFY(Platform::Drive_Ready('Z')); // the root is a mount point
}

void Tst_System::singleInstanceWithTwoProcesses()
{
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(PROBE_PATH, {});
    QVERIFY(first.waitForReadyRead(10000));
    QCOMPARE(first.readLine().trimmed(), QByteArray("first"));

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(PROBE_PATH, {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("second"));
    QCOMPARE(second.exitCode(), 0);

    // The first instance was asked to raise its window and ended on that.
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.readAllStandardOutput().trimmed(), QByteArray("raised"));
    QCOMPARE(first.exitCode(), 0);

    // Once the first has ended, a new instance is the first again.
    QProcess third;
    third.setProcessEnvironment(env);
    third.start(PROBE_PATH, {});
    QVERIFY(third.waitForReadyRead(10000));
    QCOMPARE(third.readLine().trimmed(), QByteArray("first"));
    third.kill();
    third.waitForFinished();
}

void Tst_System::startProgramPassesParametersUnchanged()
{
    QTemporaryDir dir;
    const QString script = dir.filePath("echo-arg");
    const QString out = dir.filePath("out.txt");
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" + out.toLocal8Bit() + ".part\"\nmv \"" +
            out.toLocal8Bit() + ".part\" \"" + out.toLocal8Bit() + "\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString parameter = QStringLiteral("D:\\My Pictures\\\"rose\".WMF");
    QVERIFY(Platform::Start_Program(Platform::Dos_Path(script), parameter));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    QFile result(out);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(result.readAll()), "1|" + parameter);
    QVERIFY(!Platform::Start_Program("Q:\\not\\mapped", "x"));
}

void Tst_System::messageBoxScript()
{
    Message_Box_Script script;
    script.Answer(Box_Answer::Cancel);
    QCOMPARE(Message_Box("Insert the disc", Box_Type::Warning, Box_Buttons::Ok_Cancel, "Cap"),
             Box_Answer::Cancel);
    QCOMPARE(Message_Box("Done", Box_Type::Information), Box_Answer::Ok);
    QCOMPARE(script.Boxes().size(), 2);
    QCOMPARE(script.Boxes().at(0).caption, QStringLiteral("Cap"));
    QCOMPARE(script.Boxes().at(0).type, Box_Type::Warning);
    QCOMPARE(script.Boxes().at(0).buttons, Box_Buttons::Ok_Cancel);
    QCOMPARE(script.Texts(), (QStringList{"Insert the disc", "Done"}));
}

QTEST_MAIN(Tst_System)
#include "tst_system.moc"
