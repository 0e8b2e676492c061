// Deriving a strategy chart from the exact value of every hold of every
// deal on a fresh deck.
//
// Each class of deals (see dealclasses.h) is played once and weighed by
// its size. Every one of its 32 holds falls on the line of its shape; the
// chart keeps, of the lines a deal has, the highest. The order of the
// lines is found by moving one line at a time to the place where the
// whole game returns most, until no move gains: for a line c and a deal
// whose other lines' highest is t, c is played when it is placed above t,
// so the gain of every place follows from one sum over the deals with c.
#include "strategy.h"

#include "dealclasses.h"
#include "dealholds.h"
#include "gamesolver.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace {

constexpr std::int64_t DealCount = Choose[DeckSize][HandSize];
constexpr int NoLine = -1;

// Holds of one kind and size together, numbered.
std::size_t kindIndex(HoldKind kind, int cards)
{
    return std::size_t(kind) * (HandSize + 1) + std::size_t(cards);
}
// The most lines a chart of each level may have.
constexpr std::size_t FullChartLines = 50;
constexpr std::size_t ShortChartLines = 20;

std::array<CardCode, HandSize> handOf(const std::array<int, HandSize> &cards)
{
    std::array<CardCode, HandSize> hand;
    for (int i = 0; i < HandSize; ++i)
        hand[i] = CardCode{qint16(cards[i] / SuitCount), qint16(cards[i] % SuitCount)};
    return hand;
}

// Of two holds on one line, the one with the higher cards: the kept
// ranks, highest first, as one number.
std::uint32_t heightOf(const std::array<CardCode, HandSize> &hand, unsigned hold)
{
    std::array<int, HandSize> ranks{};
    int kept = 0;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (hold & (1u << slot))
            ranks[kept++] = hand[slot].rank + 1;
    }
    std::sort(ranks.begin(), ranks.end(), std::greater<>());
    std::uint32_t height = 0;
    for (int rank : ranks)
        height = height << 4 | std::uint32_t(rank);
    return height;
}

// Every class of deals with the shape, value and height of each of its
// holds.
struct DealTable
{
    std::int64_t common = 1; // the denominator of every value
    std::vector<std::int32_t> weight;
    std::vector<std::array<int, HandSize>> cards;
    // By class * HoldCount + hold.
    std::vector<std::int32_t> shape; // index into shapes
    std::vector<std::int64_t> value; // over `common`, per credit bet
    std::vector<std::uint32_t> height;
    std::vector<HoldShape> shapes;

    int classCount() const { return int(weight.size()); }

    DealTable(const PayTable &table, ChartLevel level)
    {
        for (int k = 0; k <= HandSize; ++k)
            common = std::lcm(common, binomial(DeckSize - HandSize, k));
        std::array<std::int64_t, HandSize + 1> perDraw{};
        for (int held = 0; held <= HandSize; ++held)
            perDraw[held] = common / binomial(DeckSize - HandSize, HandSize - held);
        const std::vector<std::int64_t> payByShape = solveEveryDeal(table).payByShape;
        const HoldShaper shaper(table);
        const bool exceptions = level == ChartLevel::Full;
        std::unordered_map<std::uint32_t, std::int32_t> shapeIds;
        forEachDealClass([&](const std::array<int, HandSize> &dealt, int size) {
            weight.push_back(size);
            cards.push_back(dealt);
            const DealHolds holds(dealt, payByShape);
            const std::array<CardCode, HandSize> hand = handOf(dealt);
            for (unsigned mask = 0; mask < HoldCount; ++mask) {
                const std::uint32_t key = shaper.shape(hand, mask, exceptions).key();
                const auto [at, added] = shapeIds.try_emplace(key, std::int32_t(shapes.size()));
                if (added)
                    shapes.push_back(HoldShape::fromKey(key));
                shape.push_back(at->second);
                value.push_back(holds.total[mask] * perDraw[HeldCounts[mask]]);
                height.push_back(heightOf(hand, mask));
            }
        }, 0, 1);
    }
};

// The chart as it is being derived: lines in order, each a set of shapes,
// and what each class of deals plays.
class Derivation
{
public:
    Derivation(const DealTable &deals, std::vector<StrategyLine> lines)
        : m_deals(deals)
        , m_lines(std::move(lines))
    {
        assignShapes();
    }

    const std::vector<StrategyLine> &lines() const { return m_lines; }

    // What the chart's plays are worth over all deals, in deals times
    // credits.
    double total() const
    {
        double sum = 0;
        for (int deal = 0; deal < m_deals.classCount(); ++deal)
            sum += valueOf(deal, played(deal).hold);
        return sum;
    }
    // Orders the lines anew where that gains, with the lines as they read.
    void reorder()
    {
        const std::vector<StrategyLine> before = m_lines;
        const double was = total();
        improveOrder();
        if (total() < was) {
            m_lines = before;
            assignShapes();
        }
    }

    // The hold a class plays and its line's place: the highest line, and
    // on it the higher cards.
    struct Played
    {
        unsigned hold = 0;
        int line = NoLine;
    };
    Played played(int deal) const { return playedWith(m_lineOfShape, deal); }

    // Drops lines and joins lines of one kind, whatever costs least at
    // each step, until at most `most` are left; and joins lines while it
    // costs nothing.
    void shorten(std::size_t most);
    // How many lines below a line a join of different kinds may reach.
    void setJoinReach(int lines) { m_joinReach = lines; }

private:
    Played playedWith(const std::vector<int> &lineOfShape, int deal) const
    {
        Played best;
        std::uint32_t bestHeight = 0;
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            const std::size_t at = std::size_t(deal) * HoldCount + mask;
            const int line = lineOfShape[std::size_t(m_deals.shape[at])];
            if (line == NoLine)
                continue;
            const bool higher = best.line == NoLine || line < best.line
                             || (line == best.line && m_deals.height[at] > bestHeight);
            if (higher) {
                best = {mask, line};
                bestHeight = m_deals.height[at];
            }
        }
        return best;
    }

public:
    // Moves lines one at a time to where the game returns most, until no
    // move gains. The lines must not share a shape.
    void improveOrder()
    {
        buildEntries();
        const int count = int(m_lines.size());
        for (bool moved = true; moved;) {
            moved = false;
            for (int line = 0; line < count; ++line)
                moved = moveToBestPlace(line) || moved;
        }
        std::vector<StrategyLine> ordered(m_lines.size());
        for (int line = 0; line < count; ++line)
            ordered[std::size_t(m_place[std::size_t(line)])] = m_lines[std::size_t(line)];
        m_lines = std::move(ordered);
        assignShapes();
    }

    // Drops the lines that no deal plays.
    void dropUnplayed()
    {
        std::vector<bool> used(m_lines.size());
        for (int deal = 0; deal < m_deals.classCount(); ++deal)
            used[std::size_t(played(deal).line)] = true;
        std::vector<StrategyLine> kept;
        for (std::size_t line = 0; line < m_lines.size(); ++line) {
            if (used[line])
                kept.push_back(m_lines[line]);
        }
        m_lines = std::move(kept);
        assignShapes();
    }

private:
    // A step that shortens the chart: `upper` dropped, or `upper` and
    // `lower` made one line in the place of either.
    struct Step
    {
        // Widen lets one field of the class `lower` of the line `upper`
        // take every value.
        enum Kind { Drop, JoinAbove, JoinBelow, Widen } kind = Drop;
        int upper = 0;
        int lower = 0;
        int field = 0;
        double gain = 0; // what the game's return gains, in deals times credits
    };
    // A step gains nothing when it loses less than rounding could.
    static constexpr double FreeStep = -1e-6;

    // A line names at most this many kinds of hold, and holds of other
    // kinds join a line only where they are never dealt together, so that
    // one line reads as several.
    static constexpr std::size_t MostKindsInALine = 4;
    bool joinsKinds(const Step &step) const
    {
        if (step.kind == Step::Drop || step.kind == Step::Widen)
            return false;
        const StrategyLine &upper = m_lines[std::size_t(step.upper)];
        const StrategyLine &lower = m_lines[std::size_t(step.lower)];
        return upper.joined(lower).classes.size() > std::max(upper.classes.size(), lower.classes.size());
    }

    bool hasBoth(int deal, int upper, int lower) const
    {
        bool hasUpper = false;
        bool hasLower = false;
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            const int line = m_lineOfShape[std::size_t(m_deals.shape[std::size_t(deal) * HoldCount + mask])];
            hasUpper = hasUpper || line == upper;
            hasLower = hasLower || line == lower;
        }
        return hasUpper && hasLower;
    }

    std::size_t aliveLines() const { return std::size_t(std::count(m_alive.begin(), m_alive.end(), true)); }
    std::vector<Step> possibleSteps() const;
    // What a step does: the line it changes and what that line holds
    // after it, and the line it takes away.
    struct Change
    {
        int line = NoLine;
        StrategyLine holds;
        int gone = NoLine;
    };
    Change changeOf(const Step &step) const;
    // Whether widening a class lets in a shape of its kind that it did not.
    bool widens(const Step &step) const
    {
        const HoldClass &holds = m_lines[std::size_t(step.upper)].classes[std::size_t(step.lower)];
        const HoldClass wider = holds.withEveryValue(step.field);
        const std::vector<int> &shapes = m_shapesOfKind[kindIndex(holds.kind, holds.cards)];
        return std::any_of(shapes.begin(), shapes.end(), [&](int s) {
            return wider.matches(m_deals.shapes[std::size_t(s)]) && !holds.matches(m_deals.shapes[std::size_t(s)]);
        });
    }
    // Where the shapes of the step's kind of hold go after it: for each
    // shape whose line changes, the shape and its new line.
    std::vector<std::pair<int, int>> movedShapes(const Step &step) const;
    double gainOf(const Step &step, std::vector<int> &lineOfShape, std::vector<int> &seen, int mark) const;
    void dropUnreachedClasses();
    // Works out every step's gain, on two threads.
    void evaluate(std::vector<Step> &steps) const;
    void apply(const Step &step);
    // The classes that hold one of the shapes, each once.
    template <typename Visit>
    void forDealsWith(const std::vector<std::pair<int, int>> &shapes, std::vector<int> &seen, int mark, Visit visit) const
    {
        for (const auto &[shape, line] : shapes) {
            for (int deal : m_dealsOfShape[std::size_t(shape)]) {
                if (seen[std::size_t(deal)] != mark) {
                    seen[std::size_t(deal)] = mark;
                    visit(deal);
                }
            }
        }
    }
    double valueOf(int deal, unsigned hold) const
    {
        return m_deals.weight[std::size_t(deal)] * double(m_deals.value[std::size_t(deal) * HoldCount + hold])
             / double(m_deals.common);
    }

    // Each shape on the first line that holds it.
    void assignShapes()
    {
        m_lineOfShape.assign(m_deals.shapes.size(), NoLine);
        for (std::size_t s = 0; s < m_deals.shapes.size(); ++s) {
            for (std::size_t line = 0; line < m_lines.size(); ++line) {
                if (m_lines[line].matches(m_deals.shapes[s])) {
                    m_lineOfShape[s] = int(line);
                    break;
                }
            }
        }
    }

    // For each class, its lines each with the value of the hold it would
    // play there; and for each line, the classes that have it.
    void buildEntries()
    {
        const int classes = m_deals.classCount();
        m_entryStart.assign(std::size_t(classes) + 1, 0);
        m_entryLine.clear();
        m_entryValue.clear();
        for (int deal = 0; deal < classes; ++deal) {
            const std::size_t first = m_entryLine.size();
            for (unsigned mask = 0; mask < HoldCount; ++mask) {
                const std::size_t at = std::size_t(deal) * HoldCount + mask;
                const int line = m_lineOfShape[std::size_t(m_deals.shape[at])];
                if (line == NoLine)
                    continue;
                const double value = double(m_deals.value[at]) / double(m_deals.common);
                auto same = std::find(m_entryLine.begin() + std::ptrdiff_t(first), m_entryLine.end(), line);
                if (same == m_entryLine.end()) {
                    m_entryLine.push_back(line);
                    m_entryValue.push_back(value);
                    m_entryHeight.push_back(m_deals.height[at]);
                    continue;
                }
                const std::size_t entry = std::size_t(same - m_entryLine.begin());
                if (m_deals.height[at] > m_entryHeight[entry]) {
                    m_entryValue[entry] = value;
                    m_entryHeight[entry] = m_deals.height[at];
                }
            }
            m_entryStart[std::size_t(deal) + 1] = std::int32_t(m_entryLine.size());
        }
        m_entryHeight.clear();
        m_dealsWith.assign(m_lines.size(), {});
        for (int deal = 0; deal < classes; ++deal) {
            for (std::int32_t e = m_entryStart[std::size_t(deal)]; e < m_entryStart[std::size_t(deal) + 1]; ++e)
                m_dealsWith[std::size_t(m_entryLine[std::size_t(e)])].push_back({deal, e});
        }
        m_place.resize(m_lines.size());
        std::iota(m_place.begin(), m_place.end(), 0);
        m_top.assign(std::size_t(classes), {});
        for (int deal = 0; deal < classes; ++deal)
            findTop(deal);
    }

    // The two highest lines of a class, as entries.
    void findTop(int deal)
    {
        std::array<std::int32_t, 2> top = {-1, -1};
        for (std::int32_t e = m_entryStart[std::size_t(deal)]; e < m_entryStart[std::size_t(deal) + 1]; ++e) {
            const int place = m_place[std::size_t(m_entryLine[std::size_t(e)])];
            if (top[0] < 0 || place < placeOf(top[0])) {
                top[1] = top[0];
                top[0] = e;
            } else if (top[1] < 0 || place < placeOf(top[1])) {
                top[1] = e;
            }
        }
        m_top[std::size_t(deal)] = top;
    }
    int placeOf(std::int32_t entry) const { return m_place[std::size_t(m_entryLine[std::size_t(entry)])]; }

    bool moveToBestPlace(int line)
    {
        const int count = int(m_lines.size());
        const int from = m_place[std::size_t(line)];
        // gainAt[p]: what placing the line at p among the others adds, for
        // the deals whose highest other line is at p, over not playing it.
        std::vector<double> gainAt(std::size_t(count), 0.0);
        for (const auto &[deal, entry] : m_dealsWith[std::size_t(line)]) {
            const std::array<std::int32_t, 2> &top = m_top[std::size_t(deal)];
            const std::int32_t other = top[0] == entry ? top[1] : top[0];
            if (other < 0)
                continue;
            const int otherPlace = placeOf(other) - (placeOf(other) > from);
            gainAt[std::size_t(otherPlace)] +=
                m_deals.weight[std::size_t(deal)] * (m_entryValue[std::size_t(entry)] - m_entryValue[std::size_t(other)]);
        }
        // Placed at p, the line is played in the deals whose other lines
        // are all at p or below.
        double gain = 0;
        double bestGain = 0;
        double fromGain = 0;
        int best = from;
        std::vector<double> gainOf(std::size_t(count), 0.0);
        for (int p = count - 1; p >= 0; --p) {
            gain += gainAt[std::size_t(p)];
            gainOf[std::size_t(p)] = gain;
        }
        fromGain = gainOf[std::size_t(from)];
        bestGain = fromGain;
        for (int p = 0; p < count; ++p) {
            if (gainOf[std::size_t(p)] > bestGain + MinimumGain) {
                bestGain = gainOf[std::size_t(p)];
                best = p;
            }
        }
        if (best == from)
            return false;
        for (int &place : m_place) {
            if (place > from)
                --place;
            if (place >= best)
                ++place;
        }
        m_place[std::size_t(line)] = best;
        for (const auto &[deal, entry] : m_dealsWith[std::size_t(line)])
            findTop(deal);
        return true;
    }

    // A move must gain more than rounding could make up: in deals times
    // credits, over all 2.6 million deals.
    static constexpr double MinimumGain = 1e-6;

    const DealTable &m_deals;
    std::vector<StrategyLine> m_lines;
    std::vector<int> m_lineOfShape;
    int m_joinReach = 4;
    // While shortening: which lines are left, the classes that hold each
    // shape, and what each class plays.
    std::vector<bool> m_alive;
    std::vector<std::vector<int>> m_dealsOfShape;
    std::vector<std::vector<int>> m_shapesOfKind; // by kindIndex
    std::vector<double> m_playedValue;
    // The search's working state, by line and by class.
    std::vector<std::int32_t> m_entryStart;
    std::vector<int> m_entryLine;
    std::vector<double> m_entryValue;
    std::vector<std::uint32_t> m_entryHeight;
    std::vector<std::vector<std::pair<int, std::int32_t>>> m_dealsWith;
    std::vector<int> m_place;
    std::vector<std::array<std::int32_t, 2>> m_top;
};

void Derivation::shorten(std::size_t most)
{
    m_alive.assign(m_lines.size(), true);
    m_dealsOfShape.assign(m_deals.shapes.size(), {});
    m_shapesOfKind.assign(std::size_t(kindIndex(HoldKind::FourOfAKind, HandSize)) + 1, {});
    for (std::size_t s = 0; s < m_deals.shapes.size(); ++s)
        m_shapesOfKind[kindIndex(m_deals.shapes[s].kind, m_deals.shapes[s].cards)].push_back(int(s));
    m_playedValue.assign(std::size_t(m_deals.classCount()), 0.0);
    for (int deal = 0; deal < m_deals.classCount(); ++deal) {
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            std::vector<int> &deals = m_dealsOfShape[std::size_t(m_deals.shape[std::size_t(deal) * HoldCount + mask])];
            if (deals.empty() || deals.back() != deal)
                deals.push_back(deal);
        }
        m_playedValue[std::size_t(deal)] = valueOf(deal, played(deal).hold);
    }
    std::vector<int> lineOfShape = m_lineOfShape;
    std::vector<int> seen(std::size_t(m_deals.classCount()), 0);
    int mark = 0;
    const auto worse = [](const Step &a, const Step &b) { return a.gain < b.gain; };
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<Step> steps = possibleSteps();
        evaluate(steps);
        // The best step first; a step's gain is worked out again before it
        // is taken, as the steps taken before it may have changed it.
        std::make_heap(steps.begin(), steps.end(), worse);
        while (!steps.empty()) {
            std::pop_heap(steps.begin(), steps.end(), worse);
            Step step = steps.back();
            steps.pop_back();
            const bool needed = aliveLines() > most;
            if (!needed && step.gain < FreeStep)
                break;
            if (!m_alive[std::size_t(step.upper)] || (step.kind != Step::Drop && !m_alive[std::size_t(step.lower)]))
                continue;
            const double gain = gainOf(step, lineOfShape, seen, ++mark);
            if (!steps.empty() && gain < steps.front().gain) {
                step.gain = gain;
                steps.push_back(step);
                std::push_heap(steps.begin(), steps.end(), worse);
                continue;
            }
            if ((!needed || joinsKinds(step)) && gain < FreeStep)
                continue;
            apply(step);
            changed = true;
        }
    }
    // Conditions that need not be said, as the chart plays the same
    // without them, are let go; the ranks a line names stay, as a player
    // goes by them.
    for (int line = 0; line < int(m_lines.size()); ++line) {
        for (int holds = 0; m_alive[std::size_t(line)] && holds < int(m_lines[std::size_t(line)].classes.size()); ++holds) {
            for (int field = HoldClass::RanksField + 1; field < HoldClass::FieldCount; ++field) {
                const Step widen{Step::Widen, line, holds, field};
                if (widens(widen) && gainOf(widen, lineOfShape, seen, ++mark) >= FreeStep)
                    apply(widen);
            }
        }
    }
    dropUnreachedClasses();
    std::vector<StrategyLine> kept;
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        if (m_alive[line])
            kept.push_back(m_lines[line]);
    }
    m_lines = std::move(kept);
    m_alive.clear();
    assignShapes();
}

// A class of a line that every hold it holds meets on a line above says
// nothing: it goes, and a line left with none goes too.
void Derivation::dropUnreachedClasses()
{
    std::vector<std::vector<bool>> reached(m_lines.size());
    for (std::size_t line = 0; line < m_lines.size(); ++line)
        reached[line].assign(m_lines[line].classes.size(), false);
    for (std::size_t s = 0; s < m_deals.shapes.size(); ++s) {
        const int line = m_lineOfShape[s];
        if (line == NoLine)
            continue;
        const std::vector<HoldClass> &classes = m_lines[std::size_t(line)].classes;
        for (std::size_t c = 0; c < classes.size(); ++c) {
            if (classes[c].matches(m_deals.shapes[s])) {
                reached[std::size_t(line)][c] = true;
                break;
            }
        }
    }
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        std::vector<HoldClass> kept;
        for (std::size_t c = 0; c < m_lines[line].classes.size(); ++c) {
            if (reached[line][c])
                kept.push_back(m_lines[line].classes[c]);
        }
        m_lines[line].classes = std::move(kept);
        m_alive[line] = m_alive[line] && !m_lines[line].classes.empty();
    }
}

std::vector<Derivation::Step> Derivation::possibleSteps() const
{
    std::vector<Step> steps;
    for (int upper = 0; upper < int(m_lines.size()); ++upper) {
        if (!m_alive[std::size_t(upper)])
            continue;
        steps.push_back({Step::Drop, upper, upper});
        int reached = 0;
        for (int lower = upper + 1; lower < int(m_lines.size()); ++lower) {
            if (!m_alive[std::size_t(lower)])
                continue;
            ++reached;
            const StrategyLine &above = m_lines[std::size_t(upper)];
            const StrategyLine &below = m_lines[std::size_t(lower)];
            const StrategyLine joined = above.joined(below);
            // Beyond the reach, only a line of one class that differs in one
            // field from the other's.
            const bool nearby = reached <= m_joinReach;
            const bool oneFieldApart = above.classes.size() == 1 && below.classes.size() == 1
                                    && above.classes[0].fieldsApart(below.classes[0]) == 1;
            if ((!nearby && !oneFieldApart) || joined.classes.size() > MostKindsInALine)
                continue;
            steps.push_back({Step::JoinAbove, upper, lower});
            steps.push_back({Step::JoinBelow, upper, lower});
        }
    }
    return steps;
}

Derivation::Change Derivation::changeOf(const Step &step) const
{
    const StrategyLine &upper = m_lines[std::size_t(step.upper)];
    switch (step.kind) {
    case Step::Drop: return {NoLine, {}, step.upper};
    case Step::JoinAbove: return {step.upper, upper.joined(m_lines[std::size_t(step.lower)]), step.lower};
    case Step::JoinBelow: return {step.lower, upper.joined(m_lines[std::size_t(step.lower)]), step.upper};
    case Step::Widen: {
        StrategyLine widened = upper;
        widened.classes[std::size_t(step.lower)] = widened.classes[std::size_t(step.lower)].withEveryValue(step.field);
        return {step.upper, widened, NoLine};
    }
    }
    return {};
}

std::vector<std::pair<int, int>> Derivation::movedShapes(const Step &step) const
{
    const Change change = changeOf(step);
    const auto holdsAfter = [&](int line, const HoldShape &shape) {
        if (line == change.line)
            return change.holds.matches(shape);
        return line != change.gone && m_alive[std::size_t(line)] && m_lines[std::size_t(line)].matches(shape);
    };
    const StrategyLine &kinds = change.line == NoLine ? m_lines[std::size_t(step.upper)] : change.holds;
    std::vector<std::pair<int, int>> moved;
    for (const HoldClass &holds : kinds.classes) {
        for (int s : m_shapesOfKind[kindIndex(holds.kind, holds.cards)]) {
            // The lines above the step's stay as they are.
            const int was = m_lineOfShape[std::size_t(s)];
            if (was != NoLine && was < step.upper)
                continue;
            const HoldShape &shape = m_deals.shapes[std::size_t(s)];
            int now = step.upper;
            while (now < int(m_lines.size()) && !holdsAfter(now, shape))
                ++now;
            now = now == int(m_lines.size()) ? NoLine : now;
            if (now != was)
                moved.emplace_back(s, now);
        }
    }
    return moved;
}

double Derivation::gainOf(const Step &step, std::vector<int> &lineOfShape, std::vector<int> &seen, int mark) const
{
    const std::vector<std::pair<int, int>> moved = movedShapes(step);
    for (const auto &[shape, line] : moved)
        lineOfShape[std::size_t(shape)] = line;
    // A chart must have a line for every deal; kinds share a line only
    // where no deal has both.
    const bool joinsKinds = this->joinsKinds(step);
    double gain = 0;
    forDealsWith(moved, seen, mark, [&](int deal) {
        if (joinsKinds && hasBoth(deal, step.upper, step.lower)) {
            gain = -std::numeric_limits<double>::infinity();
            return;
        }
        const Played played = playedWith(lineOfShape, deal);
        gain += played.line == NoLine ? -std::numeric_limits<double>::infinity()
                                      : valueOf(deal, played.hold) - m_playedValue[std::size_t(deal)];
    });
    for (const auto &[shape, line] : moved)
        lineOfShape[std::size_t(shape)] = m_lineOfShape[std::size_t(shape)];
    return gain;
}

void Derivation::evaluate(std::vector<Step> &steps) const
{
    constexpr int Parts = 2;
    inParallel(Parts, [&](int part) {
        std::vector<int> lineOfShape = m_lineOfShape;
        std::vector<int> seen(std::size_t(m_deals.classCount()), 0);
        int mark = 0;
        for (std::size_t i = std::size_t(part); i < steps.size(); i += Parts)
            steps[i].gain = gainOf(steps[i], lineOfShape, seen, ++mark);
    });
}

void Derivation::apply(const Step &step)
{
    const std::vector<std::pair<int, int>> moved = movedShapes(step);
    const Change change = changeOf(step);
    if (change.line != NoLine)
        m_lines[std::size_t(change.line)] = change.holds;
    if (change.gone != NoLine)
        m_alive[std::size_t(change.gone)] = false;
    for (const auto &[shape, line] : moved)
        m_lineOfShape[std::size_t(shape)] = line;
    std::vector<int> seen(std::size_t(m_deals.classCount()), 0);
    forDealsWith(moved, seen, 1, [&](int deal) { m_playedValue[std::size_t(deal)] = valueOf(deal, played(deal).hold); });
}

// The lines to start from: one for each shape, best on average first.
std::vector<StrategyLine> linesByAverage(const DealTable &deals)
{
    std::vector<double> total(deals.shapes.size());
    std::vector<double> weight(deals.shapes.size());
    for (int deal = 0; deal < deals.classCount(); ++deal) {
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            const std::size_t at = std::size_t(deal) * HoldCount + mask;
            total[std::size_t(deals.shape[at])] += deals.weight[std::size_t(deal)] * double(deals.value[at]);
            weight[std::size_t(deals.shape[at])] += deals.weight[std::size_t(deal)];
        }
    }
    std::vector<std::size_t> order(deals.shapes.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return total[a] / weight[a] > total[b] / weight[b]; });
    std::vector<StrategyLine> lines;
    for (std::size_t s : order)
        lines.push_back(StrategyLine{{HoldClass::of(deals.shapes[s])}});
    return lines;
}

unsigned bitOf(int value) { return 1u << value; }

} // namespace

HoldClass HoldClass::of(const HoldShape &shape)
{
    HoldClass line;
    line.kind = shape.kind;
    line.cards = shape.cards;
    line.ranks = bitOf(shape.rank);
    line.highCards = bitOf(shape.highCards);
    line.gaps = bitOf(shape.gaps);
    line.straights = bitOf(shape.straights);
    line.suitDiscarded = bitOf(shape.suitDiscarded);
    line.straightDiscarded = bitOf(shape.straightDiscarded);
    return line;
}

bool HoldClass::matches(const HoldShape &shape) const
{
    return kind == shape.kind && cards == shape.cards && (ranks & bitOf(shape.rank))
        && (highCards & bitOf(shape.highCards)) && (gaps & bitOf(shape.gaps)) && (straights & bitOf(shape.straights))
        && (suitDiscarded & bitOf(shape.suitDiscarded)) && (straightDiscarded & bitOf(shape.straightDiscarded));
}

HoldClass HoldClass::withEveryValue(int field) const
{
    HoldClass wider = *this;
    std::array<unsigned *, FieldCount> fields = {&wider.ranks, &wider.highCards, &wider.gaps, &wider.straights,
                                                &wider.suitDiscarded, &wider.straightDiscarded};
    *fields[std::size_t(field)] = ~0u;
    return wider;
}

int HoldClass::fieldsApart(const HoldClass &other) const
{
    if (!sameKind(other))
        return FieldCount;
    return int(ranks != other.ranks) + int(highCards != other.highCards) + int(gaps != other.gaps)
         + int(straights != other.straights) + int(suitDiscarded != other.suitDiscarded)
         + int(straightDiscarded != other.straightDiscarded);
}

HoldClass HoldClass::joined(const HoldClass &other) const
{
    HoldClass line = *this;
    line.ranks |= other.ranks;
    line.highCards |= other.highCards;
    line.gaps |= other.gaps;
    line.straights |= other.straights;
    line.suitDiscarded |= other.suitDiscarded;
    line.straightDiscarded |= other.straightDiscarded;
    return line;
}

bool StrategyLine::matches(const HoldShape &shape) const
{
    return std::any_of(classes.begin(), classes.end(), [&](const HoldClass &holds) { return holds.matches(shape); });
}

bool StrategyLine::hasKind(HoldKind kind, int cards) const
{
    return std::any_of(classes.begin(), classes.end(),
                       [&](const HoldClass &holds) { return holds.kind == kind && holds.cards == cards; });
}

StrategyLine StrategyLine::joined(const StrategyLine &other) const
{
    StrategyLine line = *this;
    for (const HoldClass &holds : other.classes) {
        auto same = std::find_if(line.classes.begin(), line.classes.end(),
                                 [&](const HoldClass &mine) { return mine.sameKind(holds); });
        if (same == line.classes.end())
            line.classes.push_back(holds);
        else
            *same = same->joined(holds);
    }
    return line;
}

StrategyChart::StrategyChart(const PayTable &table, ChartLevel level)
    : m_table(table)
    , m_level(level)
    , m_shaper(table)
{
    const DealTable deals(table, level);
    Derivation start(deals, linesByAverage(deals));
    start.improveOrder();
    start.dropUnplayed();
    // Shortening goes step by step, each the best at the time, and where
    // it ends depends on how far joins may reach: a short chart, which
    // needs many steps, is shortened a few ways and the best kept.
    const std::vector<int> reaches = level == ChartLevel::Full ? std::vector<int>{4} : std::vector<int>{4, 6};
    std::vector<Derivation> tries(reaches.size(), start);
    std::vector<double> totals(reaches.size());
    inParallel(int(reaches.size()), [&](int part) {
        Derivation &derivation = tries[std::size_t(part)];
        const std::size_t most = level == ChartLevel::Full ? FullChartLines : ShortChartLines;
        derivation.setJoinReach(reaches[std::size_t(part)]);
        derivation.shorten(most);
        derivation.reorder();
        derivation.shorten(most);
        totals[std::size_t(part)] = derivation.total();
    });
    const Derivation &derivation = tries[std::size_t(std::max_element(totals.begin(), totals.end()) - totals.begin())];

    for (const StrategyLine &line : derivation.lines())
        m_lines.push_back(Line{line});
    indexClasses();
    std::vector<std::int32_t> exampleWeight(m_lines.size(), 0);
    const std::int64_t denominator = DealCount * deals.common;
    m_chartReturn.denominator = denominator;
    m_bestReturn.denominator = denominator;
    for (int deal = 0; deal < deals.classCount(); ++deal) {
        const Derivation::Played played = derivation.played(deal);
        const std::int32_t weight = deals.weight[std::size_t(deal)];
        const std::size_t first = std::size_t(deal) * HoldCount;
        const std::int64_t value = deals.value[first + played.hold];
        Line &line = m_lines[std::size_t(played.line)];
        line.deals += weight;
        line.totalValue += weight * double(value) / double(deals.common);
        if (weight > exampleWeight[std::size_t(played.line)]) {
            exampleWeight[std::size_t(played.line)] = weight;
            line.example = handOf(deals.cards[std::size_t(deal)]);
            line.exampleHold = played.hold;
        }
        m_chartReturn.numerator += weight * value;
        m_bestReturn.numerator +=
            weight * *std::max_element(deals.value.begin() + std::ptrdiff_t(first),
                                                 deals.value.begin() + std::ptrdiff_t(first + HoldCount));
    }
}

StrategyChart::StrategyChart(const PayTable &table, ChartLevel level, std::vector<Line> lines, ExactReturn chart,
                             ExactReturn best)
    : m_table(table)
    , m_level(level)
    , m_shaper(table)
    , m_lines(std::move(lines))
    , m_chartReturn(chart)
    , m_bestReturn(best)
{
    indexClasses();
}

void StrategyChart::indexClasses()
{
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        for (const HoldClass &holds : m_lines[line].holds.classes)
            m_classesByKind[kindIndex(holds.kind, holds.cards)].push_back({int(line), holds});
    }
}

std::optional<int> StrategyChart::lineOf(const std::array<CardCode, HandSize> &hand, unsigned hold) const
{
    const HoldShape shape = m_shaper.shape(hand, hold, m_level == ChartLevel::Full);
    for (const LineClass &lineClass : m_classesByKind[kindIndex(shape.kind, shape.cards)]) {
        if (lineClass.holds.matches(shape))
            return lineClass.line;
    }
    return std::nullopt;
}

StrategyChart::Pick StrategyChart::pick(const std::array<CardCode, HandSize> &hand) const
{
    Pick best{0, int(m_lines.size())};
    std::uint32_t bestHeight = 0;
    for (unsigned mask = 0; mask < HoldCount; ++mask) {
        const std::optional<int> line = lineOf(hand, mask);
        if (!line)
            continue;
        const std::uint32_t height = heightOf(hand, mask);
        if (*line < best.line || (*line == best.line && height > bestHeight)) {
            best = {mask, *line};
            bestHeight = height;
        }
    }
    return best;
}

std::vector<StrategyChart::Pick> StrategyChart::picksByLine(const std::array<CardCode, HandSize> &hand) const
{
    std::vector<Pick> picks;
    std::vector<std::uint32_t> heights;
    for (unsigned mask = 0; mask < HoldCount; ++mask) {
        const std::optional<int> line = lineOf(hand, mask);
        if (!line)
            continue;
        const std::uint32_t height = heightOf(hand, mask);
        const auto same = std::find_if(picks.begin(), picks.end(), [&](const Pick &pick) { return pick.line == *line; });
        if (same == picks.end()) {
            picks.push_back({mask, *line});
            heights.push_back(height);
        } else if (height > heights[std::size_t(same - picks.begin())]) {
            *same = {mask, *line};
            heights[std::size_t(same - picks.begin())] = height;
        }
    }
    std::sort(picks.begin(), picks.end(), [](const Pick &a, const Pick &b) { return a.line < b.line; });
    return picks;
}
