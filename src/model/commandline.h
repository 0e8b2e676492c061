#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

// Why `parser` refused a program's command line `arguments` (the program's
// name first), for a message: an unknown option quoted as it was typed,
// "unknown option "--fast"", where the parser names it without its dashes;
// any other fault in the parser's words.
QString commandLineFault(const QCommandLineParser &parser, const QStringList &arguments);
