#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte code page the high-score names are stored
// in, so that files written on other systems read the same here.
namespace Cp1252 {

QString decode(const QByteArray &bytes);
// A character the code page cannot hold becomes "?".
QByteArray encode(const QString &text);

} // namespace Cp1252
