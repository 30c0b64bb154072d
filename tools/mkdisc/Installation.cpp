#include "Mkdisc.h"

#include <QDir>

namespace Mkdisc {

QString Write_Installation(const QString& root, const Disc_Spec& disc, Program_Files_Spec files,
                           QString* error)
{
    const QDir dir(root);
    files.Disc_Folder = dir.filePath(QStringLiteral("disc"));
    const QString program = dir.filePath(QStringLiteral("program"));
    if (!Write_Disc(files.Disc_Folder, disc, error) || !Write_Program_Files(program, files, error))
        return {};
    return program + QLatin1Char('/') + files.Base_Name;
}

} // namespace Mkdisc
