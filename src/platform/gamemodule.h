#pragma once

#include <QString>

// The game keeps what only some of its windows need (the sound back end,
// the statistics' charts) in modules of its own, so that it starts without
// their libraries.

// A module's path from its path relative to the program's folder: the same
// relative path finds it in the build tree and in an installed tree.
QString gameModulePath(const char *fromProgram);

// Loads the module at `path` and finds its entry function by name. The
// module stays loaded to the end of the program: the libraries it brings
// are not made to be unloaded. Where it cannot be loaded, or has no such
// entry, gives nullptr and says why in `error`.
QFunctionPointer moduleEntry(const QString &path, const char *entry, QString &error);
