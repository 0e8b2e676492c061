// drawpoker-odds: exact odds of five-card draw, for this game's pay table or
// any other. See --help.
#include "model/cardtext.h"
#include "analysis/gamereturn.h"
#include "analysis/holdadvisor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <numeric>

namespace {

const char *Help = R"(Usage:
  drawpoker-odds [TABLE] hold CARD CARD CARD CARD CARD [--removed CARD...]
  drawpoker-odds [TABLE] return
  drawpoker-odds --help

hold    ranks all 32 ways to hold the five cards by their exact expected
        return per credit bet, every draw from the rest of the deck counted
        once. Cards given after --removed are out of the deck as well (in
        the game: cards already dealt since the last shuffle).
return  the exact return of the whole game from a fresh deck with the best
        hold on every one of the 2,598,960 deals, as a fraction and a
        decimal, with how often each final hand comes up.

Cards: a rank 2-9, T (or 10), J, Q, K, A and a suit h, c, d, s, in either
case: Ah 10d ts 9C.

TABLE is one of
  --table NAME       game (the default: this game's own pay table),
                     jacks-9-6, jacks-8-5, bonus-8-5, double-bonus-10-7
  --table-file FILE  a pay table of your own, one line per hand, "#" starts
                     a comment; hands left out pay nothing:
                       royal-flush 800
                       straight-flush 50
                       four-of-a-kind 25         (every rank)
                       four-of-a-kind A 160      (one rank, or a range:)
                       four-of-a-kind 2-4 80
                       full-house 9
                       flush 6
                       straight 4
                       three-of-a-kind 3
                       two-pair 2
                       pair J 1                  (pairs of jacks or better)
                       ace-low yes               (A-2-3-4-5 is a straight)
Pays are credits returned per credit bet, the bet included (a pay of 1
gives the bet back). Pays go up to 100000.
)";

QTextStream out(stdout);
QTextStream err(stderr);

int usageError(const QString &message)
{
    err << "drawpoker-odds: " << message << "\n(drawpoker-odds --help explains the usage)\n";
    return 2;
}

QString holdText(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    QStringList kept;
    for (int slot = 0; slot < HandSize; ++slot)
        kept << (mask & (1u << slot) ? shortCardName(hand[std::size_t(slot)]) : QStringLiteral("--"));
    return kept.join(QLatin1Char(' '));
}

QString fraction(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t divisor = std::gcd(numerator, denominator);
    return QStringLiteral("%1/%2").arg(numerator / divisor).arg(denominator / divisor);
}

int showHolds(const QStringList &words, const PayTable &table)
{
    const qsizetype removedAt = words.indexOf(QStringLiteral("--removed"));
    const QStringList handWords = words.mid(0, removedAt < 0 ? words.size() : removedAt);
    const QStringList removedWords = removedAt < 0 ? QStringList() : words.mid(removedAt + 1);
    if (handWords.size() != HandSize)
        return usageError(QStringLiteral("hold takes exactly five cards, not %1").arg(handWords.size()));

    std::array<CardCode, HandSize> hand;
    CardSet seen = 0;
    auto take = [&](const QString &word, CardCode *card) {
        const std::optional<CardCode> parsed = parseCard(word);
        if (!parsed)
            return usageError(QStringLiteral("\"%1\" is not a card").arg(word));
        if (seen & cardBit(*parsed))
            return usageError(QStringLiteral("%1 is given twice").arg(shortCardName(*parsed)));
        seen |= cardBit(*parsed);
        *card = *parsed;
        return 0;
    };
    for (int i = 0; i < HandSize; ++i) {
        if (const int status = take(handWords[i], &hand[std::size_t(i)]))
            return status;
    }
    for (const QString &word : removedWords) {
        CardCode removed;
        if (const int status = take(word, &removed))
            return status;
    }

    const CardSet deck = FullDeck & ~seen;
    std::array<HoldResult, HoldCount> holds = analyseHolds(hand, deck, table);
    std::array<HoldResult, HoldCount> ranked = holds;
    std::sort(ranked.begin(), ranked.end(), isBetterHold);
    out << QStringLiteral("%1 cards in the deck\n\n").arg(std::popcount(deck));
    out << QStringLiteral(" #  hold            return    exact\n");
    for (int i = 0; i < HoldCount; ++i) {
        const HoldResult &hold = ranked[std::size_t(i)];
        out << QStringLiteral("%1  %2  %3  %4\n")
                   .arg(i + 1, 2)
                   .arg(holdText(hand, hold.mask), -14)
                   .arg(hold.draws ? QString::number(hold.expectedReturn(), 'f', 6) : QStringLiteral("no draw"), 8)
                   .arg(hold.draws ? fraction(hold.totalPay, hold.draws) : QString());
    }
    return 0;
}

int showReturn(const PayTable &table)
{
    QElapsedTimer clock;
    clock.start();
    const GameReturn game = exactGameReturn(table);
    out << QStringLiteral("return  %1 = %2\n\n").arg(fraction(game.totalPay, game.denominator))
               .arg(game.value(), 0, 'f', 8);
    std::array<std::int64_t, CategoryCount> byCategory{};
    std::array<std::int64_t, CategoryCount> payByCategory{};
    for (int o = 0; o < OutcomeCount; ++o) {
        const int c = int(categoryOf(Outcome(o)));
        byCategory[std::size_t(c)] += game.outcomes[std::size_t(o)];
        payByCategory[std::size_t(c)] += game.outcomes[std::size_t(o)] * table.pay(Outcome(o));
    }
    out << QStringLiteral("final hand                    combinations  probability  return\n");
    for (int c = 0; c < CategoryCount; ++c) {
        out << QStringLiteral("%1 %2  %3  %4\n")
                   .arg(categoryName(Category(c)), -16)
                   .arg(byCategory[std::size_t(c)], 24)
                   .arg(double(byCategory[std::size_t(c)]) / double(game.denominator), 11, 'f', 8)
                   .arg(double(payByCategory[std::size_t(c)]) / double(game.denominator), 8, 'f', 6);
    }
    out << QStringLiteral("%1 %2\n").arg(QStringLiteral("total"), -16).arg(game.denominator, 24);
    err << QStringLiteral("computed in %1 s\n").arg(double(clock.elapsed()) / 1000.0, 0, 'f', 2);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList words = QCoreApplication::arguments().mid(1);
    if (words.isEmpty() || words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h"))) {
        out << Help;
        return words.isEmpty() ? 2 : 0;
    }

    PayTable table = PayTable::game();
    if (words[0] == QLatin1String("--table") || words[0] == QLatin1String("--table-file")) {
        if (words.size() < 2)
            return usageError(QStringLiteral("%1 needs a value").arg(words[0]));
        if (words[0] == QLatin1String("--table")) {
            const std::optional<PayTable> named = PayTable::named(words[1]);
            if (!named)
                return usageError(QStringLiteral("no pay table is called \"%1\"").arg(words[1]));
            table = *named;
        } else {
            QFile file(words[1]);
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
                return usageError(QStringLiteral("cannot read %1: %2").arg(words[1], file.errorString()));
            QString error;
            const std::optional<PayTable> parsed = PayTable::parse(QString::fromUtf8(file.readAll()), &error);
            if (!parsed)
                return usageError(QStringLiteral("%1, %2").arg(words[1], error));
            table = *parsed;
        }
        words = words.mid(2);
    }
    if (words.value(0) == QLatin1String("hold"))
        return showHolds(words.mid(1), table);
    if (words.value(0) == QLatin1String("return") && words.size() == 1)
        return showReturn(table);
    return usageError(QStringLiteral("expected hold or return"));
}
