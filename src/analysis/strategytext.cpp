// A strategy chart kept as text: one word a field, one line a record.
//
//   drawpoker-chart 1
//   table <every pay by outcome> <lowest paying pair> <ace low 0/1>
//   level short|full
//   returns <chart numerator> <best numerator> <denominator>
//   line <deals> <total value> <example card x5> <example hold>
//   class <kind> <cards> <six masks of allowed values, in hex>
//   ...
#include "strategy.h"

#include "model/names.h"

#include <QStringList>

#include <limits>

namespace {

const QString Heading = QStringLiteral("drawpoker-chart 1");

QString tableWords(const PayTable &table)
{
    QStringList words;
    for (int pay : table.pays())
        words << QString::number(pay);
    words << QString::number(table.pairFromRank) << QString::number(int(table.aceLow));
    return words.join(QLatin1Char(' '));
}

QString classWords(const HoldClass &holds)
{
    QStringList words = {QString::number(int(holds.kind)), QString::number(holds.cards)};
    for (unsigned mask : {holds.ranks, holds.highCards, holds.gaps, holds.straights, holds.suitDiscarded,
                          holds.straightDiscarded})
        words << QString::number(mask, 16);
    return words.join(QLatin1Char(' '));
}

// Reads the records of a chart one line at a time, keeping the first fault.
class ChartReader
{
public:
    explicit ChartReader(const QString &text)
        : m_lines(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
    }

    bool atEnd() const { return m_next >= m_lines.size(); }
    // The next record's words after its name, or nothing if the next
    // record is not `name` with `count` words.
    std::optional<QStringList> take(const QString &name, qsizetype count)
    {
        if (atEnd())
            return fail(QStringLiteral("it ends before its %1").arg(name));
        QStringList words = m_lines[m_next].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty() || words.front() != name)
            return std::nullopt;
        if (words.size() != count + 1)
            return fail(QStringLiteral("line %1 has %2 words, not %3").arg(m_next + 1).arg(words.size()).arg(count + 1));
        ++m_next;
        return words.mid(1);
    }
    std::optional<QStringList> fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
        return std::nullopt;
    }
    template <typename Number>
    bool number(const QString &word, Number low, Number high, Number *value, int base = 10)
    {
        bool ok = false;
        const qlonglong read = word.toLongLong(&ok, base);
        if (!ok || read < qlonglong(low) || read > qlonglong(high)) {
            fail(QStringLiteral("%1 on line %2 is not a number from %3 to %4").arg(quotedStart(word)).arg(m_next).arg(low).arg(high));
            return false;
        }
        *value = Number(read);
        return true;
    }
    const QString &error() const { return m_error; }

private:
    QStringList m_lines;
    qsizetype m_next = 0;
    QString m_error;
};

std::optional<HoldClass> readClass(ChartReader &reader, const QStringList &words)
{
    HoldClass holds;
    int kind = 0;
    if (!reader.number(words[0], 0, HoldKindCount - 1, &kind) || !reader.number(words[1], 0, HandSize, &holds.cards))
        return std::nullopt;
    holds.kind = HoldKind(kind);
    unsigned *masks[HoldClass::FieldCount] = {&holds.ranks, &holds.highCards, &holds.gaps, &holds.straights,
                                              &holds.suitDiscarded, &holds.straightDiscarded};
    for (int field = 0; field < HoldClass::FieldCount; ++field) {
        if (!reader.number(words[field + 2], 0u, ~0u, masks[field], 16))
            return std::nullopt;
    }
    return holds;
}

} // namespace

QString StrategyChart::toText() const
{
    QStringList text = {Heading, QStringLiteral("table ") + tableWords(m_table),
                        QStringLiteral("level ") + QLatin1String(m_level == ChartLevel::Full ? "full" : "short"),
                        QStringLiteral("returns %1 %2 %3")
                            .arg(m_chartReturn.numerator)
                            .arg(m_bestReturn.numerator)
                            .arg(m_chartReturn.denominator)};
    for (const Line &line : m_lines) {
        QStringList cards;
        for (const CardCode &card : line.example)
            cards << shortCardName(card);
        text << QStringLiteral("line %1 %2 %3 %4")
                    .arg(line.deals)
                    .arg(line.totalValue, 0, 'g', 17)
                    .arg(cards.join(QLatin1Char(' ')))
                    .arg(line.exampleHold);
        for (const HoldClass &holds : line.holds.classes)
            text << QStringLiteral("class ") + classWords(holds);
    }
    return text.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::optional<StrategyChart> StrategyChart::fromText(const QString &text, const PayTable &table, QString *error)
{
    ChartReader reader(text);
    const auto failed = [&](const QString &why) {
        *error = QStringLiteral("not a strategy chart of this pay table: %1").arg(reader.error().isEmpty() ? why : reader.error());
        return std::nullopt;
    };
    if (!text.startsWith(Heading + QLatin1Char('\n')))
        return failed(QStringLiteral("it does not start with \"%1\"").arg(Heading));
    reader.take(Heading.section(QLatin1Char(' '), 0, 0), 1);
    const qsizetype tableWordCount = OutcomeCount + 2;
    const std::optional<QStringList> tableRecord = reader.take(QStringLiteral("table"), tableWordCount);
    if (!tableRecord || tableRecord->join(QLatin1Char(' ')) != tableWords(table))
        return failed(QStringLiteral("it is for another pay table"));
    const std::optional<QStringList> level = reader.take(QStringLiteral("level"), 1);
    if (!level || (level->front() != QLatin1String("full") && level->front() != QLatin1String("short")))
        return failed(QStringLiteral("its level is neither full nor short"));
    const std::optional<QStringList> returns = reader.take(QStringLiteral("returns"), 3);
    ExactReturn chart;
    ExactReturn best;
    const std::int64_t most = std::numeric_limits<std::int64_t>::max();
    if (!returns || !reader.number((*returns)[0], std::int64_t(0), most, &chart.numerator)
        || !reader.number((*returns)[1], std::int64_t(0), most, &best.numerator)
        || !reader.number((*returns)[2], std::int64_t(1), most, &chart.denominator))
        return failed(QStringLiteral("its returns cannot be read"));
    best.denominator = chart.denominator;

    std::vector<Line> lines;
    while (!reader.atEnd()) {
        const std::optional<QStringList> words = reader.take(QStringLiteral("line"), 3 + HandSize);
        if (!words)
            return failed(QStringLiteral("a record is not a line"));
        Line line;
        bool ok = false;
        line.totalValue = (*words)[1].toDouble(&ok);
        if (!reader.number((*words)[0], std::int64_t(0), std::int64_t(Choose[DeckSize][HandSize]), &line.deals) || !ok
            || !reader.number((*words)[2 + HandSize], 0u, unsigned(HoldCount - 1), &line.exampleHold))
            return failed(QStringLiteral("a line's figures cannot be read"));
        for (int i = 0; i < HandSize; ++i) {
            const std::optional<CardCode> card = parseCard((*words)[2 + i]);
            if (!card)
                return failed(QStringLiteral("a line's example is not five cards"));
            line.example[std::size_t(i)] = *card;
        }
        while (const std::optional<QStringList> classRecord = reader.take(QStringLiteral("class"), 2 + HoldClass::FieldCount)) {
            const std::optional<HoldClass> holds = readClass(reader, *classRecord);
            if (!holds)
                return failed(QString());
            line.holds.classes.push_back(*holds);
        }
        if (line.holds.classes.empty())
            return failed(QStringLiteral("a line holds no class of holds"));
        lines.push_back(std::move(line));
    }
    if (lines.empty())
        return failed(QStringLiteral("it has no line"));
    return StrategyChart(table, level->front() == QLatin1String("full") ? ChartLevel::Full : ChartLevel::Short,
                         std::move(lines), chart, best);
}
