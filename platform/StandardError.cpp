#include "StandardError.h"

#include "MessageBox.h"

void Raise_File_Error(const QString& dosPath, const QString& reason)
{
    QString text = QStringLiteral("Cannot open file \"%1\".").arg(dosPath);
    if (!reason.isEmpty())
        text += QLatin1Char(' ') + reason;
    throw Standard_Error(text);
}

Orvinta_Application::Orvinta_Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Show_Standard_Error(const std::exception& error)
{
    Message_Box(QString::fromStdString(error.what()), Box_Type::Error);
}

bool Orvinta_Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Show_Standard_Error(error);
    } catch (...) {
        Message_Box(QStringLiteral("An unexpected error occurred."), Box_Type::Error);
    }
    return false;
}
