#include "model/names.h"

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
    const std::optional<int> rank = rankOfLetter(card[0]);
    qsizetype suit = Suits.indexOf(card[1].toLower());
    if (suit < 0)
        suit = SuitSymbols.indexOf(card[1]);
    if (!rank || suit < 0)
        return std::nullopt;
    return CardCode{qint16(*rank), qint16(suit)};
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
    return rankIndex(card.rank) + SuitSymbols[card.suit];
}

QString cardForms()
{
    return QStringLiteral("a card is a rank 2-9, T (or 10), J, Q, K, A and a suit h, c, d, s or "
                          "\u2665 \u2663 \u2666 \u2660, in either case: Ah 10d ts A\u2665 10\u2660");
}

QChar rankLetter(int rank)
{
    return Ranks[rank];
}

std::optional<int> rankOfLetter(QChar letter)
{
    const qsizetype rank = Ranks.indexOf(letter.toUpper());
    return rank < 0 ? std::nullopt : std::optional<int>(int(rank));
}

QString rankIndex(int rank)
{
    return rank == Ten ? QStringLiteral("10") : QString(Ranks[rank]);
}

QString categoryName(Category category, const PayTable &table)
{
    static const char *names[CategoryCount] = {"royal flush", "straight flush", "four of a kind", "full house", "flush",
                                               "straight", "three of a kind", "two pair", "paying pair", "nothing"};
    const bool everyPair = table.pairFromRank == Two;
    if (everyPair && category == Category::PayingPair)
        return QStringLiteral("one pair");
    if (everyPair && category == Category::Nothing)
        return QStringLiteral("no pair");
    return QString::fromLatin1(names[int(category)]);
}

QString capitalised(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1);
}

QString holdText(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    if (mask == 0)
        return QStringLiteral("Draw five new cards");
    QStringList kept;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot))
            kept << symbolCardName(hand[slot]);
    }
    return QStringLiteral("Hold ") + kept.join(QLatin1Char(' '));
}

QString holdSlotsText(unsigned mask)
{
    if (mask == 0)
        return QStringLiteral("draw five new cards");
    QStringList numbers;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot))
            numbers << QString::number(slot + 1);
    }
    return QStringLiteral("hold card%1 %2").arg(numbers.size() > 1 ? QStringLiteral("s") : QString(),
                                                 numbers.join(QLatin1Char(' ')));
}

QString holdColumnsText(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    QStringList columns;
    for (int slot = 0; slot < HandSize; ++slot)
        columns << (mask & (1u << slot) ? shortCardName(hand[slot]) : QStringLiteral("--"));
    return columns.join(QLatin1Char(' '));
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
