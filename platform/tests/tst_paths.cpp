#include "DosPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class Tst_Paths : public QObject
{
    Q_OBJECT
private slots:
    void pathRules_data();
    void pathRules();
    void resolve_data();
    void resolve();
    void unmappedDrive();
    void toDos_data();
    void toDos();
    void fileExistsMeansOrdinaryFile();

private:
    void Touch(const QString& relative);
    QTemporaryDir m_dir;
};

void Tst_Paths::pathRules_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("folder");
    QTest::newRow("picture") << "D:\\CAT\\PIC\\ROSE.JPG"
                             << ".JPG"
                             << "D:\\CAT\\PIC\\ROSE.ZIP"
                             << "ROSE.JPG"
                             << "D:\\CAT\\PIC\\";
    QTest::newRow("dot in folder only") << "D:\\A.B\\ROSE"
                                        << ""
                                        << "D:\\A.B\\ROSE.ZIP"
                                        << "ROSE"
                                        << "D:\\A.B\\";
    QTest::newRow("two dots") << "C:\\x\\a.b.bmp"
                              << ".bmp"
                              << "C:\\x\\a.b.ZIP"
                              << "a.b.bmp"
                              << "C:\\x\\";
    QTest::newRow("drive only") << "D:ROSE.JPG"
                                << ".JPG"
                                << "D:ROSE.ZIP"
                                << "ROSE.JPG"
                                << "D:";
    QTest::newRow("no folder") << "ROSE"
                               << ""
                               << "ROSE.ZIP"
                               << "ROSE"
                               << "";
    QTest::newRow("trailing dot") << "D:\\ROSE."
                                  << "."
                                  << "D:\\ROSE.ZIP"
                                  << "ROSE."
                                  << "D:\\";
}

void Tst_Paths::pathRules()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QFETCH(QString, replaced);
    QFETCH(QString, fileName);
    QFETCH(QString, folder);
    QCOMPARE(Dos::Extension(path), extension);
    QCOMPARE(Dos::Replace_Extension(path, ".ZIP"), replaced);
    QCOMPARE(Dos::File_Name(path), fileName);
    QCOMPARE(Dos::Folder(path), folder);
}

void Tst_Paths::Touch(const QString& relative)
{
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void Tst_Paths::resolve_data()
{
    QTest::addColumn<QString>("dos");
    QTest::addColumn<QString>("native"); // relative to the disc folder
    QTest::newRow("exact") << "D:\\Cat\\Rose.jpg"
                           << "Cat/Rose.jpg";
    QTest::newRow("other case") << "D:\\CAT\\ROSE.JPG"
                                << "Cat/Rose.jpg";
    QTest::newRow("exact wins over other case") << "D:\\Cat\\TULIP.JPG"
                                                << "Cat/TULIP.JPG";
    QTest::newRow("case-insensitive picks the first by name") << "D:\\CAT\\TULIP.jpg"
                                                              << "Cat/TULIP.JPG";
    QTest::newRow("missing component kept") << "D:\\cat\\Missing\\X.JPG"
                                            << "Cat/Missing/X.JPG";
    QTest::newRow("folder with trailing backslash") << "d:\\CAT\\"
                                                    << "Cat/";
    QTest::newRow("root") << "D:\\"
                          << "";
}

void Tst_Paths::resolve()
{
    QFETCH(QString, dos);
    QFETCH(QString, native);
    Touch("Cat/Rose.jpg");
    Touch("Cat/TULIP.JPG");
    Touch("Cat/tulip.jpg");
    Drive_Map map;
    map.Map('D', m_dir.path() + "/");
    const QString root = m_dir.path();
    const QString expected = root + "/" + native;
    QCOMPARE(map.To_Native(dos), expected);
}

void Tst_Paths::unmappedDrive()
{
    Drive_Map map;
    QVERIFY(map.To_Native("Q:\\X").isEmpty());
    QCOMPARE(map.To_Native("Z:\\tmp"), QStringLiteral("/tmp"));
    QCOMPARE(map.Folder_Of('c'), QDir::homePath());
}

void Tst_Paths::toDos_data()
{
    QTest::addColumn<QString>("native");
    QTest::addColumn<QString>("dos");
    QTest::newRow("in mapped disc") << "/srv/disc/CAT/ROSE.JPG"
                                    << "D:\\CAT\\ROSE.JPG";
    QTest::newRow("disc root folder") << "/srv/disc/"
                                      << "D:\\";
    QTest::newRow("longest mapping wins") << "/srv/disc/sub/x"
                                          << "E:\\x";
    QTest::newRow("elsewhere is Z:") << "/opt/app/orvinta"
                                     << "Z:\\opt\\app\\orvinta";
    QTest::newRow("folder keeps its backslash") << "/opt/app/"
                                                << "Z:\\opt\\app\\";
}

void Tst_Paths::toDos()
{
    QFETCH(QString, native);
    QFETCH(QString, dos);
    Drive_Map map;
    map.Map('D', "/srv/disc");
    map.Map('e', "/srv/disc/sub/");
    QCOMPARE(map.To_Dos(native), dos);
}

void Tst_Paths::fileExistsMeansOrdinaryFile()
{
    Touch("Disc/CD.ID");
    QDir().mkpath(m_dir.filePath("Disc/Folder.BMP"));
    Platform::Drives().Map('D', m_dir.filePath("Disc"));
    QVERIFY(Platform::File_Exists("D:\\cd.id"));
    QVERIFY(!Platform::File_Exists("D:\\Folder.BMP"));
    QVERIFY(Platform::Folder_Exists("D:\\folder.bmp"));
    QVERIFY(!Platform::File_Exists("D:\\nothing"));
    QVERIFY(!Platform::File_Exists("Y:\\unmapped"));

    QFile file;
    QVERIFY(Platform::Open_For_Reading("D:\\CD.ID", file)); // as written
    file.close();
    QVERIFY(Platform::Open_For_Reading("d:\\Cd.Id", file)); // resolved without regard to case
    QCOMPARE(file.fileName(), m_dir.filePath("Disc/CD.ID"));
    file.close();
    QVERIFY(!Platform::Open_For_Reading("D:\\Folder.BMP", file)); // a folder is no file
    QVERIFY(!Platform::Open_For_Reading("D:\\nothing", file));
}

QTEST_GUILESS_MAIN(Tst_Paths)
#include "tst_paths.moc"
