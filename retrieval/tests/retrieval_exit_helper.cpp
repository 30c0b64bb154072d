// Runs one picture retrieval with the program's real ending: given a program folder and an
// archive (native paths), it prints every message box as "box <type>: <text>" and, when the
// retrieval returns, "returned".
#include "DosPath.h"
#include "MessageBox.h"
#include "Retrieval.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString program = Dos::With_Backslash(Platform::Dos_Path(args.at(1)));
    const QString archive = Platform::Dos_Path(args.at(2));

    Message_Box_Script script;
    script.On_Box([](const Recorded_Box& box) {
        const char* type = box.type == Box_Type::Warning       ? "warning"
                           : box.type == Box_Type::Information ? "information"
                                                               : "error";
        std::printf("box %s: %s\n", type, box.text.toUtf8().constData());
        std::fflush(stdout);
    });
    Retrieve_Picture(nullptr, archive, program + QStringLiteral("decomprs.JPG"), program);
    std::printf("returned\n");
    return 0;
}
