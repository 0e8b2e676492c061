#pragma once

#include "model/paytable.h"

#include <QString>

#include <optional>

// Reads a pay table in the odds tool's text form (its --help shows it): a
// hand and its pay a line, "#" starts a comment. On a fault returns nothing
// and says what is wrong, and on which line, in `error`. A hand given twice
// is a fault, and so is a table without a single pay.
std::optional<PayTable> parsePayTable(const QString &text, QString *error);
