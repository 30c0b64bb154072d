#pragma once
// File errors that a command does not handle itself end the command with the standard error
// box: the code throws Standard_Error, and the application's event dispatch catches it,
// shows the text in an error box and goes on with the next event. Qt never unwinds through
// its own event loop.

#include <QApplication>
#include <QString>
#include <stdexcept>

class Standard_Error : public std::runtime_error
{
public:
    explicit Standard_Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

// Throws Standard_Error for a file that cannot be read: "Cannot open file "<path>". <reason>".
[[noreturn]] void Raise_File_Error(const QString& dosPath, const QString& reason);

class Orvinta_Application : public QApplication
{
public:
    Orvinta_Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the standard error box for an exception caught outside the event dispatch.
void Show_Standard_Error(const std::exception& error);
