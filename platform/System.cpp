#include "System.h"

#include "DosPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace Platform {

namespace {

bool Is_Mount_Point(const QString& folder)
{
    struct stat self
    {
    }, parent{};
    const QByteArray path = QFile::encodeName(folder);
    const QByteArray up = QFile::encodeName(folder + QStringLiteral("/.."));
    if (stat(path.constData(), &self) != 0 || stat(up.constData(), &parent) != 0)
        return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

QString Runtime_Folder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

} // namespace

bool Drive_Ready(QChar letter)
{
    const QString folder = Drives().Folder_Of(letter);
    if (folder.isEmpty())
        return false;
    QDir dir(folder);
    if (!dir.exists() || !QFileInfo(folder).isReadable())
        return false;
    const bool empty =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty();
    return !empty || Is_Mount_Point(folder);
}

bool Already_Running(const QString& instanceName, std::function<void()> onRaise)
{
    // The names carry the user id so that each user's session has its own instance.
    const QString name = instanceName + QLatin1Char('-') + QString::number(getuid());
    static QLockFile* lock = nullptr;
    static QLocalServer* server = nullptr;
    if (server)
        return false; // this process is the instance already
    if (!lock) {
        lock = new QLockFile(QDir(Runtime_Folder()).filePath(name + QStringLiteral(".lock")));
        lock->setStaleLockTime(0);
    }
    if (!lock->tryLock(0)) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(2000)) {
            socket.write("raise\n");
            socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
        }
        return true;
    }
    QLocalServer::removeServer(name);
    server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (server->listen(name)) {
        QObject::connect(server, &QLocalServer::newConnection, server, [onRaise] {
            while (QLocalSocket* peer = server->nextPendingConnection()) {
                QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
                QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, onRaise] {
                    peer->readAll();
                    if (onRaise)
                        onRaise();
                });
            }
        });
    }
    return false;
}

bool Start_Program(const QString& dosProgram, const QString& parameters)
{
    const QString native = Native_Path(dosProgram);
    if (native.isEmpty())
        return false;
    return QProcess::startDetached(native, {parameters});
}

QStringList List_Files(const QString& nativeFolder, const QString& suffix)
{
    QStringList names;
    const QByteArray folder = QFile::encodeName(nativeFolder);
    DIR* dir = opendir(folder.constData());
    if (!dir)
        return names;
    const QByteArray tail = QFile::encodeName(suffix);
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.')
            continue; // hidden, and the folder's own entries
        const size_t length = std::strlen(name);
        if (length < size_t(tail.size()) || qstrnicmp(name + length - size_t(tail.size()),
                                                      tail.constData(), size_t(tail.size())) != 0)
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info
            {
            };
            const QByteArray path = folder + '/' + name;
            regular = stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (regular)
            names.append(QFile::decodeName(QByteArray(name, qsizetype(length))));
    }
    closedir(dir);
    return names;
}

QString Program_File()
{
    return QCoreApplication::applicationFilePath();
}

} // namespace Platform
