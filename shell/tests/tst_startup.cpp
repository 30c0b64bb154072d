#include "ActionMenu.h"
#include "MainWindow.h"
#include "Mkdisc.h"

#include "DosPath.h"
#include "MessageBox.h"
#include "Profile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "Fixture.h"

namespace {

QString Tree_Text(TForm1& form)
{
    return form.Cat_List->currentItem() ? form.Cat_List->currentItem()->text(0) : QString();
}

} // namespace

class Tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void demoStartShowsTreeInLanguage_data();
    void demoStartShowsTreeInLanguage();
    void derivedFolders();
    void givesUp_data();
    void givesUp();
    void retriesUntilDiscInserted();
    void languageFileRefused_data();
    void languageFileRefused();
    void oneLanguageHidesLanguageEntry();
    void brokenCatalogueEndsInOrder();
    void activeSwitchesHideEntries();
    void manualButtonFromCommandLine_data();
    void manualButtonFromCommandLine();
    void secondProcessEndsAtOnce();

private:
    QTemporaryDir m_runtime;
};

void Tst_Startup::initTestCase()
{
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", m_runtime.filePath("config").toLocal8Bit());
}

void Tst_Startup::demoStartShowsTreeInLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("zoomLabel");
    QTest::addColumn<QString>("helpFile");
    QTest::newRow("English") << "1"
                             << "Category 1"
                             << "Zoom"
                             << "D:\\HELP_EN.TXT";
    QTest::newRow("German") << "2"
                            << "Kategorie 1"
                            << "Ansehen"
                            << "D:\\HELP_DE.TXT";
    QTest::newRow("French") << "3"
                            << "Cat\u00E9gorie 1"
                            << "Agrandir"
                            << "D:\\HELP_FR.TXT";
    QTest::newRow("beyond the languages: the first") << "5"
                                                     << "Category 1"
                                                     << "Zoom"
                                                     << "D:\\HELP_EN.TXT";
    QTest::newRow("below 1: the first") << "0"
                                        << "Category 1"
                                        << "Zoom"
                                        << "D:\\HELP_EN.TXT";
}

void Tst_Startup::demoStartShowsTreeInLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QString, first);
    QFETCH(QString, zoomLabel);
    QFETCH(QString, helpFile);
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({3, 4})));
    f.Set("Install", "Lang", lang);
    Message_Box_Script script;
    TForm1 form({f.programFile(), {}});
    QVERIFY2(script.Boxes().isEmpty(), qPrintable(script.Texts().join('|')));
    QVERIFY(!form.State().Abort_Start);
    QCOMPARE(form.windowTitle(), QStringLiteral("Orvinta"));
    QCOMPARE(Tree_Text(form), first);
    QCOMPARE(form.Action_Menu->Entry(Menu_Zoom)->Label()->text(), zoomLabel);
    QCOMPARE(form.State().Help_File, helpFile);
    QVERIFY(form.State().Category_Mode);
    QCOMPARE(form.State().Lang_Strings.size(), 70);
    QCOMPARE(form.Action_Menu->Entry(Menu_Notes)->height(), 0);
}

void Tst_Startup::derivedFolders()
{
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({1})));
    QVERIFY(QDir().mkpath(f.disc() + "/PICS"));
    QVERIFY(QFile::copy(f.disc() + "/Cats.txt", f.disc() + "/PICS/Cats.txt"));
    QVERIFY(QFile::copy(f.disc() + "/orvinta.ID", f.disc() + "/PICS/orvinta.ID"));
    for (const char* name : {"HIGHLITE.BMP", "PALETTE.BMP", "RU_IMAGE.BMP"})
        QVERIFY(QFile::copy(f.disc() + "/" + name, f.disc() + "/PICS/" + name));
    f.Set("Install", "CD_Drive", "d:");
    f.Set("Install", "Data_Path", "PICS");
    f.Set("Install", "RU_Path", "Recent");
    Message_Box_Script script;
    TForm1 form({f.programFile(), {}});
    QVERIFY2(script.Boxes().isEmpty(), qPrintable(script.Texts().join('|')));
    const Browser_State& s = form.State();
    QCOMPARE(s.CD_Root, QStringLiteral("D:\\"));
    QCOMPARE(s.CD_Drive_Number, 4);
    QCOMPARE(s.Data_Root, QStringLiteral("d:\\PICS\\"));
    QVERIFY(s.Program_Dir.endsWith("\\program\\"));
    QCOMPARE(s.RU_Dir, s.Program_Dir + "Recent");
    QCOMPARE(Platform::Native_Path(s.Program_Dir), f.program() + "/");
    // The splash picture of language 2 is missing: the language-1 name is used.
    QCOMPARE(s.Splash_File, QStringLiteral("d:\\PICS\\1SPLASH.BMP"));
    QCOMPARE(int(s.Inserted_CD), 1);
}

void Tst_Startup::givesUp_data()
{
    QTest::addColumn<QString>("cdDrive");
    QTest::addColumn<QString>("damage"); // what is taken from the disc
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("buttons");
    const int error = int(Box_Type::Error), warning = int(Box_Type::Warning);
    const int ok = int(Box_Buttons::Ok), okCancel = int(Box_Buttons::Ok_Cancel);
    const QString noDrive = Mkdisc::Message_Text(14, 0);
    const QString insert = Mkdisc::Message_Text(15, 0) + " Orvinta CD";
    QTest::newRow("CD_Drive missing") << "<missing>"
                                      << "" << noDrive << error << ok;
    QTest::newRow("no colon") << "D"
                              << "" << noDrive << error << ok;
    QTest::newRow("leading blank") << "\" D:\\\""
                                   << "" << noDrive << error << ok;
    QTest::newRow("no medium, Cancel") << "D:\\"
                                       << "disc" << insert << warning << okCancel;
    QTest::newRow("no CD.ID") << "D:\\"
                              << "CD.ID" << Mkdisc::Message_Text(16, 0) << error << ok;
    QTest::newRow("no product marker, Cancel") << "D:\\"
                                               << "orvinta.ID" << insert << warning << okCancel;
}

void Tst_Startup::givesUp()
{
    QFETCH(QString, cdDrive);
    QFETCH(QString, damage);
    QFETCH(QString, text);
    QFETCH(int, type);
    QFETCH(int, buttons);
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2})));
    if (cdDrive == "<missing>") {
        QFile ini(f.program() + "/orvinta.INI");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QByteArray bytes = ini.readAll().replace("CD_Drive=D:\\\r\n", "");
        ini.close();
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(bytes);
    } else {
        f.Set("Install", "CD_Drive", cdDrive);
    }
    if (damage == "disc")
        QVERIFY(QDir(f.disc()).removeRecursively());
    else if (!damage.isEmpty())
        QVERIFY(QFile::remove(f.disc() + "/" + damage));

    Message_Box_Script script;
    script.Answer(Box_Answer::Cancel);
    TForm1 form({f.programFile(), {}});
    QCOMPARE(script.Texts(), QStringList{text});
    QCOMPARE(int(script.Boxes().first().type), type);
    QCOMPARE(int(script.Boxes().first().buttons), buttons);
    QVERIFY(form.State().Abort_Start);
    QCOMPARE(form.Cat_List->topLevelItemCount(), 0); // nothing after the failing step
    form.show();
    QVERIFY(form.Kill_Timer->isActive());
    QTRY_VERIFY(!form.isVisible()); // the 10 ms timer closes the window
}

void Tst_Startup::retriesUntilDiscInserted()
{
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2})));
    const QString parked = f.dir.filePath("parked");
    QVERIFY(QDir().rename(f.disc(), parked));
    Message_Box_Script script;
    // The user inserts the disc while the first prompt is open, then presses OK.
    script.On_Box([&](const Recorded_Box&) { QDir().rename(parked, f.disc()); });
    script.Answer(Box_Answer::Ok);
    TForm1 form({f.programFile(), {}});
    QCOMPARE(script.Boxes().size(), 1);
    QVERIFY(!form.State().Abort_Start);
    QCOMPARE(Tree_Text(form), QStringLiteral("Category 1"));
}

void Tst_Startup::languageFileRefused_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << "remove"
                             << "missing";
    QTest::newRow("too few messages") << "60 messages"
                                      << "60 messages";
    QTest::newRow("cut short") << "cut"
                               << "message";
    QTest::newRow("count not a number") << "word"
                                        << "number";
    QTest::newRow("flag missing") << "flag"
                                  << "flag icon";
}

void Tst_Startup::languageFileRefused()
{
    QFETCH(QString, damage);
    QFETCH(QString, why);
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2}), 3, damage == "60 messages" ? 60 : 70));
    const QString lng = f.program() + "/orvinta.LNG";
    QFile file(lng);
    if (damage == "remove") {
        QVERIFY(file.remove());
    } else if (damage == "cut" || damage == "word") {
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes = damage == "cut" ? bytes.left(bytes.size() / 2) : "three" + bytes.mid(1);
        file.resize(0);
        file.write(bytes);
        file.close();
    } else if (damage == "flag") {
        QVERIFY(QFile::remove(f.program() + "/Flags/GERMAN.ICO"));
    }
    Message_Box_Script script;
    TForm1 form({f.programFile(), {}});
    QCOMPARE(script.Boxes().size(), 1);
    QVERIFY2(script.Boxes().first().text.contains(why), qPrintable(script.Boxes().first().text));
    QCOMPARE(script.Boxes().first().type, Box_Type::Error);
    QVERIFY(form.State().Abort_Start);
    QVERIFY(form.Kill_Timer->isActive());
}

void Tst_Startup::oneLanguageHidesLanguageEntry()
{
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2}), 1));
    Message_Box_Script script;
    TForm1 form({f.programFile(), {}});
    QVERIFY(script.Boxes().isEmpty());
    QCOMPARE(form.State().Lang_Count, 1);
    QCOMPARE(form.Action_Menu->Entry(Menu_Language)->height(), 0);
    QCOMPARE(form.Action_Menu->Entry(Menu_Help)->height(), 32);
}

void Tst_Startup::brokenCatalogueEndsInOrder()
{
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2, 3})));
    QFile cats(f.disc() + "/Cats.txt");
    QVERIFY(cats.open(QIODevice::ReadWrite));
    const QByteArray bytes = cats.readAll();
    cats.resize(0);
    cats.write(bytes.left(bytes.size() - 40));
    cats.close();
    Message_Box_Script script;
    TForm1 form({f.programFile(), {}});
    QCOMPARE(script.Boxes().size(), 1);
    QVERIFY2(script.Texts().first().contains("Cats.txt"), qPrintable(script.Texts().first()));
    QCOMPARE(script.Boxes().first().type, Box_Type::Error);
    QVERIFY(form.State().Abort_Start);
}

void Tst_Startup::activeSwitchesHideEntries()
{
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2})));
    f.Set("Active", "Print", "0");
    f.Set("Active", "Help", "2"); // only 1 counts as on
    Message_Box_Script script;
    TForm1 form({f.programFile(), {}});
    QVERIFY(script.Boxes().isEmpty());
    QCOMPARE(form.Action_Menu->Entry(Menu_Print)->height(), 0);
    QCOMPARE(form.Action_Menu->Entry(Menu_Help)->height(), 0);
    QCOMPARE(form.Action_Menu->Entry(Menu_Save)->height(), 32);
    QVERIFY(!form.State().Active_Flags.Print);
    QVERIFY(form.State().Active_Flags.Help_Button);
}

void Tst_Startup::manualButtonFromCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("visible");
    QTest::newRow("/d") << QStringList{"/d"} << true;
    QTest::newRow("-DEBUG") << QStringList{"-DEBUG"} << true;
    QTest::newRow("/x") << QStringList{"/x"} << false;
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("only the first counts") << QStringList{"/x", "/d"} << false;
}

void Tst_Startup::manualButtonFromCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, visible);
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({1})));
    Message_Box_Script script;
    TForm1 form({f.programFile(), arguments});
    QCOMPARE(form.Manual->isVisibleTo(&form), visible);
}

void Tst_Startup::secondProcessEndsAtOnce()
{
    Fixture f;
    QVERIFY(f.Make(Mkdisc::Small_Disc({2})));
    QVERIFY(QFile::copy(ORVINTA_PATH, f.programFile()));
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(f.programFile(), {});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(runtime.path())
                                  .entryList({"SemaphoreName*"}, QDir::AllEntries | QDir::System)
                                  .isEmpty(),
                             10000);

    // The second copy must not even read its settings: make them unusable.
    f.Set("Install", "CD_Drive", "nonsense");
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(f.programFile(), {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

QTEST_MAIN(Tst_Startup)
#include "tst_startup.moc"
