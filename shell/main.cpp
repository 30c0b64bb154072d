#include "MainWindow.h"
#include "StandardError.h"

#include <QScreen>

int main(int argc, char** argv)
{
    Orvinta_Application app(argc, argv);
    Start_Options options;
    options.Program_File = QCoreApplication::applicationFilePath();
    options.Arguments = QCoreApplication::arguments().mid(1);
    TForm1 form(options);
    if (form.Second_Instance())
        return 0;
    // Centred on the screen at the design size.
    if (QScreen* screen = form.screen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    return app.exec();
}
