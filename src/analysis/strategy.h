#pragma once

#include "holdshape.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// A class of holds of one kind and size, by the values each other field
// of a hold's shape may take.
struct HoldClass
{
    HoldKind kind = HoldKind::DrawFive;
    int cards = 0;
    // Masks of the values allowed: bit v allows the value v.
    unsigned ranks = 0;
    unsigned highCards = 0;
    unsigned gaps = 0;
    unsigned straights = 0;
    unsigned suitDiscarded = 0;
    unsigned straightDiscarded = 0;

    // The class that holds exactly one shape.
    static HoldClass of(const HoldShape &shape);
    bool matches(const HoldShape &shape) const;
    bool sameKind(const HoldClass &other) const { return kind == other.kind && cards == other.cards; }
    // How many fields of two classes allow different values; all of them
    // for classes of different kinds.
    static constexpr int FieldCount = 6;
    static constexpr int RanksField = 0;
    int fieldsApart(const HoldClass &other) const;
    // The class with one field, by its place above, allowing every value.
    HoldClass withEveryValue(int field) const;
    // The class widened to hold the shapes of `other`, of the same kind.
    HoldClass joined(const HoldClass &other) const;
};

// One line of a strategy chart: one or more classes of holds, each of its
// own kind, played alike.
struct StrategyLine
{
    std::vector<HoldClass> classes;

    bool matches(const HoldShape &shape) const;
    bool hasKind(HoldKind kind, int cards) const;
    // The line that holds the holds of both.
    StrategyLine joined(const StrategyLine &other) const;
};

// How far a chart goes: a short one to learn first, or a full one with the
// exceptions that pay.
enum class ChartLevel { Short, Full };

// An exact fraction of a credit bet: the return of a way of playing every
// deal on a fresh deck. The denominator counts every deal times every
// draw, some 2 * 10^13, so that even the largest pays keep the numerator
// in 64 bits.
struct ExactReturn
{
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;
    double value() const { return double(numerator) / double(denominator); }
};

// A ranked list of lines for one pay table, derived from the exact value
// of every hold of every deal on a fresh deck. To play it, find the
// highest line that one of the dealt hand's holds falls on and keep that
// hold; of two holds on one line, keep the one with the higher cards.
class StrategyChart
{
public:
    struct Line
    {
        StrategyLine holds;
        // Of all deals on a fresh deck, those on which this line is the
        // one played, with the total of what the holds kept are worth per
        // credit bet; and one of them, the commonest kind.
        std::int64_t deals = 0;
        double totalValue = 0;
        std::array<CardCode, HandSize> example{};
        unsigned exampleHold = 0;

        double averageValue() const { return deals ? totalValue / double(deals) : 0.0; }
    };

    // Derives the chart of `level` for `table`: a few seconds.
    StrategyChart(const PayTable &table, ChartLevel level);

    // The chart as text, to be kept and read back without deriving it
    // again; and read back for `table`, or nothing with the reason in
    // `error` when the text is not such a chart of that table.
    QString toText() const;
    static std::optional<StrategyChart> fromText(const QString &text, const PayTable &table, QString *error);

    const PayTable &table() const { return m_table; }
    ChartLevel level() const { return m_level; }
    const std::vector<Line> &lines() const { return m_lines; }
    // Every deal played by the chart, and every deal with its best hold.
    const ExactReturn &chartReturn() const { return m_chartReturn; }
    const ExactReturn &bestReturn() const { return m_bestReturn; }

    // What the chart keeps of a hand (bit i for hand[i]) and the index of
    // the line it is on.
    struct Pick
    {
        unsigned hold = 0;
        int line = 0;
    };
    Pick pick(const std::array<CardCode, HandSize> &hand) const;
    // The hold the chart keeps on each line the hand has, highest line
    // first: pick(hand), then the holds it passes over.
    std::vector<Pick> picksByLine(const std::array<CardCode, HandSize> &hand) const;
    // The index of the highest line a hold falls on, if any.
    std::optional<int> lineOf(const std::array<CardCode, HandSize> &hand, unsigned hold) const;

    // A line in a player's words: "Four to a flush", "A lone 7".
    QString words(int line) const;
    // The hold by the class of holds of the line it falls on, in lower
    // case, with the line: "three of a kind (line 2)"; by what it keeps
    // where it is on no line: "three to a flush (on no line)".
    QString holdLineText(const std::array<CardCode, HandSize> &hand, unsigned hold) const;

private:
    StrategyChart(const PayTable &table, ChartLevel level, std::vector<Line> lines, ExactReturn chart, ExactReturn best);
    QString classText(const HoldClass &holds) const;

    PayTable m_table;
    ChartLevel m_level;
    HoldShaper m_shaper;
    std::vector<Line> m_lines;
    // Indexes the classes of the lines by their kind and size.
    void indexClasses();

    // The classes of each kind and size of hold with the index of their
    // line, highest line first: a hold is matched against these few alone,
    // fast enough to play millions of hands.
    struct LineClass
    {
        int line = 0;
        HoldClass holds;
    };
    std::array<std::vector<LineClass>, std::size_t(HoldKindCount) * (HandSize + 1)> m_classesByKind;
    ExactReturn m_chartReturn;
    ExactReturn m_bestReturn;
};
