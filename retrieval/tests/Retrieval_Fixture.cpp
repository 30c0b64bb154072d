#include "Retrieval_Fixture.h"

#include "DosPath.h"
#include "Zip_Builder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstring>
#include <stdexcept>

namespace retrieval_test {
namespace {

QString Library_Of(Back_End backEnd)
{
    switch (backEnd) {
    case Back_End::Real:
        return QStringLiteral(RETRIEVAL_TEST_DUNZIP32);
    case Back_End::Recording_Stub:
        return QStringLiteral(RETRIEVAL_TEST_RECORDING_STUB);
    case Back_End::No_Entry:
        return QStringLiteral(RETRIEVAL_TEST_NO_ENTRY_STUB);
    case Back_End::None:
        break;
    }
    return {};
}

void Require(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(what);
}

} // namespace

Program_Folder::Program_Folder(Back_End backEnd, const QString& subFolder)
{
    Require(m_dir.isValid(), "no temporary folder");
    m_native = m_dir.path();
    if (!subFolder.isEmpty()) {
        m_native += '/' + subFolder;
        Require(QDir().mkpath(m_native), "cannot create the program folder");
    }
    const QString library = Library_Of(backEnd);
    if (!library.isEmpty())
        Require(QFile::copy(library, File(QStringLiteral(DUNZIP_LIBRARY_FILE))),
                "cannot copy the archive library");
}

QString Program_Folder::Dos() const
{
    return Dos::With_Backslash(Platform::Dos_Path(m_native));
}

QStringList Program_Folder::Entries() const
{
    QStringList entries = QDir(m_native).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    entries.removeAll(QStringLiteral(DUNZIP_LIBRARY_FILE));
    return entries;
}

Disc::Disc()
{
    Require(m_dir.isValid(), "no temporary folder");
    m_previousD = Platform::Drives().Folder_Of(QLatin1Char('D'));
    Platform::Drives().Map(QLatin1Char('D'), m_dir.path());
}

Disc::~Disc()
{
    if (m_previousD.isEmpty())
        Platform::Drives().Unmap(QLatin1Char('D'));
    else
        Platform::Drives().Map(QLatin1Char('D'), m_previousD);
}

QString Disc::Dos(const QString& relative)
{
    QString path = QStringLiteral("D:\\") + relative;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

void Disc::Write_File(const QString& relative, const QByteArray& bytes) const
{
    const QString path = Native(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
            "cannot write a disc file");
}

void Disc::Write_Zip(const QString& relative,
                     const std::vector<std::pair<QString, QByteArray>>& members) const
{
    const QString path = Native(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<dunzip32_test::Zip_Entry> entries;
    for (const auto& [name, bytes] : members)
        entries.push_back({name.toStdString(), bytes.toStdString()});
    Require(dunzip32_test::Write_Deflated_Zip(QFile::encodeName(path).toStdString(), entries),
            "cannot write an archive");
}

Stub_Recorder::Stub_Recorder()
{
    Require(m_dir.isValid(), "no temporary folder");
    qputenv("DUNZIP_STUB_LOG", QFile::encodeName(m_dir.filePath(QStringLiteral("log"))));
    qputenv("DUNZIP_STUB_RECORD", QFile::encodeName(m_dir.filePath(QStringLiteral("record"))));
    qunsetenv("DUNZIP_STUB_RESULT");
    qunsetenv("DUNZIP_STUB_RETURN_LENGTH");
}

Stub_Recorder::~Stub_Recorder()
{
    qunsetenv("DUNZIP_STUB_LOG");
    qunsetenv("DUNZIP_STUB_RECORD");
    qunsetenv("DUNZIP_STUB_RESULT");
    qunsetenv("DUNZIP_STUB_RETURN_LENGTH");
}

QStringList Stub_Recorder::Log() const
{
    return QString::fromLatin1(Read_File(m_dir.filePath(QStringLiteral("log"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool Stub_Recorder::Has_Record() const
{
    return QFile::exists(m_dir.filePath(QStringLiteral("record")));
}

Unzip_Record Stub_Recorder::Record() const
{
    const QByteArray bytes = Read_File(m_dir.filePath(QStringLiteral("record")));
    Require(bytes.size() == qsizetype(sizeof(Unzip_Record)), "no record was written");
    Unzip_Record record;
    std::memcpy(&record, bytes.constData(), sizeof record);
    return record;
}

QStringList Stub_Recorder::Texts() const
{
    return QString::fromUtf8(Read_File(m_dir.filePath(QStringLiteral("record.txt"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void Stub_Recorder::Set_Result(int result) const
{
    qputenv("DUNZIP_STUB_RESULT", QByteArray::number(result));
}

void Stub_Recorder::Set_Return_Length(quint32 length) const
{
    qputenv("DUNZIP_STUB_RETURN_LENGTH", QByteArray::number(length));
}

Ending_Recorder::Ending_Recorder()
{
    m_previous = Set_Program_End([this](int code) { m_codes.append(code); });
}

Ending_Recorder::~Ending_Recorder()
{
    Set_Program_End(std::move(m_previous));
}

QByteArray Jpeg_Bytes(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Require(image.save(&buffer, "JPG"), "cannot encode a JPEG");
    return bytes;
}

QByteArray Read_File(const QString& nativePath)
{
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace retrieval_test
