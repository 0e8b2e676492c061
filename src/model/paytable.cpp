#include "paytable.h"

#include "cardtext.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace {

bool isStraight(const std::array<int, RankCount> &counts, bool aceLow)
{
    int run = 0;
    for (int rank = 0; rank < RankCount; ++rank) {
        run = counts[std::size_t(rank)] == 1 ? run + 1 : 0;
        if (run == HandSize)
            return true;
    }
    // Ace, two, three, four, five.
    return aceLow && counts[Ace] == 1 && counts[Two] == 1 && counts[Three] == 1 && counts[Four] == 1
           && counts[Five] == 1;
}

int rankOf(QChar c)
{
    static const QString ranks = QStringLiteral("23456789TJQKA");
    return int(ranks.indexOf(c.toUpper()));
}

// The pay of a hand that has one pay of its own.
int *fieldOf(PayTable &table, const QString &key)
{
    return key == QLatin1String("royal-flush")       ? &table.royalFlush
           : key == QLatin1String("straight-flush")  ? &table.straightFlush
           : key == QLatin1String("full-house")      ? &table.fullHouse
           : key == QLatin1String("flush")           ? &table.flush
           : key == QLatin1String("straight")        ? &table.straight
           : key == QLatin1String("three-of-a-kind") ? &table.threeOfAKind
                                                     : &table.twoPair;
}

} // namespace

Category categoryOf(Outcome outcome)
{
    switch (outcome) {
    case RoyalFlush: return Category::RoyalFlush;
    case StraightFlush: return Category::StraightFlush;
    case FullHouse: return Category::FullHouse;
    case Flush: return Category::Flush;
    case Straight: return Category::Straight;
    case ThreeOfAKind: return Category::ThreeOfAKind;
    case TwoPair: return Category::TwoPair;
    case PayingPair: return Category::PayingPair;
    case Nothing: return Category::Nothing;
    default: return Category::FourOfAKind;
    }
}

QString categoryName(Category category)
{
    static const char *names[CategoryCount] = {"royal flush", "straight flush", "four of a kind", "full house", "flush",
                                               "straight", "three of a kind", "two pair", "paying pair", "nothing"};
    return QString::fromLatin1(names[int(category)]);
}

int PayTable::pay(Outcome outcome) const
{
    switch (outcome) {
    case RoyalFlush: return royalFlush;
    case StraightFlush: return straightFlush;
    case FullHouse: return fullHouse;
    case Flush: return flush;
    case Straight: return straight;
    case ThreeOfAKind: return threeOfAKind;
    case TwoPair: return twoPair;
    case PayingPair: return pair;
    case Nothing: return 0;
    default: return fourOfAKind[std::size_t(outcome - FourOfAKindFirst)];
    }
}

std::array<int, OutcomeCount> PayTable::pays() const
{
    std::array<int, OutcomeCount> all{};
    for (int o = 0; o < OutcomeCount; ++o)
        all[std::size_t(o)] = pay(Outcome(o));
    return all;
}

Outcome evaluateHand(const std::array<int, RankCount> &counts, bool flush, const PayTable &table)
{
    if (isStraight(counts, table.aceLow)) {
        if (!flush)
            return Straight;
        const bool tenToAce = counts[Ten] == 1 && counts[Ace] == 1 && counts[Jack] == 1;
        return tenToAce ? RoyalFlush : StraightFlush;
    }
    if (flush)
        return Flush;
    int pairs = 0;
    int pairRank = -1;
    bool three = false;
    for (int rank = 0; rank < RankCount; ++rank) {
        const int count = counts[std::size_t(rank)];
        if (count == 4)
            return Outcome(FourOfAKindFirst + rank);
        if (count == 3)
            three = true;
        if (count == 2) {
            ++pairs;
            pairRank = rank;
        }
    }
    if (three)
        return pairs == 1 ? FullHouse : ThreeOfAKind;
    if (pairs == 2)
        return TwoPair;
    if (pairs == 1 && pairRank >= table.pairFromRank)
        return PayingPair;
    return Nothing;
}

Outcome evaluateHand(const std::array<CardCode, HandSize> &hand, const PayTable &table)
{
    std::array<int, RankCount> counts{};
    bool flush = true;
    for (const CardCode &card : hand) {
        ++counts[std::size_t(card.rank)];
        flush = flush && card.suit == hand[0].suit;
    }
    return evaluateHand(counts, flush, table);
}

PayTable PayTable::game()
{
    PayTable table;
    table.royalFlush = 200;
    table.straightFlush = 100;
    table.fourOfAKind.fill(50);
    table.fullHouse = 20;
    table.flush = 10;
    table.straight = 10;
    table.threeOfAKind = 5;
    table.twoPair = 2;
    return table;
}

std::optional<PayTable> PayTable::named(const QString &name)
{
    // Standard tables, paid per credit at the largest bet, ace low and high.
    auto standard = [](int royal, int straightFlush, int quads, int fullHouse, int flush, int straight,
                       int three, int twoPair) {
        PayTable table;
        table.royalFlush = royal;
        table.straightFlush = straightFlush;
        table.fourOfAKind.fill(quads);
        table.fullHouse = fullHouse;
        table.flush = flush;
        table.straight = straight;
        table.threeOfAKind = three;
        table.twoPair = twoPair;
        table.pair = 1;
        table.pairFromRank = 9; // jacks or better
        table.aceLow = true;
        return table;
    };
    if (name == QLatin1String("game"))
        return game();
    if (name == QLatin1String("jacks-9-6"))
        return standard(800, 50, 25, 9, 6, 4, 3, 2);
    if (name == QLatin1String("jacks-8-5"))
        return standard(800, 50, 25, 8, 5, 4, 3, 2);
    if (name == QLatin1String("bonus-8-5")) {
        PayTable table = standard(800, 50, 25, 8, 5, 4, 3, 2);
        table.fourOfAKind = {40, 40, 40, 25, 25, 25, 25, 25, 25, 25, 25, 25, 80};
        return table;
    }
    if (name == QLatin1String("double-bonus-10-7")) {
        PayTable table = standard(800, 50, 50, 10, 7, 5, 3, 1);
        table.fourOfAKind = {80, 80, 80, 50, 50, 50, 50, 50, 50, 50, 50, 50, 160};
        return table;
    }
    return std::nullopt;
}

QStringList PayTable::names()
{
    return {QStringLiteral("game"), QStringLiteral("jacks-9-6"), QStringLiteral("jacks-8-5"), QStringLiteral("bonus-8-5"),
            QStringLiteral("double-bonus-10-7")};
}

namespace {

const QStringList HandNames = {QStringLiteral("royal-flush"),     QStringLiteral("straight-flush"),
                               QStringLiteral("four-of-a-kind"),  QStringLiteral("full-house"),
                               QStringLiteral("flush"),           QStringLiteral("straight"),
                               QStringLiteral("three-of-a-kind"), QStringLiteral("two-pair"),
                               QStringLiteral("pair"),            QStringLiteral("ace-low")};

// The words a line takes, the pay last: "pair J 1" has three.
qsizetype wordsOf(const QString &key, qsizetype given)
{
    if (key == QLatin1String("pair"))
        return 3;
    if (key == QLatin1String("four-of-a-kind"))
        return given >= 3 ? 3 : 2;
    return 2;
}

} // namespace

std::optional<PayTable> PayTable::parse(const QString &text, QString *error)
{
    PayTable table;
    QHash<QString, int> lineOf;                // where each hand was given
    std::array<int, RankCount> rankLine{};     // where a rank's own four of a kind was given
    std::optional<int> everyRankPay;           // "four-of-a-kind 25": the ranks not given on their own
    bool anyPay = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        const QString &raw = lines[number - 1];
        auto fail = [&](const QString &why) {
            *error = QStringLiteral("line %1: %2: %3").arg(number).arg(why, quotedStart(raw));
            return std::nullopt;
        };
        if (raw.contains(QChar(0)))
            return fail(QStringLiteral("a NUL character has no place in a pay table"));
        const QString line = raw.section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")));
        const QString &key = words[0];
        if (!HandNames.contains(key))
            return fail(QStringLiteral("unknown hand %1; the hands are %2").arg(quotedStart(key), HandNames.join(QStringLiteral(", "))));
        const qsizetype expected = wordsOf(key, words.size());
        if (words.size() > expected)
            return fail(QStringLiteral("unexpected %1 after the %2")
                            .arg(quotedStart(words[expected]),
                                 key == QLatin1String("ace-low") ? QStringLiteral("yes or no") : QStringLiteral("pay")));
        const bool everyRank = key == QLatin1String("four-of-a-kind") && words.size() == 2;
        if (key != QLatin1String("four-of-a-kind") || everyRank) {
            const QString name = everyRank ? QStringLiteral("four-of-a-kind for every rank") : key;
            if (lineOf.contains(name))
                return fail(QStringLiteral("%1 is given twice, first on line %2").arg(name).arg(lineOf[name]));
            lineOf.insert(name, number);
        }
        if (key == QLatin1String("ace-low")) {
            if (words.size() != 2 || (words[1] != QLatin1String("yes") && words[1] != QLatin1String("no")))
                return fail(QStringLiteral("ace-low takes yes or no"));
            table.aceLow = words[1] == QLatin1String("yes");
            continue;
        }
        bool ok = false;
        const int pay = words.size() == expected ? words.last().toInt(&ok) : 0;
        if (key == QLatin1String("pair")) {
            if (words.size() != 3 || words[1].size() != 1 || rankOf(words[1][0]) < 0)
                return fail(QStringLiteral("pair takes the lowest paying rank and the pay, as in \"pair J 1\""));
        } else if (words.size() < 2) {
            return fail(QStringLiteral("%1 takes a pay, as in \"%1 10\"").arg(key));
        }
        if (!ok || pay < 0 || pay > LargestPay)
            return fail(QStringLiteral("the pay must be a whole number from 0 to %1").arg(LargestPay));
        anyPay = true;
        if (key == QLatin1String("pair")) {
            table.pairFromRank = rankOf(words[1][0]);
            table.pair = pay;
        } else if (everyRank) {
            everyRankPay = pay;
        } else if (key == QLatin1String("four-of-a-kind")) {
            // A rank group: one rank ("A") or a range ("2-4").
            const QStringList ends = words[1].split(QLatin1Char('-'));
            const int low = ends[0].size() == 1 ? rankOf(ends[0][0]) : -1;
            const int high = ends.size() == 1 ? low : ends.size() == 2 && ends[1].size() == 1 ? rankOf(ends[1][0]) : -1;
            if (low < 0 || high < low)
                return fail(QStringLiteral("four-of-a-kind takes a pay, or ranks and a pay, as in \"four-of-a-kind 2-4 80\""));
            for (int rank = low; rank <= high; ++rank) {
                if (rankLine[std::size_t(rank)])
                    return fail(QStringLiteral("four-of-a-kind of rank %1 is given twice, first on line %2")
                                    .arg(QStringLiteral("23456789TJQKA")[rank])
                                    .arg(rankLine[std::size_t(rank)]));
                rankLine[std::size_t(rank)] = number;
                table.fourOfAKind[std::size_t(rank)] = pay;
            }
        } else {
            *fieldOf(table, key) = pay;
        }
    }
    if (!anyPay) {
        *error = QStringLiteral("no pays: a table gives at least one hand and its pay, as in \"royal-flush 800\"");
        return std::nullopt;
    }
    for (int rank = 0; rank < RankCount; ++rank) {
        if (everyRankPay && !rankLine[std::size_t(rank)])
            table.fourOfAKind[std::size_t(rank)] = *everyRankPay;
    }
    return table;
}
