// Count rules: the few changes to a strategy chart that a player who
// counts the cards gone since the shuffle can make, found and measured in
// the game as the table deals it.
#include "countrules.h"

#include "holdadvisor.h"

#include <QCryptographicHash>
#include <QStringList>

#include <algorithm>
#include <bit>

namespace {

// Every card of a suit, and every card of a set of ranks.
constexpr CardSet OneOfEachRank = 0x0001111111111111u;
constexpr CardSet cardsOfSuit(int suit)
{
    return OneOfEachRank << suit;
}
CardSet cardsOfRanks(unsigned ranks)
{
    CardSet cards = 0;
    for (; ranks; ranks &= ranks - 1)
        cards |= CardSet(0xF) << (std::countr_zero(ranks) * SuitCount);
    return cards;
}

const char *const CountedNames[CountedCardsKinds] = {"suit", "straight", "rank"};

// What a rule counts, for its words: "cards of its suit".
QString countedWords(CountedCards counted)
{
    switch (counted) {
    case CountedCards::Suit: return QStringLiteral("cards of its suit");
    case CountedCards::Straight: return QStringLiteral("cards of the ranks its straights need");
    case CountedCards::Rank: return QStringLiteral("cards of the ranks it keeps");
    }
    return QString();
}

// The first letter small, so that a line's words read inside a sentence.
QString inSentence(const QString &words)
{
    return words.isEmpty() ? words : words.front().toLower() + words.mid(1);
}

// The chart a text was written for: its number of lines and a digest of
// their words.
QString chartMark(const StrategyChart &chart)
{
    QStringList words;
    for (int line = 0; line < int(chart.lines().size()); ++line)
        words << chart.words(line);
    const QByteArray digest = QCryptographicHash::hash(words.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("%1 %2").arg(chart.lines().size()).arg(QString::fromLatin1(digest.toHex().left(8)));
}

// Which holds of a line a kicker is kept with, where the line has others
// too: "with three of a kind ".
QString kickerHoldsWords(const StrategyLine &line)
{
    const bool pair = line.hasKind(HoldKind::Pair, 2);
    const bool three = line.hasKind(HoldKind::ThreeOfAKind, 3);
    const bool others = std::any_of(line.classes.begin(), line.classes.end(), [](const HoldClass &holds) {
        return !(holds.kind == HoldKind::Pair && holds.cards == 2) && !(holds.kind == HoldKind::ThreeOfAKind && holds.cards == 3);
    });
    if (!others)
        return QString();
    if (pair && three)
        return QStringLiteral("with a pair or three of a kind ");
    return pair ? QStringLiteral("with a pair ") : three ? QStringLiteral("with three of a kind ") : QString();
}

const QString TextHeading = QStringLiteral("drawpoker count rules 1");
// Longer text is no list of a few rules.
constexpr qsizetype LongestText = 64 * 1024;

QString numberText(double value, bool signedValue)
{
    if (std::isnan(value))
        return QStringLiteral("-");
    const QString text = QString::number(value, 'f', 6);
    return signedValue && value >= 0 ? QLatin1Char('+') + text : text;
}

QString estimateText(const Estimate &estimate)
{
    return numberText(estimate.value, true) + QLatin1Char(' ') + numberText(estimate.halfWidth, false);
}

// "-" for a figure not measured; any other word must be a finite number.
std::optional<double> readNumber(const QString &word)
{
    if (word == QLatin1String("-"))
        return std::nan("");
    bool ok = false;
    const double value = word.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Estimate> readEstimate(const QString &value, const QString &halfWidth)
{
    const std::optional<double> mean = readNumber(value);
    const std::optional<double> width = readNumber(halfWidth);
    if (!mean || !width || *width < 0)
        return std::nullopt;
    return Estimate{*mean, *width};
}

// A kicker as a rule's text names it: "kicker" for any, "kicker:N" for
// one of whose rank at most N others are gone.
QString kickerText(int goneAtMost)
{
    return goneAtMost == CountRule::AnyKicker ? QStringLiteral("kicker") : QStringLiteral("kicker:%1").arg(goneAtMost);
}

std::optional<int> readKicker(const QString &word)
{
    for (int gone = 0; gone <= CountRule::AnyKicker; ++gone) {
        if (word == kickerText(gone))
            return gone;
    }
    return std::nullopt;
}

// Reads "FROM TO COUNTED AT-LEAST WORTH HALF-WIDTH", the lines numbered
// from 1 as the chart prints them.
std::optional<CountRule> readRule(const QStringList &words, int chartLines, QString *why)
{
    if (words.size() != 7) {
        *why = QStringLiteral("a rule has six items after \"rule\"");
        return std::nullopt;
    }
    CountRule rule;
    bool fromOk = false;
    bool toOk = false;
    bool countOk = false;
    rule.from = words[1].toInt(&fromOk) - 1;
    const std::optional<int> kickerGone = readKicker(words[2]);
    const bool kicker = kickerGone.has_value();
    rule.to = kicker ? CountRule::KeepKicker : words[2].toInt(&toOk) - 1;
    rule.kickerGoneAtMost = kickerGone.value_or(CountRule::AnyKicker);
    rule.atLeast = words[4].toInt(&countOk);
    const bool toLine = toOk && rule.to < chartLines && rule.from < rule.to;
    if (!fromOk || rule.from < 0 || rule.from >= chartLines || !(kicker || toLine)) {
        *why = QStringLiteral("the lines must be two of the chart's 1 to %1, the higher first, or one and "
                              "\"kicker\" or \"kicker:N\", N from 0 to %2")
                   .arg(chartLines)
                   .arg(CountRule::AnyKicker - 1);
        return std::nullopt;
    }
    const auto counted = std::find(std::begin(CountedNames), std::end(CountedNames), words[3]);
    if (counted == std::end(CountedNames)) {
        *why = QStringLiteral("what is counted is suit, straight or rank");
        return std::nullopt;
    }
    rule.counted = CountedCards(counted - std::begin(CountedNames));
    if (kicker && rule.counted != CountedCards::Rank) {
        *why = QStringLiteral("a kicker is kept by the count of its pair's or three's rank");
        return std::nullopt;
    }
    if (!countOk || rule.atLeast < 1 || rule.atLeast > DeckSize) {
        *why = QStringLiteral("the count must be a whole number from 1 to %1").arg(DeckSize);
        return std::nullopt;
    }
    const std::optional<Estimate> worth = readEstimate(words[5], words[6]);
    if (!worth) {
        *why = QStringLiteral("the worth must be two numbers or \"-\"");
        return std::nullopt;
    }
    rule.worth = *worth;
    return rule;
}

} // namespace

std::optional<int> cardsGone(const Straights &straights, const std::array<CardCode, HandSize> &hand, unsigned hold,
                             CountedCards counted, CardSet left)
{
    CardSet kept = 0;
    unsigned suits = 0;
    unsigned ranks = 0;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (hold & (1u << slot)) {
            kept |= cardBit(hand[slot]);
            suits |= 1u << hand[slot].suit;
            ranks |= 1u << hand[slot].rank;
        }
    }
    if (kept == 0)
        return std::nullopt;
    CardSet cards = 0;
    switch (counted) {
    case CountedCards::Suit:
        if (!std::has_single_bit(suits))
            return std::nullopt;
        cards = cardsOfSuit(std::countr_zero(suits));
        break;
    case CountedCards::Rank: cards = cardsOfRanks(ranks); break;
    case CountedCards::Straight: {
        if (std::popcount(ranks) != bitCount(kept))
            return std::nullopt;
        unsigned needed = 0;
        for (int s = 0; s < straights.count; ++s) {
            if ((ranks & ~straights.ranks[std::size_t(s)]) == 0)
                needed |= straights.ranks[std::size_t(s)] & ~ranks;
        }
        if (needed == 0)
            return std::nullopt;
        cards = cardsOfRanks(needed);
        break;
    }
    }
    return bitCount(cards & ~left & ~kept);
}

std::optional<Kicker> kickerOf(const std::array<CardCode, HandSize> &hand, unsigned hold, CardSet left)
{
    unsigned ranks = 0;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (hold & (1u << slot))
            ranks |= 1u << hand[std::size_t(slot)].rank;
    }
    const int kept = std::popcount(hold);
    const bool pairOrThree = std::has_single_bit(ranks) && (kept == 2 || kept == 3);
    if (!pairOrThree)
        return std::nullopt;
    std::optional<Kicker> kicker;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (hold & (1u << slot))
            continue;
        const CardCode card = hand[std::size_t(slot)];
        const int gone = bitCount(cardsOfRanks(1u << card.rank) & ~left & ~cardBit(card));
        if (!kicker || gone < kicker->othersGone
            || (gone == kicker->othersGone && card.rank > hand[std::size_t(kicker->slot)].rank))
            kicker = Kicker{slot, gone};
    }
    return kicker;
}

CountRules::CountRules(const StrategyChart &chart, std::vector<CountRule> rules)
    : m_chart(&chart)
    , m_rules(std::move(rules))
    , m_straights(chart.table())
{
}

CountRules::Pick CountRules::pick(const std::array<CardCode, HandSize> &hand, CardSet left) const
{
    const std::vector<StrategyChart::Pick> picks = m_chart->picksByLine(hand);
    const StrategyChart::Pick &chartPick = picks.front();
    for (std::size_t r = 0; r < m_rules.size(); ++r) {
        const CountRule &rule = m_rules[r];
        if (rule.from != chartPick.line)
            continue;
        const std::optional<int> gone = cardsGone(m_straights, hand, chartPick.hold, rule.counted, left);
        if (!gone || *gone < rule.atLeast)
            continue;
        if (rule.to == CountRule::KeepKicker) {
            const std::optional<Kicker> kicker = kickerOf(hand, chartPick.hold, left);
            if (!kicker || kicker->othersGone > rule.kickerGoneAtMost)
                continue;
            const unsigned hold = chartPick.hold | 1u << kicker->slot;
            return {{hold, m_chart->lineOf(hand, hold).value_or(int(m_chart->lines().size()))}, int(r)};
        }
        const auto other = std::find_if(picks.begin(), picks.end(),
                                        [&](const StrategyChart::Pick &pick) { return pick.line == rule.to; });
        if (other != picks.end())
            return {*other, int(r)};
    }
    return {chartPick, std::nullopt};
}

void CountRules::setWorthOf(int rule, const Estimate &worth)
{
    m_rules[std::size_t(rule)].worth = worth;
}

QString CountRules::words(int rule) const
{
    const CountRule &r = m_rules[std::size_t(rule)];
    const QString where = QStringLiteral("Where the chart says line %1 (%2), ").arg(r.from + 1).arg(inSentence(m_chart->words(r.from)));
    if (r.to == CountRule::KeepKicker) {
        const QString kickerCount = r.kickerGoneAtMost < CountRule::AnyKicker
                                      ? QStringLiteral(" and at most %1 of the kicker's rank").arg(r.kickerGoneAtMost)
                                      : QString();
        return where
               + QStringLiteral("%1keep a kicker too when %2 or more other cards of its rank%3 are gone since the "
                                "shuffle, this hand's discards counted: the card of whose rank fewest others are "
                                "gone, of two the higher")
                     .arg(kickerHoldsWords(m_chart->lines()[std::size_t(r.from)].holds))
                     .arg(r.atLeast)
                     .arg(kickerCount);
    }
    return where
           + QStringLiteral("play line %1 (%2) instead when %3 or more %4 are gone since the shuffle, this hand's "
                            "discards counted")
                 .arg(r.to + 1)
                 .arg(inSentence(m_chart->words(r.to)))
                 .arg(r.atLeast)
                 .arg(countedWords(r.counted));
}

QString CountRules::toText() const
{
    QStringList lines = {TextHeading, QStringLiteral("chart ") + chartMark(*m_chart)};
    for (const CountRule &rule : m_rules) {
        lines << QStringLiteral("rule %1 %2 %3 %4 %5")
                     .arg(rule.from + 1)
                     .arg(rule.to == CountRule::KeepKicker ? kickerText(rule.kickerGoneAtMost)
                                                           : QString::number(rule.to + 1))
                     .arg(QLatin1String(CountedNames[int(rule.counted)]))
                     .arg(rule.atLeast)
                     .arg(estimateText(rule.worth));
    }
    lines << QStringLiteral("worth ") + estimateText(worth);
    lines << QStringLiteral("deck-as-it-is ") + estimateText(deckAsItIsWorth);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::optional<CountRules> CountRules::fromText(const StrategyChart &chart, const QString &text, QString *error)
{
    const auto fail = [&](int line, const QString &why) {
        *error = line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(why) : why;
        return std::nullopt;
    };
    if (text.size() > LongestText)
        return fail(0, QStringLiteral("the text is too long for count rules"));
    CountRules rules(chart, {});
    bool headingRead = false;
    bool chartRead = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int at = 0; at < lines.size(); ++at) {
        const QStringList words = lines[at].simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int line = at + 1;
        if (words.isEmpty())
            continue;
        if (!headingRead) {
            if (words.join(QLatin1Char(' ')) != TextHeading)
                return fail(line, QStringLiteral("count rules begin with \"%1\"").arg(TextHeading));
            headingRead = true;
            continue;
        }
        const QString &item = words.front();
        if (item == QLatin1String("chart")) {
            if (words.mid(1).join(QLatin1Char(' ')) != chartMark(chart))
                return fail(line, QStringLiteral("the rules were written for another chart"));
            chartRead = true;
        } else if (!chartRead) {
            return fail(line, QStringLiteral("the chart the rules were written for comes first"));
        } else if (item == QLatin1String("rule")) {
            if (rules.m_rules.size() == std::size_t(Most))
                return fail(line, QStringLiteral("more than %1 rules").arg(Most));
            QString why;
            const std::optional<CountRule> rule = readRule(words, int(chart.lines().size()), &why);
            if (!rule)
                return fail(line, why);
            rules.m_rules.push_back(*rule);
        } else if ((item == QLatin1String("worth") || item == QLatin1String("deck-as-it-is")) && words.size() == 3) {
            const std::optional<Estimate> estimate = readEstimate(words[1], words[2]);
            if (!estimate)
                return fail(line, QStringLiteral("the worth must be two numbers or \"-\""));
            (item == QLatin1String("worth") ? rules.worth : rules.deckAsItIsWorth) = *estimate;
        } else {
            return fail(line, QStringLiteral("unexpected \"%1\"").arg(words.join(QLatin1Char(' ')).left(40)));
        }
    }
    if (!chartRead)
        return fail(0, QStringLiteral("no count rules"));
    return rules;
}

namespace {

// The largest count a rule found is told apart by; more are counted with it.
constexpr int CountCap = 15;
// Gains are added in whole billionths of a credit, so that the sums do
// not depend on the order in which the threads add them.
constexpr double GainUnit = 1e-9;

// Sums of squares of gains outgrow 64 bits.
__extension__ typedef __int128 WideSum;

// What one candidate rule, for one exact count, gained over the chart.
struct Tally
{
    std::int64_t hands = 0;
    WideSum gain = 0;
    WideSum squares = 0;

    void add(std::int64_t units)
    {
        ++hands;
        gain += units;
        squares += WideSum(units) * units;
    }
    void add(const Tally &other)
    {
        hands += other.hands;
        gain += other.gain;
        squares += other.squares;
    }
};

// The ways a candidate keeps something else, numbered: each line of the
// chart by its index, then a kicker by how many others of its rank are
// gone.
class Instead
{
public:
    explicit Instead(int lines)
        : m_lines(lines)
    {
    }
    int count() const { return m_lines + CountRule::AnyKicker + 1; }
    int kicker(int othersGone) const { return m_lines + othersGone; }
    bool isKicker(int instead) const { return instead >= m_lines; }
    int kickerGone(int instead) const { return instead - m_lines; }

private:
    int m_lines;
};

// Candidates by the chart's line, what is kept instead, what is counted
// and the count.
class CandidateTallies
{
public:
    explicit CandidateTallies(int lines)
        : m_lines(lines)
        , m_instead(lines)
        , m_tallies(std::size_t(lines) * std::size_t(m_instead.count()) * CountedCardsKinds * (CountCap + 1))
    {
    }

    Tally &at(int from, int instead, int counted, int count)
    {
        return m_tallies[((std::size_t(from) * std::size_t(m_instead.count()) + std::size_t(instead)) * CountedCardsKinds
                          + std::size_t(counted)) * (CountCap + 1) + std::size_t(std::min(count, CountCap))];
    }
    void add(const CandidateTallies &other)
    {
        for (std::size_t i = 0; i < m_tallies.size(); ++i)
            m_tallies[i].add(other.m_tallies[i]);
    }
    int lines() const { return m_lines; }
    const Instead &instead() const { return m_instead; }

private:
    int m_lines;
    Instead m_instead;
    std::vector<Tally> m_tallies;
};

// Weighs every candidate that would apply to one hand of the game after
// the rules already found: none where one of those changes the pick.
void weighCandidates(const CountRules &found, const Straights &straights, const std::array<CardCode, HandSize> &hand,
                     CardSet left, CandidateTallies &tallies)
{
    if (found.pick(hand, left).rule)
        return;
    const StrategyChart &chart = found.chart();
    const std::vector<StrategyChart::Pick> picks = chart.picksByLine(hand);
    const StrategyChart::Pick &chartPick = picks.front();
    const std::optional<Kicker> kicker = kickerOf(hand, chartPick.hold, left);
    if (picks.size() < 2 && !kicker)
        return;
    const std::array<HoldValue, HoldCount> values = valueHolds(hand, left, chart.table());
    const double chartValue = values[chartPick.hold].expectedReturn();
    std::array<std::optional<int>, CountedCardsKinds> gone;
    for (int c = 0; c < CountedCardsKinds; ++c)
        gone[std::size_t(c)] = cardsGone(straights, hand, chartPick.hold, CountedCards(c), left);
    const auto weigh = [&](unsigned hold, int instead) {
        const double gain = values[hold].expectedReturn() - chartValue;
        const auto units = std::int64_t(std::llround(gain / GainUnit));
        for (int c = 0; c < CountedCardsKinds; ++c) {
            if (gone[std::size_t(c)] && *gone[std::size_t(c)] > 0)
                tallies.at(chartPick.line, instead, c, *gone[std::size_t(c)]).add(units);
        }
    };
    for (std::size_t other = 1; other < picks.size(); ++other)
        weigh(picks[other].hold, picks[other].line);
    if (kicker)
        weigh(chartPick.hold | 1u << kicker->slot, tallies.instead().kicker(kicker->othersGone));
}

// A candidate rule with what it gained in all: the sum over the hands
// it applied to, and the spread of that sum.
struct Candidate
{
    CountRule rule;
    double gain = 0;
    double spread = 0;
};

// Adds the tallies of the candidates a rule with the thresholds given
// takes in, by count, the largest first: those of the line `instead`, or
// of every kicker with at most `kickerGone` others of its rank gone.
std::array<Tally, CountCap + 1> talliesTakenIn(CandidateTallies &tallies, int from, int instead, int counted)
{
    const Instead &ways = tallies.instead();
    std::array<Tally, CountCap + 1> byCount;
    const int first = ways.isKicker(instead) ? ways.kicker(0) : instead;
    for (int way = first; way <= instead; ++way) {
        for (int count = 1; count <= CountCap; ++count)
            byCount[std::size_t(count)].add(tallies.at(from, way, counted, count));
    }
    return byCount;
}

// The candidate that gains most, where one gains clearly.
std::optional<Candidate> bestCandidate(CandidateTallies &tallies)
{
    // Three standard errors: among the many candidates, few that gain
    // nothing reach it by chance.
    constexpr double Clearly = 3.0;
    const Instead &ways = tallies.instead();
    std::optional<Candidate> best;
    for (int from = 0; from < tallies.lines(); ++from) {
        for (int instead = from + 1; instead < ways.count(); ++instead) {
            for (int c = 0; c < CountedCardsKinds; ++c) {
                const std::array<Tally, CountCap + 1> byCount = talliesTakenIn(tallies, from, instead, c);
                Tally atLeast;
                for (int count = CountCap; count >= 1; --count) {
                    atLeast.add(byCount[std::size_t(count)]);
                    const auto gain = double(atLeast.gain);
                    const double spread = std::sqrt(double(atLeast.squares));
                    if (gain <= Clearly * spread || (best && gain <= best->gain))
                        continue;
                    CountRule rule{from, instead, CountedCards(c), count};
                    if (ways.isKicker(instead)) {
                        rule.to = CountRule::KeepKicker;
                        rule.kickerGoneAtMost = ways.kickerGone(instead);
                    }
                    best = Candidate{rule, gain, spread};
                }
            }
        }
    }
    return best;
}

} // namespace

std::vector<CountRule> findCountRules(const StrategyChart &chart, const SimulationSettings &settings, int most,
                                      const std::function<void(std::int64_t handsPlayed)> &progress)
{
    const int lines = int(chart.lines().size());
    const Straights straights(chart.table());
    SimulationSettings withRulesFound = settings;
    withRulesFound.strategies = strategyBit(Strategy::ChartWithCount);
    CountRules found(chart, {});
    for (int pass = 0; pass < most; ++pass) {
        const auto passProgress = [&](std::int64_t played) {
            if (progress)
                progress(pass * settings.hands + played);
        };
        std::vector<CandidateTallies> byThread(std::size_t(std::max(1, settings.threads)), CandidateTallies(lines));
        GameSimulation(chart.table(), &chart, &found)
            .run(withRulesFound, passProgress, [&](int thread, const std::array<CardCode, HandSize> &hand, CardSet left) {
                weighCandidates(found, straights, hand, left, byThread[std::size_t(thread)]);
            });
        CandidateTallies &tallies = byThread.front();
        for (std::size_t t = 1; t < byThread.size(); ++t)
            tallies.add(byThread[t]);
        const std::optional<Candidate> best = bestCandidate(tallies);
        if (!best)
            break;
        std::vector<CountRule> rules = found.rules();
        rules.push_back(best->rule);
        found = CountRules(chart, std::move(rules));
    }
    return found.rules();
}

SimulationResult measureCountRules(CountRules &rules, const SimulationSettings &settings,
                                   const std::function<void(std::int64_t handsPlayed)> &progress)
{
    const StrategyChart &chart = rules.chart();
    std::int64_t handsBefore = 0;
    const auto progressFrom = [&](std::int64_t played) {
        if (progress)
            progress(handsBefore + played);
    };
    SimulationSettings every = settings;
    every.strategies = strategyBit(Strategy::DeckAsItIs) | strategyBit(Strategy::FreshDeck)
                     | strategyBit(Strategy::Chart) | strategyBit(Strategy::ChartWithCount);
    const SimulationResult together = GameSimulation(chart.table(), &chart, &rules).run(every, progressFrom);
    handsBefore = settings.hands;
    rules.worth = together.difference(Strategy::ChartWithCount, Strategy::Chart);
    rules.deckAsItIsWorth = together.advantage();

    SimulationSettings chartAndRule = settings;
    chartAndRule.strategies = strategyBit(Strategy::Chart) | strategyBit(Strategy::ChartWithCount);
    for (int r = 0; r < int(rules.rules().size()); ++r) {
        const CountRules alone(chart, {rules.rules()[std::size_t(r)]});
        const SimulationResult result = GameSimulation(chart.table(), &chart, &alone).run(chartAndRule, progressFrom);
        rules.setWorthOf(r, result.difference(Strategy::ChartWithCount, Strategy::Chart));
        handsBefore += settings.hands;
    }
    return together;
}
