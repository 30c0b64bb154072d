// The program really ends, with exit code 1 and after its warning box, when the archive
// library or its entry point cannot be loaded. A helper process runs the retrieval.
#include "Retrieval_Fixture.h"
#include "Zip_Builder.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace retrieval_test;

class Tst_Retrieval_Exit : public QObject
{
    Q_OBJECT
private slots:
    void Ending_data();
    void Ending();
};

void Tst_Retrieval_Exit::Ending_data()
{
    QTest::addColumn<int>("backEnd");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");

    QTest::newRow("library missing")
        << int(Back_End::None) << 1 << "box warning: Could not load DUNZIP32.DLL!\n";
    QTest::newRow("entry point missing")
        << int(Back_End::No_Entry) << 1 << "box warning: Could not load dunzip function!\n";
    QTest::newRow("library present") << int(Back_End::Real) << 0 << "returned\n";
}

void Tst_Retrieval_Exit::Ending()
{
    QFETCH(int, backEnd);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    Program_Folder program{Back_End(backEnd)};
    QTemporaryDir disc;
    const QString zip = disc.filePath(QStringLiteral("ROSE.ZIP"));
    QVERIFY(dunzip32_test::Write_Deflated_Zip(QFile::encodeName(zip).toStdString(),
                                              {{"ROSE.JPG", "picture"}}));

    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(RETRIEVAL_EXIT_HELPER), {program.Native(), zip});
    QVERIFY(helper.waitForFinished(60000));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), exitCode);
    QCOMPARE(QString::fromUtf8(helper.readAllStandardOutput()), output);
    QCOMPARE(QFile::exists(program.File(QStringLiteral("decomprs.JPG"))), exitCode == 0);
}

QTEST_GUILESS_MAIN(Tst_Retrieval_Exit)
#include "tst_retrieval_exit.moc"
