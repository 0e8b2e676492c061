#pragma once

#include "analysis/strategy.h"
#include "trainer/mistakekinds.h"

#include <QWidget>

#include <memory>

class CardFaces;
class HandHistory;
class QButtonGroup;
class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;
class QTableWidget;
class QTabWidget;

// The game's strategy chart, full or short, a line a row: its words, an
// example with the cards kept, how often it is the line played and what
// its holds are worth. The lines the player's mistakes should have played
// are marked from the history, with the mistakes by kind below, each of
// which can be drilled. Beside the full chart, its count rules: changes a
// player makes by counting the cards gone, with what each is worth. The
// chart can be saved as PDF and printed.
class StrategyWindow : public QWidget
{
    Q_OBJECT

public:
    StrategyWindow(const CardFaces &faces, HandHistory &history, QWidget *parent = nullptr);
    ~StrategyWindow() override;

    ChartLevel level() const { return m_level; }
    void setLevel(ChartLevel level);
    // Reads the player's mistakes again.
    void refresh();

    QTableWidget *lines() const { return m_lines; }
    QLabel *mistakes() const { return m_mistakes; }
    // The full chart's count rules and their measured worth.
    QLabel *countRules() const { return m_countRules; }
    QListWidget *mistakeKinds() const { return m_kinds; }
    // Opens a drill of the kind of mistake chosen in the list.
    void drillChosenKind();
    // The chart as a document of its own, for a PDF file or a printer.
    QString documentHtml() const;
    // Writes the chart to `path` as PDF; false when the file cannot be written.
    bool saveAsPdf(const QString &path) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fill();
    void askWhereToSave();
    void askToPrint();
    const StrategyChart &chart() const;
    // How often the player's mistakes should have played each line, and
    // what they cost, from the kinds of mistake worked out last.
    struct Misses
    {
        int count = 0;
        double credits = 0;
    };
    std::vector<Misses> missesByLine() const;

    const CardFaces &m_faces;
    HandHistory &m_history;
    ChartLevel m_level = ChartLevel::Full;
    QList<HandRecord> m_handsMissed;
    QList<MistakeKind> m_kindList;
    QString m_historyError;
    QButtonGroup *m_levels;
    QLabel *m_summary;
    QLabel *m_countRules;
    QTabWidget *m_tabs;
    QTableWidget *m_lines;
    QLabel *m_mistakes;
    QListWidget *m_kinds;
    QPushButton *m_drill;
    std::unique_ptr<QPrinter> m_printer;
};
