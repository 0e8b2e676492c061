// drawpoker-odds: exact odds of five-card draw, for this game's pay table or
// any other, and the game as it is really played, simulated. See --help.
#include "paytabletext.h"
#include "analysis/strategy.h"

#include "analysis/countrules.h"
#include "analysis/gamereturn.h"
#include "analysis/holdadvisor.h"
#include "analysis/simulation.h"
#include "model/commandline.h"
#include "model/deck.h"
#include "model/names.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QStringList>
#include <QTextStream>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <thread>
#include <sched.h>
#include <unistd.h>

namespace {

const char *Description = R"(Exact odds of five-card draw, for this game's pay table or any other, and the
game as it is really played, simulated:
  drawpoker-odds [TABLE] hold CARD CARD CARD CARD CARD [--removed CARD...]
  drawpoker-odds [TABLE] return
  drawpoker-odds [TABLE] simulate [--hands N] [--seed N] [--threads N]
                                  [--reshuffle-every-hand] [--play WAYS]
  drawpoker-odds [TABLE] strategy [--short] [--hand CARD CARD CARD CARD CARD]
  drawpoker-odds [TABLE] strategy --count-rules [--hands N] [--seed N]
                                  [--threads N]
TABLE is --table NAME or --table-file FILE. Options may come before or after
the command.

hold      ranks all 32 ways to hold the five cards by their exact expected
          return per credit bet, every draw from the rest of the deck
          counted once. Cards given after --removed are out of the deck as
          well (in the game: cards already dealt since the last shuffle).
return    the exact return of the whole game from a fresh deck with the best
          hold on every one of the 2,598,960 deals, as a fraction and a
          decimal, with how often each final hand comes up.
simulate  plays N hands (default 1000000) as the table deals them: the deck
          is not refilled after a hand, and is reshuffled only once more
          than 41 cards were dealt. Every hand is played twice: with the
          hold that is best for the cards really left in the deck, and with
          the hold that would be best on a fresh deck. Prints each one's
          return with a 95% confidence interval, the difference between
          them from the same deals, and how often each final hand came up.
          --play chooses the ways of holding, from deck (the deck as it
          is), fresh (a fresh deck), chart (the full strategy chart) and
          count (the chart with its count rules, found first on as many
          hands from the next seed), joined by commas; deck,fresh by
          default. All of them play the same decks.
strategy  a ranked chart of holds for the pay table, derived from the exact
          value of every hold of every deal on a fresh deck: play the
          highest line the hand has, and of two holds on one line keep the
          higher cards. Each line gives its number, its words, an example,
          how often it is the line played and the average value of its
          holds; the last line gives the chart's return, the best play's
          and what the chart costs, in percent of the bet. The full chart
          (at most 50 lines) has the exceptions that pay; --short gives one
          of at most 20 lines. With --hand, names the line the hand falls on
          and ends with the cards to keep ("none" to draw five).
          With --count-rules, finds at most 5 changes to the full chart that
          a player can make by counting the cards gone since the shuffle,
          on N hands (default 1000000) of the game as the table deals it
          from seed N + 1, and measures their worth on N hands from seed N:
          the chart alone, with the rules, and the best holds on the deck
          as it is and on a fresh deck, on the same decks.)";

// What the generated list of options leaves out: how to write cards and
// pay tables.
const char *Notes = R"(
Cards: a rank 2-9, T (or 10), J, Q, K, A and a suit h, c, d, s, or one of
the trainer's suit symbols, in either case: Ah 10d ts 9C A♥ 10♠.

A table file has one line per hand, "#" starts a comment; hands left out pay
nothing:
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
gives the bet back). Pays go up to 100000; a table file up to 1 MiB.
)";

QTextStream out(stdout);
QTextStream err(stderr);

int usageError(const QString &message)
{
    err << "drawpoker-odds: " << message << "\n(drawpoker-odds --help explains the usage)\n";
    return 2;
}

// What the command line asks for.
struct Request
{
    QString command;
    QStringList arguments; // the words after the command
    QStringList removed;
    QString tableOption; // --table or --table-file
    QString tableValue;
    SimulationSettings simulation;
    bool shortChart = false; // strategy --short
    bool handLine = false;   // strategy --hand
    bool countRules = false; // strategy --count-rules
    bool handsGiven = false;
    bool help = false;
};

const QStringList Commands = {QStringLiteral("hold"), QStringLiteral("return"), QStringLiteral("simulate"), QStringLiteral("strategy")};

// The CPUs this process may run on (`taskset` narrows them), which may be
// fewer than those online.
int usableCpus()
{
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0)
        return std::max(1, CPU_COUNT(&cpus));
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// A word that reads as an option rather than as a card or a value.
bool isOption(const QString &word)
{
    return word.startsWith(QLatin1Char('-'));
}

// The command a command's own option belongs to; nothing for the others.
QString ownerOf(const QString &option)
{
    if (option == QLatin1String("removed"))
        return QStringLiteral("hold");
    if (option == QLatin1String("short") || option == QLatin1String("hand") || option == QLatin1String("count-rules"))
        return QStringLiteral("strategy");
    const QStringList simulation = {QStringLiteral("hands"), QStringLiteral("seed"), QStringLiteral("threads"),
                                    QStringLiteral("reshuffle-every-hand"), QStringLiteral("play")};
    return simulation.contains(option) ? QStringLiteral("simulate") : QString();
}

// The options of simulate that strategy --count-rules takes as well.
bool simulatesCountRules(const QString &option)
{
    return option == QLatin1String("hands") || option == QLatin1String("seed") || option == QLatin1String("threads");
}

// The ways of holding --play names.
const std::array<std::pair<const char *, Strategy>, StrategyCount> PlayNames = {{
    {"deck", Strategy::DeckAsItIs},
    {"fresh", Strategy::FreshDeck},
    {"chart", Strategy::Chart},
    {"count", Strategy::ChartWithCount},
}};

// Reads the words of the command line into a Request. A fault leaves a
// message that names the word at fault.
class CommandLine
{
public:
    CommandLine()
    {
        m_parser.setApplicationDescription(QString::fromUtf8(Description));
        m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        m_parser.addOptions({m_help, m_table, m_tableFile, m_removed, m_hands, m_seed, m_threads, m_reshuffle, m_play,
                             m_short, m_hand, m_countRules});
        m_parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("hold, return, simulate or strategy"),
                                       QStringLiteral("hold|return|simulate"));
        m_parser.addPositionalArgument(QStringLiteral("cards"), QStringLiteral("the five cards to hold"),
                                       QStringLiteral("[CARD...]"));
    }

    QString help() const { return m_parser.helpText() + QString::fromUtf8(Notes); }

    std::optional<Request> read(const QStringList &arguments, QString *error)
    {
        if (!readArguments(arguments)) {
            *error = m_error;
            return std::nullopt;
        }
        return m_request;
    }

private:
    bool readArguments(const QStringList &arguments)
    {
        const std::optional<QStringList> words = removedCardsApart(arguments);
        if (!words)
            return false;
        if (!m_parser.parse(*words))
            return fail(parseFault(*words));
        m_request.help = m_parser.isSet(m_help);
        if (m_request.help)
            return true;
        const QStringList positional = m_parser.positionalArguments();
        if (positional.isEmpty())
            return fail(QStringLiteral("no command: expected hold, return, simulate or strategy"));
        if (!Commands.contains(positional.first()))
            return fail(QStringLiteral("unknown command %1: expected hold, return, simulate or strategy")
                            .arg(quotedStart(positional.first())));
        m_request.command = positional.first();
        m_request.arguments = positional.mid(1);
        m_request.removed = m_parser.values(m_removed);
        m_request.simulation.threads = usableCpus();
        m_request.simulation.reshuffleEveryHand = m_parser.isSet(m_reshuffle);
        m_request.shortChart = m_parser.isSet(m_short);
        m_request.handLine = m_parser.isSet(m_hand);
        m_request.countRules = m_parser.isSet(m_countRules);
        m_request.handsGiven = m_parser.isSet(m_hands);
        return readTable() && readSimulationNumbers() && readPlay() && checkCommand();
    }

    // QCommandLineParser takes one word after an option, but --removed
    // takes every card up to the next option: each card is given an
    // option of its own.
    std::optional<QStringList> removedCardsApart(const QStringList &arguments)
    {
        QStringList words;
        for (qsizetype at = 0; at < arguments.size(); ++at) {
            if (arguments[at] != QLatin1String("--removed")) {
                words << arguments[at];
                continue;
            }
            if (at + 1 == arguments.size() || isOption(arguments[at + 1])) {
                fail(QStringLiteral("--removed needs at least one card after it"));
                return std::nullopt;
            }
            for (; at + 1 < arguments.size() && !isOption(arguments[at + 1]); ++at)
                words << QStringLiteral("--removed") << arguments[at + 1];
        }
        return words;
    }

    // An option without its value can only be the last word.
    QString parseFault(const QStringList &words) const
    {
        const QString &last = words.last();
        if (!m_parser.unknownOptionNames().isEmpty() || words.size() < 2 || !isOption(last))
            return commandLineFault(m_parser, words);
        if (last == QLatin1String("--table"))
            return QStringLiteral("--table needs a name: %1").arg(PayTable::names().join(QStringLiteral(", ")));
        if (last == QLatin1String("--table-file"))
            return QStringLiteral("--table-file needs the name of a file");
        if (last == QLatin1String("--hands") || last == QLatin1String("--seed") || last == QLatin1String("--threads"))
            return QStringLiteral("%1 needs a number").arg(last);
        if (last == QLatin1String("--play"))
            return QStringLiteral("--play needs the ways to play: %1").arg(playNames());
        return commandLineFault(m_parser, words);
    }

    bool readTable()
    {
        QStringList given; // --table and --table-file in the order given
        for (const QString &name : m_parser.optionNames()) {
            if (name == m_table.names().first() || name == m_tableFile.names().first())
                given << name;
        }
        if (given.isEmpty())
            return true;
        const QString first = m_parser.values(given[0]).first();
        if (given.size() > 1)
            return fail(QStringLiteral("the pay table is given twice: --%1 %2 and --%3")
                            .arg(given[0], quotedStart(first), given[1]));
        m_request.tableOption = QStringLiteral("--") + given[0];
        m_request.tableValue = first;
        return true;
    }

    bool readSimulationNumbers()
    {
        for (const QString &value : m_parser.values(m_seed)) {
            bool ok = false;
            m_request.simulation.seed = value.toULongLong(&ok);
            if (!ok)
                return fail(QStringLiteral("--seed takes a whole number from 0 up, not %1").arg(quotedStart(value)));
        }
        return readCount(m_hands, qint64(1) << 40, &m_request.simulation.hands)
               && readCount(m_threads, 1024, &m_request.simulation.threads);
    }

    static QString playNames()
    {
        QStringList names;
        for (const auto &[name, strategy] : PlayNames)
            names << QLatin1String(name);
        return names.join(QStringLiteral(", "));
    }

    bool readPlay()
    {
        for (const QString &value : m_parser.values(m_play)) {
            unsigned strategies = 0;
            for (const QString &word : value.split(QLatin1Char(','))) {
                const auto named = std::find_if(PlayNames.begin(), PlayNames.end(),
                                                [&](const auto &play) { return word == QLatin1String(play.first); });
                if (named == PlayNames.end())
                    return fail(QStringLiteral("--play takes %1, joined by commas, not %2").arg(playNames(), quotedStart(word)));
                strategies |= strategyBit(named->second);
            }
            m_request.simulation.strategies = strategies;
        }
        return true;
    }

    template <typename Number>
    bool readCount(const QCommandLineOption &option, qint64 largest, Number *count)
    {
        for (const QString &value : m_parser.values(option)) {
            bool ok = false;
            const qint64 number = value.toLongLong(&ok);
            if (!ok || number < 1 || number > largest)
                return fail(QStringLiteral("--%1 takes a whole number from 1 to %2, not %3")
                                .arg(option.names().first())
                                .arg(largest)
                                .arg(quotedStart(value)));
            *count = Number(number);
        }
        return true;
    }

    // Options that belong to another command, and words a command does not
    // take.
    bool checkCommand()
    {
        const QString &command = m_request.command;
        for (const QString &option : m_parser.optionNames()) {
            const QString owner = ownerOf(option);
            if (m_request.countRules && simulatesCountRules(option))
                continue;
            if (!owner.isEmpty() && owner != command)
                return fail(QStringLiteral("--%1 belongs to %2, not to %3").arg(option, owner, command));
        }
        if (m_request.countRules && (m_request.shortChart || m_request.handLine))
            return fail(QStringLiteral("--count-rules changes the full chart, and takes neither --short nor --hand"));
        const bool takesCards = command == QLatin1String("hold") || m_parser.isSet(m_hand);
        if (command == QLatin1String("strategy") && m_parser.isSet(m_hand) && m_request.arguments.size() != HandSize)
            return fail(QStringLiteral("--hand takes exactly five cards, not %1").arg(m_request.arguments.size()));
        if (!takesCards && !m_request.arguments.isEmpty())
            return fail(QStringLiteral("%1 takes no words after it, but %2 was given")
                            .arg(command, quotedStart(m_request.arguments[0])));
        return true;
    }

    bool fail(const QString &message)
    {
        m_error = message;
        return false;
    }

    QCommandLineParser m_parser;
    const QCommandLineOption m_help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("this text")};
    const QCommandLineOption m_table{QStringLiteral("table"),
                                     QStringLiteral("one of the built-in pay tables: %1; game, this game's own, by default")
                                         .arg(PayTable::names().join(QStringLiteral(", "))),
                                     QStringLiteral("NAME")};
    const QCommandLineOption m_tableFile{QStringLiteral("table-file"),
                                         QStringLiteral("a pay table of your own, in the form below"), QStringLiteral("FILE")};
    const QCommandLineOption m_removed{QStringLiteral("removed"), QStringLiteral("hold: cards out of the deck as well"),
                                       QStringLiteral("CARD...")};
    const QCommandLineOption m_hands{QStringLiteral("hands"),
                                     QStringLiteral("simulate: how many hands to play, 1000000 by default"), QStringLiteral("N")};
    const QCommandLineOption m_seed{QStringLiteral("seed"),
                                    QStringLiteral("simulate: where the random numbers start, 1 by default; the same "
                                                   "seed and number of hands give the same figures on any number of "
                                                   "threads"),
                                    QStringLiteral("N")};
    const QCommandLineOption m_threads{QStringLiteral("threads"),
                                       QStringLiteral("simulate: how many threads share the hands; by default every "
                                                      "CPU the tool may run on"),
                                       QStringLiteral("N")};
    const QCommandLineOption m_reshuffle{QStringLiteral("reshuffle-every-hand"),
                                         QStringLiteral("simulate: every hand from a fresh deck")};
    const QCommandLineOption m_play{QStringLiteral("play"),
                                    QStringLiteral("simulate: the ways of holding to play, from deck, fresh, chart and "
                                                   "count, joined by commas; deck,fresh by default"),
                                    QStringLiteral("WAYS")};
    const QCommandLineOption m_countRules{QStringLiteral("count-rules"),
                                          QStringLiteral("strategy: changes to the chart by counting the cards gone, "
                                                         "with their worth; takes --hands, --seed and --threads")};
    const QCommandLineOption m_short{QStringLiteral("short"), QStringLiteral("strategy: the short chart, to learn first")};
    const QCommandLineOption m_hand{QStringLiteral("hand"),
                                    QStringLiteral("strategy: the line five cards fall on, and the cards to keep")};
    Request m_request;
    QString m_error;
};

// A pay-table file, read without waiting for a writer that may never come
// (a FIFO) and without reading for ever (/dev/zero).
std::optional<QByteArray> readTableFile(const QString &path, QString *error)
{
    constexpr qsizetype Largest = 1 << 20;
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    auto fail = [&](const QString &why) {
        *error = QStringLiteral("cannot read the pay table %1: %2").arg(quotedStart(path), why);
        if (fd >= 0)
            ::close(fd);
        return std::nullopt;
    };
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(status.st_mode))
        return fail(QStringLiteral("it is a folder"));
    if (S_ISREG(status.st_mode) && status.st_size > Largest)
        return fail(QStringLiteral("it is larger than 1 MiB"));
    // Blocking again, so that a pipe with a writer is read to its end; one
    // with no writer reads as empty.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        if (got == 0)
            break;
        bytes.append(buffer, got);
        if (bytes.size() > Largest)
            return fail(QStringLiteral("it is larger than 1 MiB"));
    }
    ::close(fd);
    return bytes;
}

std::optional<PayTable> tableOf(const Request &request, QString *error)
{
    if (request.tableOption.isEmpty())
        return PayTable::game();
    if (request.tableOption == QLatin1String("--table")) {
        const std::optional<PayTable> named = PayTable::named(request.tableValue);
        if (!named)
            *error = QStringLiteral("no pay table is called %1; the tables are %2")
                         .arg(quotedStart(request.tableValue), PayTable::names().join(QStringLiteral(", ")));
        return named;
    }
    const std::optional<QByteArray> bytes = readTableFile(request.tableValue, error);
    if (!bytes)
        return std::nullopt;
    QString why;
    const std::optional<PayTable> parsed = parsePayTable(QString::fromUtf8(*bytes), &why);
    if (!parsed)
        *error = QStringLiteral("pay table %1, %2").arg(quotedStart(request.tableValue), why);
    return parsed;
}

QString fraction(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t divisor = std::gcd(numerator, denominator);
    return QStringLiteral("%1/%2").arg(numerator / divisor).arg(denominator / divisor);
}

// A chance as people say it: "1 in 78,174", or "1 in 1.3" for the common
// hands, where a whole number would say too little.
QString oneIn(std::int64_t count, std::int64_t total)
{
    const double ways = double(total) / double(count);
    const QLocale english(QLocale::English);
    return QStringLiteral("1 in %1").arg(ways < 10 ? english.toString(ways, 'f', 1) : english.toString(qint64(std::llround(ways))));
}

// The five cards of a hand given after the command, and the cards given
// after --removed; 0, or the status to exit with after saying what is wrong.
int readCards(const Request &request, std::array<CardCode, HandSize> *hand, CardSet *seen)
{
    auto take = [&](const QString &word, const QString &where, CardCode *card) {
        const std::optional<CardCode> parsed = parseCard(word);
        if (!parsed)
            return usageError(QStringLiteral("%1 (%2) is not a card; %3").arg(quotedStart(word), where, cardForms()));
        if (*seen & cardBit(*parsed))
            return usageError(QStringLiteral("%1 is given twice (%2)").arg(shortCardName(*parsed), where));
        *seen |= cardBit(*parsed);
        *card = *parsed;
        return 0;
    };
    for (int i = 0; i < HandSize; ++i) {
        if (const int status = take(request.arguments[i], QStringLiteral("card %1 of the hand").arg(i + 1), &(*hand)[i]))
            return status;
    }
    for (qsizetype i = 0; i < request.removed.size(); ++i) {
        CardCode removed;
        if (const int status = take(request.removed[i], QStringLiteral("card %1 after --removed").arg(i + 1), &removed))
            return status;
    }
    return 0;
}

int showHolds(const Request &request, const PayTable &table)
{
    if (request.arguments.size() != HandSize)
        return usageError(QStringLiteral("hold takes exactly five cards, not %1").arg(request.arguments.size()));

    std::array<CardCode, HandSize> hand;
    CardSet seen = 0;
    if (const int status = readCards(request, &hand, &seen))
        return status;

    const CardSet deck = FullDeck & ~seen;
    std::array<HoldResult, HoldCount> holds = analyseHolds(hand, deck, table);
    std::array<HoldResult, HoldCount> ranked = holds;
    std::sort(ranked.begin(), ranked.end(), isBetterHold);
    out << QStringLiteral("%1 cards in the deck\n\n").arg(std::popcount(deck));
    QStringList returns;
    for (const HoldResult &hold : ranked)
        returns << (hold.draws ? QString::number(hold.expectedReturn(), 'f', 6) : QStringLiteral("no draw"));
    // As wide as the widest return, so that a royal's 200.000000 lines up.
    const int width = int(std::max_element(returns.begin(), returns.end(), [](const QString &a, const QString &b) {
                              return a.size() < b.size();
                          })->size());
    const QString row = QStringLiteral("%1  %2  %3  %4\n");
    out << row.arg(QStringLiteral(" #")).arg(QStringLiteral("hold"), -14).arg(QStringLiteral("return"), width).arg(QStringLiteral("exact"));
    for (int i = 0; i < HoldCount; ++i) {
        const HoldResult &hold = ranked[i];
        out << row.arg(i + 1, 2)
                   .arg(holdColumnsText(hand, hold.mask), -14)
                   .arg(returns[i], width)
                   .arg(hold.draws ? fraction(hold.totalPay, hold.draws) : QString());
    }
    return 0;
}

std::array<std::int64_t, CategoryCount> byCategory(const std::array<std::int64_t, OutcomeCount> &outcomes)
{
    std::array<std::int64_t, CategoryCount> counts{};
    for (int o = 0; o < OutcomeCount; ++o)
        counts[std::size_t(categoryOf(Outcome(o)))] += outcomes[o];
    return counts;
}

int showReturn(const PayTable &table)
{
    QElapsedTimer clock;
    clock.start();
    const GameReturn game = exactGameReturn(table);
    out << QStringLiteral("return  %1 = %2\n\n").arg(fraction(game.totalPay, game.denominator))
               .arg(game.value(), 0, 'f', 8);
    const std::array<std::int64_t, CategoryCount> counts = byCategory(game.outcomes);
    std::array<std::int64_t, CategoryCount> payByCategory{};
    for (int o = 0; o < OutcomeCount; ++o)
        payByCategory[std::size_t(categoryOf(Outcome(o)))] += game.outcomes[o] * table.pay(Outcome(o));
    const QString row = QStringLiteral("%1 %2  %3  %4  %5\n");
    out << row.arg(QStringLiteral("final hand"), -16)
               .arg(QStringLiteral("combinations"), 24)
               .arg(QStringLiteral("probability"), 11)
               .arg(QStringLiteral("chance"), 13)
               .arg(QStringLiteral("return"), 8);
    for (int c = 0; c < CategoryCount; ++c) {
        const std::int64_t count = counts[c];
        // A hand the table cannot pay for (a pair, where no pair pays) is
        // never the final hand of the best play.
        if (count == 0)
            continue;
        out << row.arg(categoryName(Category(c), table), -16)
                   .arg(count, 24)
                   .arg(double(count) / double(game.denominator), 11, 'f', 8)
                   .arg(oneIn(count, game.denominator), 13)
                   .arg(double(payByCategory[c]) / double(game.denominator), 8, 'f', 6);
    }
    out << QStringLiteral("%1 %2\n").arg(QStringLiteral("total"), -16).arg(game.denominator, 24);
    err << QStringLiteral("computed in %1 s\n").arg(double(clock.elapsed()) / 1000.0, 0, 'f', 2);
    return 0;
}

QString minutesAndSeconds(double seconds)
{
    const auto whole = qint64(std::ceil(seconds));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

// How far a simulation has come, on one line of a terminal that is
// rewritten as it goes; nothing for a run shorter than a second, or when
// the messages go to a file or a pipe.
class ProgressLine
{
public:
    explicit ProgressLine(std::int64_t hands)
        : m_hands(hands)
        , m_terminal(::isatty(STDERR_FILENO))
    {
        m_clock.start();
    }
    ~ProgressLine()
    {
        if (m_shown)
            err << '\r' << QString(m_shown, QLatin1Char(' ')) << '\r' << Qt::flush;
    }

    void update(std::int64_t played)
    {
        const double seconds = double(m_clock.elapsed()) / 1000.0;
        if (!m_terminal || seconds < 1.0 || played == 0)
            return;
        const double rate = double(played) / seconds;
        const QString line = QStringLiteral("%1%  %2 hands/s  %3 left")
                                 .arg(100 * played / m_hands, 3)
                                 .arg(qint64(rate))
                                 .arg(minutesAndSeconds(double(m_hands - played) / rate));
        err << '\r' << line.leftJustified(int(m_shown)) << Qt::flush;
        m_shown = std::max(m_shown, line.size());
    }

    double seconds() const { return double(m_clock.elapsed()) / 1000.0; }

private:
    std::int64_t m_hands;
    bool m_terminal;
    qsizetype m_shown = 0;
    QElapsedTimer m_clock;
};

QString interval(const Estimate &estimate, bool signedValues)
{
    const QChar sign = signedValues ? QLatin1Char('+') : QLatin1Char(' ');
    auto number = [&](double value) {
        const QString text = QString::number(value, 'f', 6);
        return signedValues && value >= 0 ? sign + text : text;
    };
    if (std::isnan(estimate.halfWidth))
        return QStringLiteral("%1  (too few hands for an interval)").arg(number(estimate.value), 10);
    return QStringLiteral("%1  %2 to %3")
        .arg(number(estimate.value), 10)
        .arg(number(estimate.value - estimate.halfWidth), 10)
        .arg(number(estimate.value + estimate.halfWidth));
}

// The ways of holding as simulate names them, in its rows and columns.
struct StrategyNames
{
    Strategy strategy;
    const char *row;
    const char *column;
};
const std::array<StrategyNames, StrategyCount> Ways = {{
    {Strategy::DeckAsItIs, "on the deck as it is", "deck as it is"},
    {Strategy::FreshDeck, "on a fresh deck", "fresh deck"},
    {Strategy::Chart, "by the chart", "chart"},
    {Strategy::ChartWithCount, "by the chart, count rules", "count rules"},
}};

// Runs a simulation with a line that shows how far it has come; the
// seconds it took go to `seconds`.
template <typename Run>
auto withProgress(std::int64_t hands, double *seconds, Run run)
{
    ProgressLine progress(hands);
    auto result = run([&](std::int64_t played) { progress.update(played); });
    *seconds = progress.seconds();
    return result;
}

void showSeconds(const QString &what, double seconds, std::int64_t hands)
{
    err << QStringLiteral("%1 in %2 s, %3 hands per second\n")
               .arg(what)
               .arg(seconds, 0, 'f', 2)
               .arg(qint64(double(hands) / std::max(seconds, 1e-3)));
}

// The returns of the ways played, their differences on the same decks,
// and how often each final hand came up.
void showReturns(const SimulationResult &result, const PayTable &table)
{
    out << QStringLiteral("holding for the best return  per credit  95% interval\n");
    for (const StrategyNames &way : Ways) {
        if (result.played(way.strategy))
            out << QStringLiteral("%1 %2\n").arg(QLatin1String(way.row), -27).arg(interval(result.returnOf(way.strategy), false));
    }
    const std::array<std::tuple<Strategy, Strategy, const char *>, 3> differences = {{
        {Strategy::DeckAsItIs, Strategy::FreshDeck, "difference, same decks"},
        {Strategy::ChartWithCount, Strategy::Chart, "count rules over the chart"},
        {Strategy::DeckAsItIs, Strategy::Chart, "deck as it is over chart"},
    }};
    for (const auto &[better, worse, row] : differences) {
        if (result.played(better) && result.played(worse))
            out << QStringLiteral("%1 %2\n").arg(QLatin1String(row), -27).arg(interval(result.difference(better, worse), true));
    }
    out << QStringLiteral("\n%1").arg(QStringLiteral("final hand"), -16);
    std::vector<std::array<std::int64_t, CategoryCount>> counts;
    for (const StrategyNames &way : Ways) {
        if (!result.played(way.strategy))
            continue;
        out << QStringLiteral("  %1").arg(QLatin1String(way.column), 13);
        counts.push_back(byCategory(result.outcomes[std::size_t(way.strategy)]));
    }
    out << '\n';
    for (int c = 0; c < CategoryCount; ++c) {
        out << QStringLiteral("%1").arg(categoryName(Category(c), table), -16);
        for (const std::array<std::int64_t, CategoryCount> &count : counts)
            out << QStringLiteral("  %1").arg(double(count[c]) / double(result.hands), 13, 'f', 8);
        out << '\n';
    }
}

// The seed count rules are found on, that they are measured on others.
std::uint64_t findingSeed(std::uint64_t seed)
{
    return seed + 1;
}

// The count rules found for the full chart, on hands from the finding
// seed.
CountRules foundCountRules(const StrategyChart &chart, const SimulationSettings &settings)
{
    SimulationSettings finding = settings;
    finding.seed = findingSeed(settings.seed);
    double seconds = 0;
    std::int64_t played = 0; // in all the passes the search made
    std::vector<CountRule> rules = withProgress(finding.hands * CountRules::Most, &seconds, [&](const auto &progress) {
        return findCountRules(chart, finding, CountRules::Most, [&](std::int64_t hands) {
            played = hands;
            progress(hands);
        });
    });
    showSeconds(QStringLiteral("count rules found"), seconds, played);
    return CountRules(chart, std::move(rules));
}

void showCountRuleWords(const CountRules &rules, bool withWorth)
{
    for (int r = 0; r < int(rules.rules().size()); ++r) {
        out << QStringLiteral("%1. %2\n").arg(r + 1).arg(rules.words(r));
        if (withWorth)
            out << QStringLiteral("   worth, alone: %1\n").arg(interval(rules.rules()[std::size_t(r)].worth, true).simplified());
    }
    if (rules.rules().empty())
        out << QStringLiteral("No change to the chart gained clearly.\n");
}

QString derivedChartNote(const QElapsedTimer &clock)
{
    return QStringLiteral("derived in %1 s\n").arg(double(clock.elapsed()) / 1000.0, 0, 'f', 2);
}

int showSimulation(const Request &request, const PayTable &table)
{
    const SimulationSettings &settings = request.simulation;
    const bool needsChart = settings.strategies & (strategyBit(Strategy::Chart) | strategyBit(Strategy::ChartWithCount));
    std::optional<StrategyChart> chart;
    std::optional<CountRules> countRules;
    if (needsChart) {
        QElapsedTimer clock;
        clock.start();
        chart.emplace(table, ChartLevel::Full);
        err << derivedChartNote(clock);
    }
    if (settings.strategies & strategyBit(Strategy::ChartWithCount))
        countRules.emplace(foundCountRules(*chart, settings));

    double seconds = 0;
    const GameSimulation game(table, chart ? &*chart : nullptr, countRules ? &*countRules : nullptr);
    const SimulationResult result =
        withProgress(settings.hands, &seconds, [&](const auto &progress) { return game.run(settings, progress); });
    out << QStringLiteral("%1 hands, seed %2, %3 thread%4; %5\n\n")
               .arg(result.hands)
               .arg(settings.seed)
               .arg(settings.threads)
               .arg(settings.threads == 1 ? QString() : QStringLiteral("s"))
               .arg(settings.reshuffleEveryHand
                        ? QStringLiteral("a fresh deck for every hand")
                        : QStringLiteral("the deck reshuffled once more than %1 cards were dealt").arg(Deck::ReshuffleAfter));
    if (countRules) {
        out << QStringLiteral("The count rules, found on as many hands from seed %1:\n").arg(findingSeed(settings.seed));
        showCountRuleWords(*countRules, false);
        out << '\n';
    }
    showReturns(result, table);
    showSeconds(QStringLiteral("played"), seconds, result.hands);
    return 0;
}

// The hands --count-rules finds and measures on by default: both in
// about twenty-five seconds on two cores.
constexpr std::int64_t CountRuleHands = 1000000;

int showCountRules(const Request &request, const PayTable &table)
{
    SimulationSettings settings = request.simulation;
    if (!request.handsGiven)
        settings.hands = CountRuleHands;
    QElapsedTimer clock;
    clock.start();
    const StrategyChart chart(table, ChartLevel::Full);
    err << derivedChartNote(clock);
    CountRules rules = foundCountRules(chart, settings);
    double seconds = 0;
    const std::int64_t measuredHands = settings.hands * std::int64_t(1 + rules.rules().size());
    const SimulationResult result = withProgress(measuredHands, &seconds, [&](const auto &progress) {
        return measureCountRules(rules, settings, progress);
    });
    showSeconds(QStringLiteral("measured"), seconds, measuredHands);

    out << QStringLiteral("Count rules for the chart, found on %1 hands from seed %2, measured on %1 hands from seed %3 "
                          "(%4 thread%5):\n")
               .arg(settings.hands)
               .arg(findingSeed(settings.seed))
               .arg(settings.seed)
               .arg(settings.threads)
               .arg(settings.threads == 1 ? QString() : QStringLiteral("s"));
    showCountRuleWords(rules, true);
    out << '\n';
    showReturns(result, table);
    const double deck = rules.deckAsItIsWorth.value;
    out << QStringLiteral("\nThe rules recover %1% of what holding for the deck as it is adds over a fresh deck "
                          "(%2% to %3% by the rules' interval).\n")
               .arg(100 * rules.worth.value / deck, 0, 'f', 1)
               .arg(100 * (rules.worth.value - rules.worth.halfWidth) / deck, 0, 'f', 1)
               .arg(100 * (rules.worth.value + rules.worth.halfWidth) / deck, 0, 'f', 1);
    err << QStringLiteral("in all %1 s\n").arg(double(clock.elapsed()) / 1000.0, 0, 'f', 2);
    return 0;
}

QString percent(const ExactReturn &exact)
{
    return QString::number(exact.value() * 100, 'f', 6) + QLatin1Char('%');
}

QString handNames(const std::array<CardCode, HandSize> &hand)
{
    QStringList names;
    for (const CardCode &card : hand)
        names << shortCardName(card);
    return names.join(QLatin1Char(' '));
}

int showStrategy(const Request &request, const PayTable &table)
{
    std::array<CardCode, HandSize> hand;
    CardSet seen = 0;
    if (request.handLine) {
        if (const int status = readCards(request, &hand, &seen))
            return status;
    }
    if (request.countRules)
        return showCountRules(request, table);
    QElapsedTimer clock;
    clock.start();
    const StrategyChart chart(table, request.shortChart ? ChartLevel::Short : ChartLevel::Full);
    err << derivedChartNote(clock);
    if (request.handLine) {
        const StrategyChart::Pick pick = chart.pick(hand);
        out << QStringLiteral("line %1: %2\n").arg(pick.line + 1).arg(chart.words(pick.line));
        out << keptShortNames(hand, pick.hold) << '\n';
        return 0;
    }
    const std::vector<StrategyChart::Line> &lines = chart.lines();
    out << QStringLiteral("Play the highest line the hand has; of two holds on one line, keep the higher cards.\n");
    out << QStringLiteral(" #  line  |  example: the cards, and those kept  |  how often played  |  average value\n");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out << QStringLiteral("%1  %2  |  %3  |  %4  |  %5\n")
                   .arg(i + 1, 2)
                   .arg(chart.words(int(i)),
                        handNames(lines[i].example) + QStringLiteral(", keep ") + keptShortNames(lines[i].example, lines[i].exampleHold),
                        oneIn(lines[i].deals, Choose[DeckSize][HandSize]))
                   .arg(lines[i].averageValue(), 0, 'f', 4);
    }
    const double cost = chart.bestReturn().value() - chart.chartReturn().value();
    out << QStringLiteral("chart %1  best play %2  cost %3%\n")
               .arg(percent(chart.chartReturn()), percent(chart.bestReturn()))
               .arg(cost * 100, 0, 'f', 6);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    CommandLine commandLine;
    if (arguments.size() == 1) {
        out << commandLine.help();
        return 2;
    }
    QString error;
    const std::optional<Request> request = commandLine.read(arguments, &error);
    if (!request)
        return usageError(error);
    if (request->help) {
        out << commandLine.help();
        return 0;
    }
    const std::optional<PayTable> table = tableOf(*request, &error);
    if (!table)
        return usageError(error);
    if (request->command == QLatin1String("hold"))
        return showHolds(*request, *table);
    if (request->command == QLatin1String("return"))
        return showReturn(*table);
    if (request->command == QLatin1String("strategy"))
        return showStrategy(*request, *table);
    return showSimulation(*request, *table);
}
