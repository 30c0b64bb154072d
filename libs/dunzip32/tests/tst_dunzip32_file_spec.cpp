// DOS wildcards of the file spec against member names.
#include "File_Spec.h"

#include <QTest>

class Tst_Dunzip32_File_Spec : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("expected");

        QTest::newRow("*.* takes a name without a dot") << "*.*"
                                                        << "README" << true;
        QTest::newRow("*.* takes a name in a folder") << "*.*"
                                                      << "sub/dir/x" << true;
        QTest::newRow("* takes several dots") << "*"
                                              << "a.b.c" << true;
        QTest::newRow("empty spec takes everything") << ""
                                                     << "x" << true;
        QTest::newRow("case does not count") << "*.JPG"
                                             << "pics/Rose.jpg" << true;
        QTest::newRow("plain name without regard to case") << "ROSE.JPG"
                                                           << "rose.jpg" << true;
        QTest::newRow("other extension") << "*.jpg"
                                         << "rose.txt" << false;
        QTest::newRow("extension cut short") << "*.jp"
                                             << "rose.jpg" << false;
        QTest::newRow("name longer than the pattern") << "rose.jpg"
                                                   << "rose.jpgx" << false;
        QTest::newRow("? is one character") << "ros?.jpg"
                                            << "rose.jpg" << true;
        QTest::newRow("? is not nothing inside a name") << "r?se.jpg"
                                                        << "rse.jpg" << false;
        QTest::newRow("? run shortens before a dot") << "???.txt"
                                                     << "ab.txt" << true;
        QTest::newRow("? run does not grow") << "???.txt"
                                             << "abcd.txt" << false;
        QTest::newRow("? at the end may be nothing") << "rose.jp?"
                                                     << "rose.jp" << true;
        QTest::newRow("? is not a dot") << "rose?jpg"
                                        << "rose.jpg" << false;
        QTest::newRow("name.* takes the bare name") << "rose.*"
                                                    << "rose" << true;
        QTest::newRow("*. takes a name without extension") << "*."
                                                           << "README" << true;
        QTest::newRow("*. refuses an extension") << "*."
                                                 << "rose.jpg" << false;
        QTest::newRow("*. looks at the file name only") << "*."
                                                        << "v1.0/README" << true;
        QTest::newRow("star before a dot stops at the last dot") << "*.b"
                                                                 << "a.b.c" << false;
        QTest::newRow("star before a dot reaches the last dot") << "*.c"
                                                                << "a.b.c" << true;
        QTest::newRow("two extensions") << "*.b.c"
                                        << "a.b.c" << true;
        QTest::newRow("dot file") << "*.txt"
                                  << ".txt" << true;
        QTest::newRow("backslash in the pattern is a separator") << "SUB\\*.txt"
                                                              << "sub/a.txt" << true;
        QTest::newRow("folder in the pattern must match") << "sub/*"
                                                       << "other/a.txt" << false;
    }

    void matches()
    {
        QFETCH(QString, spec);
        QFETCH(QString, name);
        QFETCH(bool, expected);
        QCOMPARE(dunzip32::Matches_File_Spec(spec.toStdString(), name.toStdString()), expected);
    }
};

QTEST_GUILESS_MAIN(Tst_Dunzip32_File_Spec)
#include "tst_dunzip32_file_spec.moc"
