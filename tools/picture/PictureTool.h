#pragma once
// orvinta-picture: the picture control's loading and writing for scripts.
//   info FILE
//   convert IN OUT [--bits N] [--gray] [--quality Q] [--smooth S] [--compression C]
//                  [--interlaced] [--fit WxH]
//   render IN OUT [--size WxH] [--mode plain|center|stretch|ratio] [--text T]
// Files are read through the picture control (metafiles and icons included) and written in
// the format OUT's extension names, through the imaging back end.

#include <QSize>
#include <QString>
#include <QStringList>

class QTextStream;

namespace Picture_Tool {

struct Options
{
    enum class Command
    {
        Info,
        Convert,
        Render
    } Command = Command::Info;
    QString In;
    QString Out;
    int Bits = 24;     // 0, 1, 4, 8 or 24
    bool Gray = false; // grey scale: JPEG at 1 bit, the others at 8
    int Quality = 90;
    int Smoothing = 0;
    QString Compression = QStringLiteral("none"); // none, ccitt, lzw, packbits
    bool Interlaced = false;
    QSize Fit;  // convert: fit into this size keeping the aspect ratio
    QSize Size; // render: the control's size (the picture's when empty)
    QString Mode = QStringLiteral("plain");
    QString Text;
};

QString Usage();
// Parses the arguments after the program name; false with a reason.
bool Parse(const QStringList& args, Options& options, QString* error);
// Runs the command; returns the exit status (0 success, 1 failure).
int Run(const Options& options, QTextStream& out, QTextStream& err);

} // namespace Picture_Tool
