// A strategy chart's lines in a player's words.
#include "strategy.h"

#include <QStringList>

#include <bit>

namespace {

const char *const CountWords[HandSize + 1] = {"no", "one", "two", "three", "four", "five"};
const char *const CourtNames[] = {"jack", "queen", "king", "ace"};

QString capitalisedStart(const QString &text)
{
    return text.isEmpty() ? text : text.front().toUpper() + text.mid(1);
}

// "a", "a or b", "a, b or c".
QString alternatives(const QStringList &words)
{
    if (words.size() <= 1)
        return words.join(QString());
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + words.back();
}

// "7", "10", "jack"; "7s", "jacks".
QString rankWord(int rank, bool plural)
{
    const QString word = rank >= Jack ? QLatin1String(CourtNames[rank - Jack]) : QString::number(rank + 2);
    return plural ? word + QLatin1Char('s') : word;
}

QString rankWords(unsigned ranks, bool plural)
{
    QStringList words;
    for (; ranks; ranks &= ranks - 1)
        words << rankWord(std::countr_zero(ranks), plural);
    return alternatives(words);
}

QString numbers(unsigned values)
{
    QStringList words;
    for (; values; values &= values - 1)
        words << QString::number(std::countr_zero(values));
    return alternatives(words);
}

// Every value from `low` to `high`.
constexpr unsigned valuesFrom(int low, int high)
{
    return high < low ? 0 : ((2u << high) - 1) & ~((1u << low) - 1);
}

bool drawsToStraight(HoldKind kind)
{
    return kind == HoldKind::ToStraight || kind == HoldKind::ToStraightFlush || kind == HoldKind::ToRoyalFlush;
}

// The cards kept beside a made part, which the high cards count.
int singlesOf(const HoldClass &holds)
{
    switch (holds.kind) {
    case HoldKind::Pair: return holds.cards - 2;
    case HoldKind::ThreeOfAKind: return holds.cards - 3;
    case HoldKind::TwoPair: return holds.cards - 4;
    case HoldKind::FourOfAKind:
    case HoldKind::LoneCard:
    case HoldKind::DrawFive:
    case HoldKind::FullHouse: return 0;
    // All five to a straight or a flush are the made hand.
    default: return holds.cards == HandSize ? 0 : holds.cards;
    }
}

// What the class keeps, without its qualifiers: "four to a flush", "a
// pair of jacks or better with a kicker".
QString keptWords(const HoldClass &holds, const PayTable &table)
{
    const std::array<unsigned, RankCount> groups = rankGroups(table, holds.kind);
    const QString count = QLatin1String(CountWords[holds.cards]);
    const unsigned everyRank = valuesFrom(Two, Ace);
    unsigned ranks = 0;
    // A lone card is named by its own rank; a pair or more by the ranks
    // paid alike.
    for (unsigned bits = holds.ranks & everyRank; bits; bits &= bits - 1) {
        const int rank = std::countr_zero(bits);
        ranks |= holds.kind == HoldKind::LoneCard ? 1u << rank : groups[std::size_t(rank)];
    }
    const bool paysPairs = table.pair > 0 && table.pairFromRank < RankCount;
    const unsigned highRanks = paysPairs ? valuesFrom(table.pairFromRank, Ace) : 0;
    const int kickers = singlesOf(holds);
    const QString kickerWords = kickers == 0 ? QString()
                              : kickers == 1 ? QStringLiteral(" with a kicker")
                                             : QStringLiteral(" with %1 kickers").arg(QLatin1String(CountWords[kickers]));
    switch (holds.kind) {
    case HoldKind::DrawFive: return QStringLiteral("nothing: draw five new cards");
    case HoldKind::LoneCard:
        return ranks == everyRank ? QStringLiteral("a lone card") : QStringLiteral("a lone %1").arg(rankWords(ranks, false));
    case HoldKind::Unrelated: return QStringLiteral("%1 cards of mixed suits that no straight holds").arg(count);
    case HoldKind::ToStraight:
        return holds.cards == HandSize ? QStringLiteral("a straight") : QStringLiteral("%1 to a straight").arg(count);
    case HoldKind::ToFlush:
        return holds.cards == HandSize ? QStringLiteral("a flush") : QStringLiteral("%1 to a flush").arg(count);
    case HoldKind::ToStraightFlush:
        return holds.cards == HandSize ? QStringLiteral("a straight flush")
                                       : QStringLiteral("%1 to a straight flush").arg(count);
    case HoldKind::ToRoyalFlush:
        return holds.cards == HandSize ? QStringLiteral("a royal flush") : QStringLiteral("%1 to a royal flush").arg(count);
    case HoldKind::TwoPair: return QStringLiteral("two pair") + kickerWords;
    case HoldKind::FullHouse: return QStringLiteral("a full house");
    case HoldKind::Pair:
    case HoldKind::ThreeOfAKind:
    case HoldKind::FourOfAKind: {
        const QString made = holds.kind == HoldKind::Pair           ? QStringLiteral("a pair")
                           : holds.kind == HoldKind::ThreeOfAKind ? QStringLiteral("three of a kind")
                                                                  : QStringLiteral("four of a kind");
        QString of;
        if (ranks == everyRank)
            of = QString();
        else if (paysPairs && ranks == highRanks)
            of = QStringLiteral(" of %1 or better").arg(rankWord(table.pairFromRank, true));
        else if (paysPairs && ranks == (everyRank & ~highRanks) && holds.kind == HoldKind::Pair)
            return QStringLiteral("a low pair") + kickerWords;
        else
            of = QStringLiteral(" of %1").arg(rankWords(ranks, true));
        return made + of + kickerWords;
    }
    }
    return QString();
}

// The qualifiers of a class: high cards, gaps and straights, and the
// cards thrown away that its draw needs.
QStringList qualifiers(const HoldClass &holds, const PayTable &table, ChartLevel level)
{
    QStringList words;
    const bool paysPairs = table.pair > 0 && table.pairFromRank < RankCount;
    const int singles = singlesOf(holds);
    if (paysPairs && singles > 0 && holds.kind != HoldKind::ToRoyalFlush && (holds.highCards & valuesFrom(0, singles)) != valuesFrom(0, singles)) {
        const unsigned high = holds.highCards & valuesFrom(0, singles);
        words << (high == 1u ? QStringLiteral("no high card")
                             : QStringLiteral("%1 high card%2").arg(numbers(high), high == 2u ? QString() : QStringLiteral("s")));
    }
    if (drawsToStraight(holds.kind) && holds.cards < HandSize && holds.cards > 1) {
        const unsigned everyGap = valuesFrom(0, HandSize - holds.cards);
        const unsigned gaps = holds.gaps & everyGap;
        if (gaps != everyGap) {
            words << (gaps == 1u   ? QStringLiteral("no gap")
                      : gaps == 2u ? QStringLiteral("one gap")
                                   : QStringLiteral("%1 gaps").arg(numbers(gaps)));
        }
        const unsigned everyCount = valuesFrom(1, HandSize + 1 - holds.cards);
        const unsigned straights = holds.straights & everyCount;
        if (straights != everyCount) {
            words << (straights == 2u ? QStringLiteral("one straight can come of it")
                                      : QStringLiteral("%1 straights can come of it").arg(numbers(straights)));
        }
    }
    const bool draws = holds.cards < HandSize && (drawsToStraight(holds.kind) || holds.kind == HoldKind::ToFlush
                                                  || holds.kind == HoldKind::LoneCard);
    if (level == ChartLevel::Short || !draws)
        return words;
    const unsigned everyGone = valuesFrom(0, HoldShape::GoneLimit);
    const auto thrownAway = [&](unsigned gone, const QString &card, const QString &cards) {
        switch (gone & everyGone) {
        case 1: words << QStringLiteral("no %1 thrown away").arg(card); break;
        case 2: words << QStringLiteral("one %1 thrown away").arg(card); break;
        case 3: words << QStringLiteral("at most one %1 thrown away").arg(card); break;
        case 4: words << QStringLiteral("two or more %1 thrown away").arg(cards); break;
        case 5: words << QStringLiteral("no %1, or two or more, thrown away").arg(card); break;
        case 6: words << QStringLiteral("a %1 thrown away").arg(card); break;
        default: break;
        }
    };
    thrownAway(holds.suitDiscarded, QStringLiteral("card of its suit"), QStringLiteral("cards of its suit"));
    thrownAway(holds.straightDiscarded, QStringLiteral("card its straights need"), QStringLiteral("cards its straights need"));
    return words;
}

} // namespace

QString StrategyChart::classText(const HoldClass &holds) const
{
    QString text = keptWords(holds, m_table);
    const QStringList more = qualifiers(holds, m_table, m_level);
    if (!more.isEmpty())
        text += QStringLiteral(" (%1)").arg(more.join(QStringLiteral(", ")));
    return text;
}

QString StrategyChart::words(int line) const
{
    QStringList classes;
    for (const HoldClass &holds : m_lines[std::size_t(line)].holds.classes)
        classes << classText(holds);
    return capitalisedStart(alternatives(classes));
}

QString StrategyChart::holdLineText(const std::array<CardCode, HandSize> &hand, unsigned hold) const
{
    const HoldShape shape = m_shaper.shape(hand, hold, m_level == ChartLevel::Full);
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        for (const HoldClass &holds : m_lines[line].holds.classes) {
            if (holds.matches(shape))
                return QStringLiteral("%1 (line %2)").arg(classText(holds)).arg(line + 1);
        }
    }
    return QStringLiteral("%1 (on no line)").arg(keptWords(HoldClass::of(m_shaper.shape(hand, hold, false)), m_table));
}
