#include "editor/programfolder.h"

#include "data/Unit1.h"

#include <QDir>
#include <QFileInfo>

QString programFolder()
{
    const QString library = MastData ? MastData->ADOConnection1->fileName() : QStringLiteral("wenk.dat");
    return QDir(QFileInfo(library).absolutePath()).absolutePath() + QLatin1Char('/');
}

QString programFile(const QString &relativeName)
{
    return programFolder() + QString(relativeName).replace(QLatin1Char('\\'), QLatin1Char('/'));
}
