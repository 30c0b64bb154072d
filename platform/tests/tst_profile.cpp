#include "AnsiText.h"
#include "Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char* const kSample = "; settings\r\n"
                            "[Install]\r\n"
                            "CD_Drive = d:\\ \r\n"
                            "Lang=2\r\n"
                            "lang=3\r\n"
                            "Hex=0x1F\r\n"
                            "Dollar=$10\r\n"
                            "Word=abc\r\n"
                            "Empty=\r\n"
                            "Quoted=\"  a b  \"\r\n"
                            "Name=V\xF6gel\r\n"
                            "[active]\r\n"
                            "Print=2\r\n"
                            "Help=1\r\n"
                            "[INSTALL]\r\n"
                            "Late=1\r\n";
}

class Tst_Profile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void switches();
    void writeKeepsOtherLines();
    void writeAddsSectionAndKey();
    void writeFailureKeepsFile();
    void settingsLookup();

private:
    QString Write_Sample();
    QTemporaryDir m_dir;
};

void Tst_Profile::init()
{
    QVERIFY(m_dir.isValid());
}

QString Tst_Profile::Write_Sample()
{
    const QString path = m_dir.filePath("orvinta.INI");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(kSample);
    return path;
}

void Tst_Profile::readString_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("trimmed") << "Install"
                             << "CD_Drive"
                             << "d:\\";
    QTest::newRow("section and key ignore case") << "INSTALL"
                                                 << "cd_drive"
                                                 << "d:\\";
    QTest::newRow("first match wins") << "install"
                                      << "LANG"
                                      << "2";
    QTest::newRow("only the first section counts") << "Install"
                                                   << "Late"
                                                   << "<default>";
    QTest::newRow("empty value is not the default") << "Install"
                                                    << "Empty"
                                                    << "";
    QTest::newRow("quotes removed") << "Install"
                                    << "Quoted"
                                    << "  a b  ";
    QTest::newRow("missing key") << "Install"
                                 << "Nothing"
                                 << "<default>";
    QTest::newRow("missing section") << "Other"
                                     << "Lang"
                                     << "<default>";
    QTest::newRow("ansi text") << "Install"
                               << "Name"
                               << "V\u00F6gel";
}

void Tst_Profile::readString()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    Profile_File profile(Write_Sample());
    QCOMPARE(profile.Read_String(section, key, "<default>"), value);
}

void Tst_Profile::readInteger_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "Lang" << 2;
    QTest::newRow("0x hex") << "Hex" << 31;
    QTest::newRow("$ hex") << "Dollar" << 16;
    QTest::newRow("word gives default") << "Word" << 77;
    QTest::newRow("empty gives default") << "Empty" << 77;
    QTest::newRow("missing gives default") << "Nothing" << 77;
}

void Tst_Profile::readInteger()
{
    QFETCH(QString, key);
    QFETCH(int, value);
    Profile_File profile(Write_Sample());
    QCOMPARE(profile.Read_Integer("Install", key, 77), value);
    QCOMPARE(Profile_File::To_Integer("0xFFFFFFFF", 0), -1);
    QCOMPARE(Profile_File::To_Integer("12abc", 5), 5);
}

void Tst_Profile::switches()
{
    Profile_File profile(Write_Sample());
    QVERIFY(!profile.Read_Switch("Active", "Print", 1)); // 2 is not 1
    QVERIFY(profile.Read_Switch("Active", "Help", 0));
    QVERIFY(profile.Read_Switch("Active", "Copy", 1)); // missing: default
    QCOMPARE(profile.Read_Keys("Active"), (QStringList{"Print", "Help"}));
}

void Tst_Profile::writeKeepsOtherLines()
{
    const QString path = Write_Sample();
    Profile_File profile(path);
    QVERIFY(profile.Write_Integer("INSTALL", "LANG", 3));
    QCOMPARE(profile.Read_Integer("Install", "Lang", 0), 3);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    QByteArray expected(kSample);
    expected.replace("Lang=2\r\n", "LANG=3\r\n");
    QCOMPARE(written, expected);
    // Replaced atomically: no temporary file stays behind.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"orvinta.INI"});
}

void Tst_Profile::writeAddsSectionAndKey()
{
    const QString path = Write_Sample();
    Profile_File profile(path);
    QVERIFY(profile.Write_String("Active", "Copy", "0"));
    QVERIFY(profile.Write_String("Drives", "D", "/media/cdrom"));
    QCOMPARE(profile.Read_Integer("Active", "Copy", 1), 0);
    QCOMPARE(profile.Read_Integer("Active", "Print", 1), 2);
    QCOMPARE(profile.Read_String("Drives", "D", ""), QStringLiteral("/media/cdrom"));
    QCOMPARE(profile.Read_String("Install", "Name", ""), QStringLiteral("V\u00F6gel"));

    Profile_File fresh(m_dir.filePath("sub/new.INI"));
    QVERIFY(fresh.Write_Integer("Install", "Lang", 2));
    QCOMPARE(fresh.Read_Integer("Install", "Lang", 0), 2);
}

void Tst_Profile::writeFailureKeepsFile()
{
    // The folder of the settings file is an ordinary file: nothing can be written there.
    QFile blocker(m_dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Profile_File profile(m_dir.filePath("blocker/orvinta.INI"));
    QVERIFY(!profile.Write_Integer("Install", "Lang", 9));
    QVERIFY(!profile.errorText().isEmpty());
    QCOMPARE(profile.Read_Integer("Install", "Lang", 0), 0);
}

void Tst_Profile::settingsLookup()
{
    const QString program = m_dir.filePath("prog");
    const QString config = m_dir.filePath("config");
    QDir().mkpath(program);
    QDir().mkpath(config);
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    // Neither: the settings folder is where a write goes.
    QCOMPARE(Platform::Settings_File_Path(program, "orvinta"), config + "/orvinta.INI");
    QFile c(config + "/Orvinta.ini");
    QVERIFY(c.open(QIODevice::WriteOnly));
    c.close();
    QCOMPARE(Platform::Settings_File_Path(program, "orvinta"), config + "/Orvinta.ini");
    QFile p(program + "/orvinta.INI");
    QVERIFY(p.open(QIODevice::WriteOnly));
    p.close();
    QCOMPARE(Platform::Settings_File_Path(program, "orvinta"), program + "/orvinta.INI");
}

QTEST_GUILESS_MAIN(Tst_Profile)
#include "tst_profile.moc"
