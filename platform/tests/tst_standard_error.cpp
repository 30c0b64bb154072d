// The standard error box: an exception thrown by an event handler is shown in an error box by
// the application's event dispatch, and the program goes on with the next event.
#include "MessageBox.h"
#include "StandardError.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class Tst_Standard_Error : public QObject
{
    Q_OBJECT
private slots:
    void exceptionInHandlerShowsErrorBoxAndGoesOn();
    void fileErrorNamesTheFile();
};

void Tst_Standard_Error::exceptionInHandlerShowsErrorBoxAndGoesOn()
{
    Message_Box_Script script;
    bool after = false;
    QTimer::singleShot(0, [] { Raise_File_Error("D:\\Cats.txt", "The file does not exist."); });
    QTimer::singleShot(0, [&] { after = true; });
    QTRY_VERIFY(after);
    QCOMPARE(script.Boxes().size(), 1);
    QCOMPARE(script.Boxes().first().type, Box_Type::Error);
    QCOMPARE(script.Boxes().first().text,
             QStringLiteral("Cannot open file \"D:\\Cats.txt\". The file does not exist."));
}

void Tst_Standard_Error::fileErrorNamesTheFile()
{
    try {
        Raise_File_Error("C:\\x.bmp", {});
        QFAIL("no exception");
    } catch (const Standard_Error& e) {
        QCOMPARE(e.Text(), QStringLiteral("Cannot open file \"C:\\x.bmp\"."));
    }
}

int main(int argc, char** argv)
{
    Orvinta_Application app(argc, argv);
    Tst_Standard_Error test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_standard_error.moc"
