#include "editor/programfolder.h"

#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/schema.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The folder as the file system names it, links resolved.
QString canonicalFolder()
{
    const QString folder = programFolder();
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return (canonical.isEmpty() ? QDir::cleanPath(folder) : canonical) + QLatin1Char('/');
}

bool insideFolder(const QString &cleanPath, const QString &folder)
{
    return cleanPath.startsWith(folder) && cleanPath.size() > folder.size();
}

}  // namespace

QString programFolder()
{
    const QString library = MastData ? MastData->ADOConnection1->fileName() : schema::libraryFileName;
    return QDir(QFileInfo(library).absolutePath()).absolutePath() + QLatin1Char('/');
}

QString relativeName(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString folder = canonicalFolder();
    if (canonical.isEmpty() || !insideFolder(canonical, folder)) return {};
    return canonical.mid(folder.size());
}

QString libraryFile(const QString &relativeName)
{
    const QString name = QString(relativeName).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString folder = canonicalFolder();
    const bool absolute = name.startsWith(QLatin1Char('/')) || (name.size() > 1 && name[1] == QLatin1Char(':'));
    const QString path = QDir::cleanPath(folder + name);
    // A file that exists is judged by where its links lead.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (absolute || !insideFolder(path, folder) || (!canonical.isEmpty() && !insideFolder(canonical, folder)))
        throw DataError(QStringLiteral("文件名“%1”指向资料库文件夹（%2）之外，不予打开。").arg(relativeName, folder));
    return path;
}
