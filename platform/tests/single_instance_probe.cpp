// Runs the single-instance rule in a process of its own: prints "first" or "second"; a first
// instance then waits until a later one asks it to raise its window, prints "raised" and ends.
#include "System.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool running = Platform::Already_Running(QStringLiteral("ProbeInstance"), [] {
        std::printf("raised\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    std::printf(running ? "second\n" : "first\n");
    std::fflush(stdout);
    if (running)
        return 0;
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(3); });
    return app.exec();
}
