#include "paytabletext.h"

#include "model/names.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace {

// The rank a letter stands for, -1 for none.
int rankOf(QChar c)
{
    return rankOfLetter(c).value_or(-1);
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

// The words that start a line: the hands as they are named elsewhere, with
// hyphens for spaces ("full-house"), then the pair and whether the ace
// plays low.
const QStringList HandNames = [] {
    QStringList keys;
    for (int category = 0; category < int(Category::PayingPair); ++category)
        keys << categoryName(Category(category), PayTable::game()).replace(QLatin1Char(' '), QLatin1Char('-'));
    return keys << QStringLiteral("pair") << QStringLiteral("ace-low");
}();

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

std::optional<PayTable> parsePayTable(const QString &text, QString *error)
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
        if (!ok || pay < 0 || pay > PayTable::LargestPay)
            return fail(QStringLiteral("the pay must be a whole number from 0 to %1").arg(PayTable::LargestPay));
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
                if (rankLine[rank])
                    return fail(QStringLiteral("four-of-a-kind of rank %1 is given twice, first on line %2")
                                    .arg(rankLetter(rank))
                                    .arg(rankLine[rank]));
                rankLine[rank] = number;
                table.fourOfAKind[rank] = pay;
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
        if (everyRankPay && !rankLine[rank])
            table.fourOfAKind[rank] = *everyRankPay;
    }
    return table;
}
