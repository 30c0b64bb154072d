// Action 8 through the library's entry point: what lands in the destination, what is
// refused, and what the callbacks are told.
#include "Unzip_Call.h"
#include "Zip_Builder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace dunzip32_test;
using Kind = Raw_Member::Kind;
using Tree = std::vector<std::string>;

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

Tree Tree_Of(const QStringList& names)
{
    Tree tree;
    for (const QString& name : names)
        tree.push_back(name.toStdString());
    std::sort(tree.begin(), tree.end());
    return tree;
}

} // namespace

class Tst_Dunzip32_Extract : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> sandbox_;
    std::string zip_, dest_, outside_;

    void Save(const std::string& bytes) { Write_File(zip_, bytes); }
    std::string Dest(const std::string& name) const { return dest_ + "/" + name; }

    // Three members whose sizes make several minor status calls for the first.
    void Save_Progress_Archive()
    {
        QVERIFY(Write_Deflated_Zip(
            zip_,
            {{"a.bin", Noise(600000, 1)}, {"b.txt", "bee"}, {"c.txt", std::string(1000, 'c')}}));
    }

private slots:
    void init()
    {
        sandbox_ = std::make_unique<QTemporaryDir>();
        QVERIFY(sandbox_->isValid());
        zip_ = sandbox_->filePath("test.zip").toStdString();
        dest_ = sandbox_->filePath("dest").toStdString();
        outside_ = sandbox_->filePath("outside").toStdString();
        std::filesystem::create_directory(dest_);
        std::filesystem::create_directory(outside_);
        Write_File(outside_ + "/target.txt", "outside");
    }

    void extractsMembersWithFolders()
    {
        const std::string rose = Noise(300000, 7);
        QVERIFY(Write_Deflated_Zip(zip_, {{"ROSE.JPG", rose},
                                          {"README.TXT", "read me\n"},
                                          {"docs/", ""},
                                          {"docs/deep/notes.txt", "notes"},
                                          {"empty/", ""},
                                          {"zero.txt", ""}}));
        Unzip_Call call(zip_, dest_ + "/");
        QCOMPARE(call.Run(&dunzip), DUNZIP_OK);
        const Tree expected{"README.TXT",          "ROSE.JPG", "docs/",   "docs/deep/",
                            "docs/deep/notes.txt", "empty/",   "zero.txt"};
        QCOMPARE(List_Tree(dest_), expected);
        QCOMPARE(Read_File(Dest("ROSE.JPG")), rose);
        QCOMPARE(Read_File(Dest("README.TXT")), std::string("read me\n"));
        QCOMPARE(Read_File(Dest("docs/deep/notes.txt")), std::string("notes"));
        QCOMPARE(Read_File(Dest("zero.txt")), std::string());
        QVERIFY(call.messages.empty());
    }

    // Names written on other systems: backslashes as separators, "." and doubled
    // separators; each file gets the member's time.
    void normalisesNamesAndKeepsTimes()
    {
        Save(Raw_Zip({{"win\\path\\file.txt", "w"}, {"./dot/x.txt", "x"}, {"a//b.txt", "b"}}));
        Unzip_Call call(zip_, dest_);
        QCOMPARE(call.Run(&dunzip), DUNZIP_OK);
        const Tree expected{"a/",        "a/b.txt",          "dot/", "dot/x.txt", "win/",
                            "win/path/", "win/path/file.txt"};
        QCOMPARE(List_Tree(dest_), expected);
        const QDateTime stored(QDate(Raw_Year, Raw_Month, Raw_Day),
                               QTime(Raw_Hour, Raw_Minute, Raw_Second));
        QCOMPARE(QFileInfo(QString::fromStdString(Dest("win/path/file.txt"))).lastModified(),
                 stored);
    }

    void fileSpecSelects_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("by extension, in every folder")
            << "*.TXT" << QStringList{"a.txt", "sub/", "sub/c.txt"};
        QTest::newRow("one folder") << "sub\\*" << QStringList{"sub/", "sub/c.txt"};
        QTest::newRow("one name") << "b.jpg" << QStringList{"b.jpg"};
    }

    void fileSpecSelects()
    {
        QFETCH(QString, spec);
        QFETCH(QStringList, expected);
        Save(Raw_Zip({{"a.txt", "a"}, {"b.jpg", "b"}, {"sub/c.txt", "c"}}));
        Unzip_Call call(zip_, dest_);
        call.spec = spec.toStdString();
        QCOMPARE(call.Run(&dunzip), DUNZIP_OK);
        QCOMPARE(List_Tree(dest_), Tree_Of(expected));
    }

    // What stands at a member's place already. The caller clears the read-only
    // attribute after each extraction; a read-only file left by an earlier run is
    // replaced all the same, since the new file is renamed over it.
    void existingTargets_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("content");
        QTest::newRow("read-only file is replaced") << "read-only file" << true << 0 << "new";
        QTest::newRow("file kept when overwriting is off") << "file" << false << 0 << "old";
        QTest::newRow("link at the place is replaced, not followed")
            << "link" << true << 0 << "new";
        QTest::newRow("folder at a file's place")
            << "folder" << true << int(DUNZIP_WRITE_FAILED) << "";
    }

    void existingTargets()
    {
        QFETCH(QString, existing);
        QFETCH(bool, overwrite);
        QFETCH(int, expected);
        QFETCH(QString, content);
        const std::string victim = Dest("victim.txt");
        if (existing == "read-only file" || existing == "file") {
            Write_File(victim, "old");
            if (existing == "read-only file")
                QCOMPARE(::chmod(victim.c_str(), 0444), 0);
        } else if (existing == "link") {
            std::filesystem::create_symlink(outside_ + "/target.txt", victim);
        } else {
            std::filesystem::create_directory(victim);
        }
        Save(Raw_Zip({{"first.txt", "1"}, {"victim.txt", "new"}}));
        Unzip_Call call(zip_, dest_);
        call.overwrite = overwrite;
        QCOMPARE(call.Run(&dunzip), expected);
        QCOMPARE(Read_File(outside_ + "/target.txt"), std::string("outside"));
        if (expected != DUNZIP_OK) {
            // found before anything was written
            QVERIFY(!std::filesystem::exists(Dest("first.txt")));
            QCOMPARE(List_Tree(dest_), Tree{"victim.txt/"});
            return;
        }
        QVERIFY(!std::filesystem::is_symlink(victim));
        QCOMPARE(Read_File(victim), content.toStdString());
        QCOMPARE(List_Tree(dest_), (Tree{"first.txt", "victim.txt"}));
    }

    // An archive whose member would land outside the destination is refused whole:
    // nothing is written, inside or outside. "{outside}" and "{dest}" stand for the
    // sandbox folders.
    void hostileArchives_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("existingLink");
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("lands"); // for names that are safe after all
        const int file = int(Kind::File), folder = int(Kind::Folder), link = int(Kind::Link);
        auto row = [](const char* title) -> QTestData& { return QTest::newRow(title); };

        row("absolute name") << "{outside}/evil.txt" << file << ""
                             << ""
                             << ""
                             << "*.*"
                             << "";
        row("absolute with backslash") << "\\evil.txt" << file << ""
                                       << ""
                                       << ""
                                       << "*.*"
                                       << "";
        row("drive letter") << "C:evil.txt" << file << ""
                            << ""
                            << ""
                            << "*.*"
                            << "";
        row("drive letter and root") << "c:\\evil.txt" << file << ""
                                     << ""
                                     << ""
                                     << "*.*"
                                     << "";
        row("parent folder") << "../evil.txt" << file << ""
                             << ""
                             << ""
                             << "*.*"
                             << "";
        row("climbs after a folder") << "sub/../../evil.txt" << file << ""
                                     << ""
                                     << ""
                                     << "*.*"
                                     << "";
        row("parent inside the name") << "sub/../evil.txt" << file << ""
                                      << ""
                                      << ""
                                      << "*.*"
                                      << "";
        row("folder member climbing") << "../evil/" << folder << ""
                                      << ""
                                      << ""
                                      << "*.*"
                                      << "";
        row("backslash climbing") << "..\\evil.txt" << file << ""
                                  << ""
                                  << ""
                                  << "*.*"
                                  << "";
        row("backslash climbing after a folder") << "sub\\..\\..\\evil.txt" << file << ""
                                                 << ""
                                                 << ""
                                                 << "*.*"
                                                 << "";
        row("mixed separators") << "sub/..\\..\\evil.txt" << file << ""
                                << ""
                                << ""
                                << "*.*"
                                << "";
        row("symlink member") << "evil-link" << link << "{outside}"
                              << ""
                              << ""
                              << "*.*"
                              << "";
        row("symlink member to a file") << "passwd" << link << "/etc/passwd"
                                        << ""
                                        << ""
                                        << "*.*"
                                        << "";
        row("through a folder link in the destination") << "outlink/evil.txt" << file << ""
                                                        << "outlink"
                                                        << "{outside}"
                                                        << "*.*"
                                                        << "";
        row("through a nested folder link") << "sub/outlink/evil.txt" << file << ""
                                            << "sub/outlink"
                                            << "{outside}"
                                            << "*.*"
                                            << "";
        row("relative link that climbs") << "up/evil.txt" << file << ""
                                         << "up"
                                         << "../outside"
                                         << "*.*"
                                         << "";
        row("folder member through a link") << "outlink/newdir/" << folder << ""
                                            << "outlink"
                                            << "{outside}"
                                            << "*.*"
                                            << "";
        row("through a dangling link") << "gone/evil.txt" << file << ""
                                       << "gone"
                                       << "{outside}/missing"
                                       << "*.*"
                                       << "";
        row("hostile member outside the file spec") << "../evil.txt" << file << ""
                                                    << ""
                                                    << ""
                                                    << "first.txt"
                                                    << "";
        row("link that stays inside is followed") << "inlink/ok.txt" << file << ""
                                                  << "inlink"
                                                  << "{dest}/sub"
                                                  << "*.*"
                                                  << "sub/ok.txt";
        row("relative link that stays inside") << "rel/ok.txt" << file << ""
                                               << "rel"
                                               << "sub"
                                               << "*.*"
                                               << "sub/ok.txt";
        row("dots inside a name are no climbing") << "a..b.txt" << file << ""
                                                  << ""
                                                  << ""
                                                  << "*.*"
                                                  << "a..b.txt";
    }

    void hostileArchives()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, data);
        QFETCH(QString, existingLink);
        QFETCH(QString, linkTarget);
        QFETCH(QString, spec);
        QFETCH(QString, lands);
        const auto expand = [this](const QString& text) {
            return Replace(Replace(text.toStdString(), "{outside}", outside_), "{dest}", dest_);
        };
        std::filesystem::create_directory(Dest("sub"));
        if (!existingLink.isEmpty())
            std::filesystem::create_symlink(expand(linkTarget), Dest(existingLink.toStdString()));
        const std::string hostile = expand(name);
        Save(Raw_Zip({{"first.txt", "1"},
                      {hostile, expand(data), static_cast<Kind>(kind)},
                      {"last.txt", "3"}}));
        const Tree destBefore = List_Tree(dest_);
        const Tree outsideBefore = List_Tree(outside_);

        Unzip_Call call(zip_, dest_);
        call.spec = spec.toStdString();
        const int32_t result = call.Run(&dunzip);

        QCOMPARE(List_Tree(outside_), outsideBefore);
        QCOMPARE(Read_File(outside_ + "/target.txt"), std::string("outside"));
        if (!lands.isEmpty()) {
            QCOMPARE(result, DUNZIP_OK);
            QVERIFY(std::filesystem::is_regular_file(Dest(lands.toStdString())));
            return;
        }
        QCOMPARE(result, DUNZIP_UNSAFE_NAME);
        QCOMPARE(List_Tree(dest_), destBefore);
        QVERIFY(call.statuses.empty());
        QCOMPARE(call.messages.size(), size_t(1));
        QCOMPARE(call.messages[0].id, int32_t(DUNZIP_UNSAFE_NAME));
        QCOMPARE(call.messages[0].type, int32_t(DUNZIP_MB_WARNING));
        QCOMPARE(call.messages[0].text1, hostile);
        QCOMPARE(call.messages[0].p1, 1); // the member's index in the archive
    }

    // Failures that are not about names. A member fully extracted before the failure
    // stays; the failing member never leaves a file or a temporary file behind.
    void failures_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("testOnly");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("left");
        const QStringList none, good{"good.txt"};
        QTest::newRow("archive missing") << "missing"
                                         << "*.*"
                                         << "" << false << int(DUNZIP_ARCHIVE_MISSING) << none;
        QTest::newRow("archive is a folder") << "folder"
                                             << "*.*"
                                             << "" << false << int(DUNZIP_ARCHIVE_MISSING) << none;
        QTest::newRow("not a zip") << "text"
                                   << "*.*"
                                   << "" << false << int(DUNZIP_NOT_A_ZIP) << none;
        QTest::newRow("empty file") << "empty"
                                    << "*.*"
                                    << "" << false << int(DUNZIP_NOT_A_ZIP) << none;
        QTest::newRow("end record cut off") << "truncated"
                                            << "*.*"
                                            << "" << false << int(DUNZIP_NOT_A_ZIP) << none;
        QTest::newRow("damaged stored member") << "damaged stored"
                                               << "*.*"
                                               << "" << false << int(DUNZIP_DAMAGED) << good;
        QTest::newRow("damaged deflated member") << "damaged deflated"
                                                 << "*.*"
                                                 << "" << false << int(DUNZIP_DAMAGED) << good;
        QTest::newRow("encrypted without a code") << "encrypted"
                                                  << "*.*"
                                                  << "" << false << int(DUNZIP_ENCRYPTED) << none;
        QTest::newRow("encrypted with a wrong code")
            << "encrypted"
            << "*.*"
            << "wrong" << false << int(DUNZIP_WRONG_CODE) << good;
        QTest::newRow("encrypted with its code")
            << "encrypted"
            << "*.*"
            << "secret" << false << int(DUNZIP_OK) << QStringList{"good.txt", "secret.txt"};
        QTest::newRow("unknown compression method")
            << "method"
            << "*.*"
            << "" << false << int(DUNZIP_UNSUPPORTED_METHOD) << none;
        QTest::newRow("no member matches") << "damaged stored"
                                           << "*.gif"
                                           << "" << false << int(DUNZIP_NO_MATCH) << none;
        QTest::newRow("destination missing") << "no destination"
                                             << "*.*"
                                             << "" << false << int(DUNZIP_DEST_MISSING) << none;
        QTest::newRow("destination is a file")
            << "file destination"
            << "*.*"
            << "" << false << int(DUNZIP_DEST_MISSING) << QStringList{"file"};
        QTest::newRow("test only, sound archive") << "encrypted"
                                                  << "*.*"
                                                  << "secret" << true << int(DUNZIP_OK) << none;
        QTest::newRow("test only, damaged member") << "damaged deflated"
                                                   << "*.*"
                                                   << "" << true << int(DUNZIP_DAMAGED) << none;
    }

    void failures()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, spec);
        QFETCH(QString, code);
        QFETCH(bool, testOnly);
        QFETCH(int, expected);
        QFETCH(QStringList, left);
        std::string destination = dest_;
        if (fixture == "folder") {
            std::filesystem::create_directory(zip_);
        } else if (fixture == "text") {
            Save("This is not an archive.\n");
        } else if (fixture == "empty") {
            Save("");
        } else if (fixture == "truncated") {
            const std::string whole = Raw_Zip({{"good.txt", "good"}});
            Save(whole.substr(0, whole.size() - 22));
        } else if (fixture == "damaged stored") {
            std::string bytes = Raw_Zip({{"good.txt", "good"}, {"bad.bin", Noise(1000, 3)}});
            bytes[Member_Data(bytes, 1).offset + 500] ^= 0x20;
            Save(bytes);
        } else if (fixture == "damaged deflated") {
            std::string text;
            for (int line = 0; line < 5000; ++line)
                text += "line " + std::to_string(line * line) + "\n";
            QVERIFY(Write_Deflated_Zip(zip_, {{"good.txt", "good"}, {"bad.txt", text}}));
            std::string bytes = Read_File(zip_);
            const Data_Span span = Member_Data(bytes, 1);
            bytes[span.offset + span.size / 2] ^= 0x55;
            Save(bytes);
        } else if (fixture == "encrypted") {
            Raw_Member secret{"secret.txt", "the secret", Kind::File, "secret"};
            Save(Raw_Zip({{"good.txt", "good"}, secret}));
        } else if (fixture == "method") {
            Raw_Member odd{"odd.bin", "data", Kind::File, "", 97}; // a method libzip lacks
            Save(Raw_Zip({{"good.txt", "good"}, odd}));
        } else if (fixture == "no destination") {
            Save(Raw_Zip({{"good.txt", "good"}}));
            destination = Dest("missing");
        } else if (fixture == "file destination") {
            Save(Raw_Zip({{"good.txt", "good"}}));
            destination = Dest("file");
            Write_File(destination, "");
        }

        Unzip_Call call(zip_, destination);
        call.spec = spec.toStdString();
        call.decryptCode = code.toStdString();
        call.testOnly = testOnly;
        QCOMPARE(call.Run(&dunzip), expected);
        QCOMPARE(List_Tree(dest_), Tree_Of(left));
        if (expected == DUNZIP_OK) {
            QVERIFY(call.messages.empty());
            if (left.contains("secret.txt"))
                QCOMPARE(Read_File(Dest("secret.txt")), std::string("the secret"));
        } else {
            QCOMPARE(call.messages.size(), size_t(1));
            QCOMPARE(call.messages[0].id, int32_t(expected));
        }
    }

    void cancel_data()
    {
        QTest::addColumn<int>("majorAt");
        QTest::addColumn<int>("minorAt");
        QTest::addColumn<bool>("renameCancels");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("major status at the first member") << 1 << 0 << false << QStringList{};
        QTest::newRow("major status at the second member")
            << 2 << 0 << false << QStringList{"a.bin"};
        QTest::newRow("minor status before the first chunk") << 0 << 1 << false << QStringList{};
        QTest::newRow("minor status after a chunk") << 0 << 2 << false << QStringList{};
        QTest::newRow("minor status at the second member")
            << 0 << 5 << false << QStringList{"a.bin"};
        QTest::newRow("rename callback") << 0 << 0 << true << QStringList{};
    }

    void cancel()
    {
        QFETCH(int, majorAt);
        QFETCH(int, minorAt);
        QFETCH(bool, renameCancels);
        QFETCH(QStringList, left);
        Save_Progress_Archive();
        Unzip_Call call(zip_, dest_);
        call.cancelMajorAt = majorAt;
        call.cancelMinorAt = minorAt;
        if (renameCancels)
            call.rename = [](DZRename&) { return int32_t(DUNZIP_CANCEL); };
        QCOMPARE(call.Run(&dunzip), DUNZIP_CANCELLED);
        QCOMPARE(List_Tree(dest_), Tree_Of(left));
        QVERIFY(call.messages.empty());
    }

    void statusCallbacksReportProgress()
    {
        Save_Progress_Archive();
        Unzip_Call call(zip_, dest_);
        QCOMPARE(call.Run(&dunzip), DUNZIP_OK);

        std::vector<std::string> majorItems;
        std::vector<int32_t> majorPercents;
        std::map<std::string, std::vector<int32_t>> minor;
        for (const Unzip_Call::Status& s : call.statuses) {
            if (s.major) {
                majorItems.push_back(s.item);
                majorPercents.push_back(s.percent);
            } else {
                minor[s.item].push_back(s.percent);
            }
        }
        QCOMPARE(majorItems, (std::vector<std::string>{"a.bin", "b.txt", "c.txt"}));
        const int32_t total = 600000 + 3 + 1000;
        QCOMPARE(majorPercents,
                 (std::vector<int32_t>{0, 600000 * 100 / total, 600003 * 100 / total}));
        QVERIFY(minor["a.bin"].size() >= 3); // 0, then one call per chunk
        for (const auto& [item, percents] : minor) {
            QVERIFY2(std::is_sorted(percents.begin(), percents.end()), item.c_str());
            QCOMPARE(percents.front(), 0);
            QCOMPARE(percents.back(), 100);
        }
        QCOMPARE(minor.size(), size_t(3));
    }

    void renameCallback_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("into a new folder")
            << "renamed/b.txt" << 0 << QStringList{"other.txt", "renamed/", "renamed/b.txt"};
        QTest::newRow("emptied name skips the member") << "" << 0 << QStringList{"other.txt"};
        QTest::newRow("new name climbing out")
            << "../evil.txt" << int(DUNZIP_UNSAFE_NAME) << QStringList{};
    }

    void renameCallback()
    {
        QFETCH(QString, newName);
        QFETCH(int, expected);
        QFETCH(QStringList, left);
        Save(Raw_Zip({{"sub\\a.txt", "a"}, {"other.txt", "o"}}));
        Unzip_Call call(zip_, dest_);
        std::vector<std::string> planned;
        call.rename = [&](DZRename& r) {
            planned.push_back(r.newName);
            if (std::string(r.memberName) == "sub\\a.txt")
                qstrncpy(r.newName, qPrintable(newName), sizeof r.newName);
            return int32_t(DUNZIP_CONTINUE);
        };
        QCOMPARE(call.Run(&dunzip), expected);
        QCOMPARE(planned.front(), std::string("sub/a.txt")); // the path it would get
        if (expected == DUNZIP_OK)
            QCOMPARE(planned, (std::vector<std::string>{"sub/a.txt", "other.txt"}));
        QCOMPARE(List_Tree(dest_), Tree_Of(left));
        QCOMPARE(List_Tree(outside_), Tree{"target.txt"});
    }

    void noDirectoryNames()
    {
        Save(
            Raw_Zip({{"docs/", "", Kind::Folder}, {"docs/deep/notes.txt", "n"}, {"top.txt", "t"}}));
        Unzip_Call call(zip_, dest_);
        call.noFolderNames = true;
        QCOMPARE(call.Run(&dunzip), DUNZIP_OK);
        QCOMPARE(List_Tree(dest_), (Tree{"notes.txt", "top.txt"}));
    }

    // The caller's read-only folder (a permission the process lacks); root passes
    // every permission check, so the read-only medium case lives in the disk tests.
    void destinationNotWritable()
    {
        if (::geteuid() == 0)
            QSKIP("permission bits do not stop root");
        Save(Raw_Zip({{"good.txt", "good"}}));
        QCOMPARE(::chmod(dest_.c_str(), 0555), 0);
        Unzip_Call call(zip_, dest_);
        const int32_t result = call.Run(&dunzip);
        ::chmod(dest_.c_str(), 0755);
        QCOMPARE(result, DUNZIP_DEST_NOT_WRITABLE);
        QVERIFY(List_Tree(dest_).empty());
    }
};

QTEST_GUILESS_MAIN(Tst_Dunzip32_Extract)
#include "tst_dunzip32_extract.moc"
