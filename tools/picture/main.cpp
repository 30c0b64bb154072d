// orvinta-picture: see PictureTool.h.
#include "PictureTool.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    // Without a display the tool draws off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvinta-picture"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Picture_Tool::Options options;
    QString error;
    if (!Picture_Tool::Parse(app.arguments().mid(1), options, &error)) {
        err << "orvinta-picture: " << error << "\n" << Picture_Tool::Usage();
        return 2;
    }
    return Picture_Tool::Run(options, out, err);
}
