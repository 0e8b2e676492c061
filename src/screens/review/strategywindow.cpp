#include "strategywindow.h"

#include "history/handhistory.h"
#include "model/names.h"
#include "screens/review/drillwindow.h"
#include "trainer/gamestrategy.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

// The lines whose misses cost the player most are marked, this many.
constexpr int MarkedLines = 3;
// Mistakes by kind a saved or printed chart lists, costliest first.
constexpr int KindsListed = 8;

enum Column { Number, Words, Example, HowOften, Worth, Missed, ColumnCount };

QString percentText(double value)
{
    return QLocale(QLocale::English).toString(value * 100, 'f', 4) + QStringLiteral(" %");
}

QString handText(const std::array<CardCode, HandSize> &hand)
{
    QStringList cards;
    for (const CardCode &card : hand)
        cards << symbolCardName(card);
    return cards.join(QLatin1Char(' '));
}

QString oneIn(std::int64_t deals)
{
    if (deals == 0)
        return QString();
    const double ways = double(Choose[DeckSize][HandSize]) / double(deals);
    const QLocale english(QLocale::English);
    return QStringLiteral("1 in %1").arg(ways < 10 ? english.toString(ways, 'f', 1) : english.toString(qint64(ways + 0.5)));
}

QString signedText(double value, int decimals)
{
    return (value >= 0 ? QStringLiteral("+") : QString()) + QString::number(value, 'f', decimals);
}

// The count rules of the full chart, with their measured worth, as rich
// text; nothing for the short chart, or where the rules cannot be read.
QString countRulesHtml(ChartLevel level)
{
    const CountRules *rules = gameCountRules();
    if (level != ChartLevel::Full || !rules)
        return {};
    QString items;
    for (int r = 0; r < int(rules->rules().size()); ++r) {
        const Estimate &worth = rules->rules()[std::size_t(r)].worth;
        items += QStringLiteral("<li>%1: %2 per credit bet (&plusmn;%3)</li>")
                     .arg(rules->words(r).toHtmlEscaped(), signedText(worth.value, 4))
                     .arg(worth.halfWidth, 0, 'f', 4);
    }
    const double share = rules->worth.value / rules->deckAsItIsWorth.value;
    return QStringLiteral("The table does not refill its deck between hands: counting "
                          "what is gone, change the chart thus (measured on a million hands of the game):<ol>%1</ol>"
                          "Together the rules add %2 (&plusmn;%3) per credit bet to the chart's return: %4 % of the %5 "
                          "that holding for the cards really left adds.")
        .arg(items, signedText(rules->worth.value, 4))
        .arg(rules->worth.halfWidth, 0, 'f', 4)
        .arg(qRound(100 * share))
        .arg(signedText(rules->deckAsItIsWorth.value, 3));
}

} // namespace

StrategyWindow::StrategyWindow(const CardFaces &faces, HandHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_faces(faces)
    , m_history(history)
    , m_levels(new QButtonGroup(this))
    , m_summary(new QLabel)
    , m_countRules(new QLabel)
    , m_lines(new QTableWidget(0, ColumnCount))
    , m_mistakes(new QLabel)
    , m_kinds(new QListWidget)
    , m_drill(new QPushButton(QStringLiteral("Drill the kind chosen")))
{
    setWindowTitle(QStringLiteral("Strategy chart"));
    auto *full = new QRadioButton(QStringLiteral("Full chart"));
    auto *brief = new QRadioButton(QStringLiteral("Short chart, to learn first"));
    m_levels->addButton(full, int(ChartLevel::Full));
    m_levels->addButton(brief, int(ChartLevel::Short));
    full->setChecked(true);
    connect(m_levels, &QButtonGroup::idClicked, this, [this](int id) { setLevel(ChartLevel(id)); });

    m_summary->setWordWrap(true);
    m_countRules->setWordWrap(true);
    m_countRules->setAccessibleName(QStringLiteral("Count rules"));
    m_mistakes->setWordWrap(true);
    m_mistakes->setTextFormat(Qt::PlainText);
    m_lines->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Hold"), QStringLiteral("For example"),
                                        QStringLiteral("Played"), QStringLiteral("Worth"), QStringLiteral("Your misses")});
    m_lines->horizontalHeaderItem(HowOften)->setToolTip(QStringLiteral("How often a deal is played by this line"));
    m_lines->horizontalHeaderItem(Worth)->setToolTip(QStringLiteral("What the holds of this line return on average, per credit bet"));
    m_lines->horizontalHeaderItem(Missed)->setToolTip(
        QStringLiteral("Your mistakes where this line's hold was the best, and what they cost"));
    m_lines->verticalHeader()->hide();
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->setWordWrap(true);
    m_lines->horizontalHeader()->setSectionResizeMode(Words, QHeaderView::Stretch);
    m_lines->setAccessibleName(QStringLiteral("Strategy chart"));
    // Lines wrap in the width their column has once the window is laid out.
    connect(m_lines->horizontalHeader(), &QHeaderView::sectionResized, m_lines, &QTableWidget::resizeRowsToContents);

    m_kinds->setAccessibleName(QStringLiteral("Your mistakes by kind"));
    m_kinds->setMaximumHeight(150);
    m_drill->setEnabled(false);
    connect(m_kinds, &QListWidget::currentRowChanged, this, [this](int row) { m_drill->setEnabled(row >= 0); });
    connect(m_kinds, &QListWidget::itemActivated, this, &StrategyWindow::drillChosenKind);
    connect(m_drill, &QPushButton::clicked, this, &StrategyWindow::drillChosenKind);

    auto *save = new QPushButton(QStringLiteral("Save as PDF..."));
    auto *print = new QPushButton(QStringLiteral("Print..."));
    auto *close = new QPushButton(QStringLiteral("Close"));
    connect(save, &QPushButton::clicked, this, &StrategyWindow::askWhereToSave);
    connect(print, &QPushButton::clicked, this, &StrategyWindow::askToPrint);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto *choice = new QHBoxLayout;
    choice->addWidget(full);
    choice->addWidget(brief);
    choice->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_drill);
    buttons->addWidget(save);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(m_summary);
    // The chart, and beside it in a tab of their own the count rules.
    m_tabs = new QTabWidget;
    m_tabs->addTab(m_lines, QStringLiteral("The chart"));
    m_countRules->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_countRules->setMargin(6);
    m_tabs->addTab(m_countRules, QStringLiteral("Counting the cards gone"));
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_mistakes);
    layout->addWidget(m_kinds);
    layout->addLayout(buttons);
    resize(980, 680);
    refresh();
}

StrategyWindow::~StrategyWindow() = default;

const StrategyChart &StrategyWindow::chart() const
{
    return gameStrategy(m_level);
}

// The lines wrap in the widths their columns have once the window is laid
// out: their heights follow.
void StrategyWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_lines->horizontalHeader()->setSectionResizeMode(Words, QHeaderView::Stretch);
    m_lines->resizeRowsToContents();
}

void StrategyWindow::setLevel(ChartLevel level)
{
    m_level = level;
    m_levels->button(int(level))->setChecked(true);
    fill();
}

void StrategyWindow::refresh()
{
    const HistoryRead<QList<StoredHand>> read = m_history.mistakes(0, MistakesSortedByKind);
    m_handsMissed = recordsOf(read.value);
    m_historyError = read.error;
    fill();
}

std::vector<StrategyWindow::Misses> StrategyWindow::missesByLine() const
{
    std::vector<Misses> misses(chart().lines().size());
    for (const MistakeKind &kind : m_kindList) {
        if (kind.bestLine == MistakeKind::NoLine)
            continue;
        misses[std::size_t(kind.bestLine)].count += kind.count;
        misses[std::size_t(kind.bestLine)].credits += kind.credits;
    }
    return misses;
}

void StrategyWindow::fill()
{
    const StrategyChart &chart = this->chart();
    const double cost = chart.bestReturn().value() - chart.chartReturn().value();
    m_summary->setText(QStringLiteral("Play the highest line your hand has; of two holds on one line, keep the higher "
                                      "cards. Played by this chart the game returns %1 of the bet, played best %2: the "
                                      "chart costs %3 of the bet.")
                           .arg(percentText(chart.chartReturn().value()), percentText(chart.bestReturn().value()),
                                percentText(cost)));

    m_countRules->setText(countRulesHtml(m_level));
    m_tabs->setTabVisible(1, !m_countRules->text().isEmpty());

    m_kindList = mistakesByKind(m_handsMissed, chart);
    const std::vector<Misses> misses = missesByLine();
    std::vector<std::size_t> costliest(misses.size());
    std::iota(costliest.begin(), costliest.end(), 0);
    std::sort(costliest.begin(), costliest.end(),
              [&](std::size_t a, std::size_t b) { return misses[a].credits > misses[b].credits; });
    const std::size_t marked = std::min<std::size_t>(MarkedLines, costliest.size());

    const std::vector<StrategyChart::Line> &lines = chart.lines();
    m_lines->setRowCount(int(lines.size()));
    for (int row = 0; row < int(lines.size()); ++row) {
        const StrategyChart::Line &line = lines[std::size_t(row)];
        const Misses &missed = misses[std::size_t(row)];
        const QStringList cells = {
            QString::number(row + 1),
            chart.words(row),
            QStringLiteral("%1: keep %2").arg(handText(line.example), keptCardsText(line.example, line.exampleHold)),
            oneIn(line.deals),
            QString::number(line.averageValue(), 'f', 3),
            missed.count == 0 ? QString()
                              : QStringLiteral("%1, %2 credits").arg(missed.count).arg(missed.credits, 0, 'f', 2),
        };
        const bool mark = std::find(costliest.begin(), costliest.begin() + std::ptrdiff_t(marked), std::size_t(row))
                              != costliest.begin() + std::ptrdiff_t(marked)
                          && missed.count > 0;
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (mark) {
                item->setBackground(QColor(255, 224, 160));
                item->setToolTip(QStringLiteral("One of the lines you miss most"));
            }
            m_lines->setItem(row, column, item);
        }
    }
    m_lines->resizeColumnsToContents();
    m_lines->horizontalHeader()->setSectionResizeMode(Words, QHeaderView::Stretch);
    m_lines->resizeRowsToContents();

    m_kinds->clear();
    for (const MistakeKind &kind : m_kindList)
        m_kinds->addItem(kind.text());
    m_kinds->setVisible(!m_kindList.isEmpty());
    m_drill->setVisible(!m_kindList.isEmpty());
    if (!m_historyError.isEmpty())
        m_mistakes->setText(QStringLiteral("The hand history could not be read: %1").arg(m_historyError));
    else if (m_kindList.isEmpty())
        m_mistakes->setText(QStringLiteral("No mistakes in your hand history: the lines you miss most will be marked here."));
    else if (m_handsMissed.size() < MistakesSortedByKind)
        m_mistakes->setText(QStringLiteral("Your mistakes by kind, costliest first (the lines you miss most are marked); "
                                           "choose one to drill it:"));
    else
        m_mistakes->setText(QStringLiteral("Your last %1 mistakes by kind, costliest first (the lines you miss most are "
                                           "marked); choose one to drill it:").arg(MistakesSortedByKind));
}

void StrategyWindow::drillChosenKind()
{
    const int row = m_kinds->currentRow();
    if (row < 0 || row >= m_kindList.size())
        return;
    auto *drill = new DrillWindow(m_faces, m_history, m_kindList[row], this);
    drill->show();
    drill->raise();
    drill->activateWindow();
}

QString StrategyWindow::documentHtml() const
{
    QString html = QStringLiteral("<h2>Strategy for this game's pay table: %1</h2><p>%2</p><p>%3</p>"
                                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>")
                       .arg(m_level == ChartLevel::Full ? QStringLiteral("the full chart")
                                                        : QStringLiteral("the short chart"),
                            m_summary->text().toHtmlEscaped(), m_countRules->text());
    for (int column = 0; column < ColumnCount; ++column)
        html += QStringLiteral("<th>%1</th>").arg(m_lines->horizontalHeaderItem(column)->text().toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (int row = 0; row < m_lines->rowCount(); ++row) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < ColumnCount; ++column)
            html += QStringLiteral("<td>%1</td>").arg(m_lines->item(row, column)->text().toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p>%1").arg(m_mistakes->text().toHtmlEscaped());
    for (qsizetype i = 0; i < std::min<qsizetype>(KindsListed, m_kindList.size()); ++i)
        html += QStringLiteral("<br>") + m_kindList[i].text().toHtmlEscaped();
    html += QStringLiteral("</p>");
    return html;
}

bool StrategyWindow::saveAsPdf(const QString &path) const
{
    // Written beside the file and put in its place only when whole, so
    // that a failed save leaves an older chart as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(windowTitle());
        QTextDocument document;
        document.setHtml(documentHtml());
        document.print(&writer);
    }
    return file.commit();
}

void StrategyWindow::askWhereToSave()
{
    auto *dialog = new QFileDialog(this, QStringLiteral("Save the strategy chart"), QStringLiteral("strategy.pdf"),
                                   QStringLiteral("PDF (*.pdf)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        if (!saveAsPdf(path)) {
            auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                        QStringLiteral("The chart could not be saved as %1.").arg(path), QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
    });
    dialog->open();
}

void StrategyWindow::askToPrint()
{
    m_printer = std::make_unique<QPrinter>();
    auto *dialog = new QPrintDialog(m_printer.get(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, qOverload<QPrinter *>(&QPrintDialog::accepted), this, [this] {
        QTextDocument document;
        document.setHtml(documentHtml());
        document.print(m_printer.get());
    });
    dialog->open();
}
