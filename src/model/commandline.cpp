#include "model/commandline.h"

#include "model/names.h"

#include <QCommandLineParser>

QString commandLineFault(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    for (const QString &word : arguments.mid(1)) {
        const QString option = word.section(QLatin1Char('='), 0, 0);
        const QString name = option.startsWith(QLatin1String("--")) ? option.mid(2) : option.mid(1);
        if (word.startsWith(QLatin1Char('-')) && name == unknown.first())
            return QStringLiteral("unknown option %1").arg(quotedStart(option));
    }
    return parser.errorText();
}
