// orvinta-mkdisc: writes a disc folder and, optionally, the program's own files.
//   orvinta-mkdisc --disc FOLDER [--program FOLDER] [--small N,N,...]
#include "Mkdisc.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes an Orvinta disc folder."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("disc"), QStringLiteral("Folder to write the disc into."),
                      QStringLiteral("folder")});
    parser.addOption(
        {QStringLiteral("program"),
         QStringLiteral("Program folder that receives the language file, flags and settings."),
         QStringLiteral("folder")});
    parser.addOption(
        {QStringLiteral("small"),
         QStringLiteral("A small disc instead of the demo: picture counts per category."),
         QStringLiteral("counts")});
    parser.process(app);
    if (!parser.isSet(QStringLiteral("disc"))) {
        std::fprintf(stderr, "orvinta-mkdisc: --disc is required\n");
        return 2;
    }
    Mkdisc::Disc_Spec spec = Mkdisc::Demo_Disc();
    if (parser.isSet(QStringLiteral("small"))) {
        QList<int> counts;
        for (const QString& n : parser.value(QStringLiteral("small")).split(QLatin1Char(',')))
            counts << n.toInt();
        spec = Mkdisc::Small_Disc(counts);
    }
    QString error;
    const QString disc = parser.value(QStringLiteral("disc"));
    if (!Mkdisc::Write_Disc(disc, spec, &error)) {
        std::fprintf(stderr, "orvinta-mkdisc: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet(QStringLiteral("program"))) {
        Mkdisc::Program_Files_Spec files;
        files.Languages = spec.Languages;
        files.Disc_Folder = disc;
        if (!Mkdisc::Write_Program_Files(parser.value(QStringLiteral("program")), files, &error)) {
            std::fprintf(stderr, "orvinta-mkdisc: %s\n", qPrintable(error));
            return 1;
        }
    }
    return 0;
}
