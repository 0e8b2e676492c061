#include "platform/gamemodule.h"

#include <QCoreApplication>
#include <QLibrary>

QString gameModulePath(const char *fromProgram)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromUtf8(fromProgram);
}

QFunctionPointer moduleEntry(const QString &path, const char *entry, QString &error)
{
    QLibrary module(path);
    const QFunctionPointer function = module.resolve(entry);
    if (!function)
        error = module.errorString();
    return function;
}
