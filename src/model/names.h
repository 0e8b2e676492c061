#pragma once

#include "model/cardcode.h"
#include "model/paytable.h"

#include <QString>

#include <array>
#include <optional>

// The names of cards, of the kinds of final hand and of holds: the one
// place every window, the trainer and the odds tool take their words from.

// Cards as people write them: a rank (2-9, T or 10, J, Q, K, A) and a suit
// (h, c, d, s, or the symbols the trainer writes), either case: "Ah",
// "10d", "ts", "A♥", "10♠".
std::optional<CardCode> parseCard(const QString &text);
QString shortCardName(const CardCode &card); // "Ah", "Td"
QString longCardName(const CardCode &card);  // "ace of hearts"
QString symbolCardName(const CardCode &card); // "A♥", "10♦"
// The forms parseCard reads, for a message about a card it could not read.
QString cardForms();

// A rank as one letter, "T" for the ten, as a short card name writes it;
// and the rank a letter stands for (either case), or nothing.
QChar rankLetter(int rank);
std::optional<int> rankOfLetter(QChar letter);
// A rank as a card's corner prints it: "10" for the ten.
QString rankIndex(int rank);

// A kind of final hand, in lower case: "full house". Where every pair
// counts as the trainer names hands (a table whose pair pays from the
// two), a pair is "one pair" and the rest "no pair"; otherwise "paying
// pair" and "nothing".
QString categoryName(Category category, const PayTable &table);
// Text with its first letter in upper case: "Full house".
QString capitalised(const QString &text);
// A final hand as the trainer names it, capitalised: "Full house", "One
// pair".
QString outcomeName(Outcome outcome);

// A hold of a hand in the trainer's words: "Hold K♠ K♥ 3♣", or "Draw five
// new cards".
QString holdText(const std::array<CardCode, HandSize> &hand, unsigned mask);
// The cards a hold keeps: "K♠ K♥ 3♣", or "no card".
QString keptCardsText(const std::array<CardCode, HandSize> &hand, unsigned mask);
// A count of cards of one rank or one suit: "1 queen", "3 queens", "6 clubs".
QString rankCountText(int count, int rank);
QString suitCountText(int count, int suit);
// A hold as a row of a table: every slot, a kept card by its short name and
// "--" for one drawn anew: "Ah -- 7c 7d --".
QString holdColumnsText(const std::array<CardCode, HandSize> &hand, unsigned mask);
// The cards a hold keeps by their short names, for a file: "7c 7d", or
// "none".
QString keptShortNames(const std::array<CardCode, HandSize> &hand, unsigned mask);

// Text someone gave, as a message quotes it: in double quotes, its start
// only, with control characters shown as "?".
QString quotedStart(const QString &text);
