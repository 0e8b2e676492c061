#include "model/names.h"

namespace {

const QString Ranks = QStringLiteral("23456789TJQKA");
const QString Suits = QStringLiteral("hcds");
// The suits as the trainer writes them, in the same order.
const QString SuitSymbols = QStringLiteral("\u2665\u2663\u2666\u2660");
const char *const RankNames[RankCount] = {"two", "three", "four", "five", "six",   "seven", "eight",
                                          "nine", "ten", "jack", "queen", "king", "ace"};
const char *const SuitNames[SuitCount] = {"heart", "club", "diamond", "spade"};

QString counted(int count, const char *name, const char *plural)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(name), count == 1 ? QString() : QLatin1String(plural));
}

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
    return QStringLiteral("%1 of %2s").arg(QLatin1String(RankNames[card.rank]), QLatin1String(SuitNames[card.suit]));
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

QString outcomeName(Outcome outcome)
{
    return capitalised(categoryName(categoryOf(outcome), PayTable::gameNaming()));
}

QString holdText(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    return mask == 0 ? QStringLiteral("Draw five new cards") : QStringLiteral("Hold ") + keptCardsText(hand, mask);
}

QString keptCardsText(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    if (mask == 0)
        return QStringLiteral("no card");
    QStringList kept;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot))
            kept << symbolCardName(hand[slot]);
    }
    return kept.join(QLatin1Char(' '));
}

QString rankCountText(int count, int rank)
{
    // "sixes", not "sixs".
    return counted(count, RankNames[rank], rank == Six ? "es" : "s");
}

QString suitCountText(int count, int suit)
{
    return counted(count, SuitNames[suit], "s");
}

QString holdColumnsText(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    QStringList columns;
    for (int slot = 0; slot < HandSize; ++slot)
        columns << (mask & (1u << slot) ? shortCardName(hand[slot]) : QStringLiteral("--"));
    return columns.join(QLatin1Char(' '));
}

QString keptShortNames(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    QStringList kept;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot))
            kept << shortCardName(hand[slot]);
    }
    return kept.isEmpty() ? QStringLiteral("none") : kept.join(QLatin1Char(' '));
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
