// Every format of the demo disc loads into the control and paints: the disc is written by
// the same code as the real one, with a few pictures per category.
#include "DosPath.h"
#include "MessageBox.h"
#include "Mkdisc.h"
#include "TMultiP.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class Tst_TMultiP_Demo_Disc : public QObject
{
    Q_OBJECT
private slots:
    void every_format_loads_and_paints()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Mkdisc::Disc_Spec spec = Mkdisc::Demo_Disc();
        for (Mkdisc::Entry_Spec& entry : spec.Entries) {
            QList<Mkdisc::Picture_Spec> kept;
            for (const Mkdisc::Picture_Spec& p : entry.Pictures)
                if (!p.Archived && kept.size() < 3)
                    kept << p;
            entry.Pictures = kept;
        }
        QString error;
        QVERIFY2(Mkdisc::Write_Disc(dir.path(), spec, &error), qPrintable(error));

        Message_Box_Script script;
        QSet<QString> formats;
        for (const Mkdisc::Entry_Spec& entry : spec.Entries) {
            if (!entry.Leaf)
                continue;
            const QString ext = entry.Picture_Ext.startsWith(QLatin1Char('.'))
                                    ? entry.Picture_Ext
                                    : QLatin1Char('.') + entry.Picture_Ext;
            const QString folder = Dos::With_Backslash(Platform::Dos_Path(
                dir.filePath(QString(entry.Picture_Folder).replace(QLatin1Char('\\'), '/'))));
            for (const Mkdisc::Picture_Spec& picture : entry.Pictures) {
                const QString path = folder + picture.Name + ext;
                TPMultiImage image;
                image.resize(120, 90);
                image.Set_StretchRatio(true);
                image.Set_Color(Qt::black);
                image.Set_ImageName(path);
                QVERIFY2(script.Texts().isEmpty(), qPrintable(path + script.Texts().join('|')));
                QVERIFY2(image.Picture().Has_Graphic(), qPrintable(path));
                formats << image.Info().Format_Name;
                QSize size = spec.Picture_Size;
                if (image.Info().Format_Name == QLatin1String("WMF"))
                    size = QSize(640, 480);
                else if (image.Info().Format_Name == QLatin1String("ICO"))
                    size = QSize(64, 64);
                QCOMPARE(image.Picture().Size(), size);
                // Something other than the black background shows in the middle.
                const QImage shot = image.grab().toImage();
                QVERIFY2((shot.pixel(60, 45) & 0xffffffu) != 0, qPrintable(path));
            }
        }
        QCOMPARE(formats,
                 QSet<QString>({"BMP", "JPEG", "PNG", "GIF", "TIFF", "PCX", "WMF", "ICO"}));
    }
};

QTEST_MAIN(Tst_TMultiP_Demo_Disc)
#include "tst_tmultip_demo_disc.moc"
