#pragma once

#include "model/cardcode.h"

#include <QString>

#include <optional>

// Cards as people write them: a rank (2-9, T or 10, J, Q, K, A) and a suit
// (h, c, d, s, or the symbols the trainer writes), either case: "Ah",
// "10d", "ts", "A♥", "10♠".
std::optional<CardCode> parseCard(const QString &text);
QString shortCardName(const CardCode &card); // "Ah", "Td"
QString longCardName(const CardCode &card);  // "ace of hearts"
QString symbolCardName(const CardCode &card); // "A♥", "10♦"
// The forms parseCard reads, for a message about a card it could not read.
QString cardForms();

// Text someone gave, as a message quotes it: in double quotes, its start
// only, with control characters shown as "?".
QString quotedStart(const QString &text);
