#pragma once

#include "holdshape.h"
#include "simulation.h"
#include "strategy.h"

#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

// Which of the cards gone since the shuffle a player counts for a hold:
// those its draw needs.
enum class CountedCards : std::uint8_t {
    Suit,     // of the suit of a hold of one suit
    Straight, // of the ranks its straights lack
    Rank,     // of the ranks it keeps
};
inline constexpr int CountedCardsKinds = int(CountedCards::Rank) + 1;

// How many of the cards `counted` names for the hold `hold` of `hand` are
// gone: not in `left`, the deck, nor kept; so the cards dealt since the
// shuffle, this hand's discards with them. None when the hold has no such
// cards: it keeps nothing, or no one suit, or a pair, or no straight
// holds it.
std::optional<int> cardsGone(const Straights &straights, const std::array<CardCode, HandSize> &hand, unsigned hold,
                             CountedCards counted, CardSet left);

// The kicker a player may keep with a pair or three of a kind: of the
// cards the hold `hold` of `hand` throws away, the one of whose rank
// fewest other cards are gone (not in `left`), of equals the higher; with
// that number. None for a hold of any other kind.
struct Kicker
{
    int slot = 0;
    int othersGone = 0;
};
std::optional<Kicker> kickerOf(const std::array<CardCode, HandSize> &hand, unsigned hold, CardSet left);

// An adjustment to a chart that a player makes by counting cards: where
// the chart's pick is on line `from` (an index), the hand has a hold on
// line `to`, and `atLeast` or more of the cards `counted` names for the
// pick are gone, keep the hold on `to` instead; or, for `to` KeepKicker
// and a pick of a pair or three of a kind, keep the pick and its kicker
// (see kickerOf) where at most `kickerGoneAtMost` others of the kicker's
// rank are gone.
struct CountRule
{
    static constexpr int KeepKicker = -1;
    static constexpr int AnyKicker = SuitCount - 1;

    int from = 0;
    int to = 0;
    CountedCards counted = CountedCards::Suit;
    int atLeast = 1;
    int kickerGoneAtMost = AnyKicker;
    // What the rule alone adds to the chart's return per credit, as
    // measured; not a number until it is.
    Estimate worth{std::nan(""), std::nan("")};
};

// A chart with its count rules: the first rule that applies to a hand
// changes the chart's pick.
class CountRules
{
public:
    static constexpr int Most = 5;

    CountRules(const StrategyChart &chart, std::vector<CountRule> rules);

    const StrategyChart &chart() const { return *m_chart; }
    const std::vector<CountRule> &rules() const { return m_rules; }

    // What to keep of `hand` with `left` the cards still in the deck, and
    // the rule that changed the chart's pick, if one did.
    struct Pick
    {
        StrategyChart::Pick pick;
        std::optional<int> rule;
    };
    Pick pick(const std::array<CardCode, HandSize> &hand, CardSet left) const;

    void setWorthOf(int rule, const Estimate &worth);
    // A rule in a player's words.
    QString words(int rule) const;

    // What the rules together add to the chart's return, and what the best
    // hold on the deck as it is adds to that of the best hold on a fresh
    // deck, both as measured on the same decks; not numbers until they are.
    Estimate worth{std::nan(""), std::nan("")};
    Estimate deckAsItIsWorth{std::nan(""), std::nan("")};

    // The rules and their measured worth as text, one item a line, and
    // back. Reading refuses, with the reason in `error`, text that is not
    // such, or that was written for another chart.
    QString toText() const;
    static std::optional<CountRules> fromText(const StrategyChart &chart, const QString &text, QString *error);

private:
    const StrategyChart *m_chart;
    std::vector<CountRule> m_rules;
    Straights m_straights;
};

// Finds at most `most` count rules for the chart, one at a time, from the
// game as the table deals it played by the chart with the rules found
// before (settings.hands hands from settings.seed each time): for every
// hand, each candidate rule that would apply after those is weighed by the
// exact values, on the deck as it is, of the hold it keeps and of the
// chart's. The rule that gains most, and clearly, is added; the search
// ends sooner when none does. `progress` counts the hands of every pass:
// settings.hands times `most` at most.
std::vector<CountRule> findCountRules(const StrategyChart &chart, const SimulationSettings &settings,
                                      int most = CountRules::Most,
                                      const std::function<void(std::int64_t handsPlayed)> &progress = {});

// Measures the rules on the decks of `settings`: the chart alone, with
// the rules, and the best holds on a fresh deck and on the deck as it is
// play the same decks, and the chart with each rule alone as well. Sets
// the worth of each rule and of them all; gives the simulation of the
// four. `progress` counts the hands of every run: settings.hands times
// one more than the rules in all.
SimulationResult measureCountRules(CountRules &rules, const SimulationSettings &settings,
                                   const std::function<void(std::int64_t handsPlayed)> &progress = {});
