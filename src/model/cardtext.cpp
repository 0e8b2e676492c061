#include "cardtext.h"

namespace {

const QString Ranks = QStringLiteral("23456789TJQKA");
const QString Suits = QStringLiteral("hcds");
// The suits as the trainer writes them, in the same order.
const QString SuitSymbols = QStringLiteral("\u2665\u2663\u2666\u2660");

} // namespace

std::optional<CardCode> parseCard(const QString &text)
{
    QString card = text.trimmed().toUpper();
    // Some keyboards and pastes add the emoji form's selector to a suit.
    card.remove(QChar(0xFE0F));
    if (card.startsWith(QLatin1String("10")))
        card.replace(0, 2, QStringLiteral("T"));
    if (card.size() != 2)
        return std::nullopt;
    const qsizetype rank = Ranks.indexOf(card[0]);
    qsizetype suit = Suits.indexOf(card[1].toLower());
    if (suit < 0)
        suit = SuitSymbols.indexOf(card[1]);
    if (rank < 0 || suit < 0)
        return std::nullopt;
    return CardCode{qint16(rank), qint16(suit)};
}

QString shortCardName(const CardCode &card)
{
    return QString(Ranks[card.rank]) + Suits[card.suit];
}

QString longCardName(const CardCode &card)
{
    static const char *ranks[RankCount] = {"two", "three", "four", "five", "six", "seven", "eight",
                                           "nine", "ten", "jack", "queen", "king", "ace"};
    static const char *suits[SuitCount] = {"hearts", "clubs", "diamonds", "spades"};
    return QStringLiteral("%1 of %2").arg(QLatin1String(ranks[card.rank]), QLatin1String(suits[card.suit]));
}

QString symbolCardName(const CardCode &card)
{
    const QString rank = card.rank == Ten ? QStringLiteral("10") : QString(Ranks[card.rank]);
    return rank + SuitSymbols[card.suit];
}

QString cardForms()
{
    return QStringLiteral("a card is a rank 2-9, T (or 10), J, Q, K, A and a suit h, c, d, s or "
                          "\u2665 \u2663 \u2666 \u2660, in either case: Ah 10d ts A\u2665 10\u2660");
}

QString quotedStart(const QString &text)
{
    constexpr int Longest = 40;
    const QString trimmed = text.trimmed();
    QString shown = trimmed.left(Longest);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return QStringLiteral("\"%1%2\"").arg(shown, trimmed.size() > Longest ? QStringLiteral("...") : QString());
}
