#pragma once

#include <QWidget>

class QBoxLayout;
class DeckMap;
class QLabel;
class QPushButton;
class Judgement;
class Round;
class Trainer;

// Cards in the trainer's plain words made rich text: hearts and diamonds
// in red, as on the cards.
QString richCards(const QString &plain);

// The best holds of a judged deal, `count` of them, with the hold `yours`
// marked in its place: a table of places, cards and expected credits.
QString adviceTable(const Judgement &judgement, int count, unsigned yours);

// The trainer beside the table: a welcome on the first start, the warning
// before a draw, the pays at the current bet, the result of the last draw,
// the deck and its effect, the advice, the session with the mistakes due
// for a drill, the options and the keys. It shows what the trainer and the round report and changes
// neither, but for the button that starts a new session. Its words wrap to
// any width it is given; its buttons stand at its top, above the words, so
// that they stay where they are as the words change; and it scrolls where
// the screen leaves it too little room.
class TrainerPanel : public QWidget
{
    Q_OBJECT

public:
    // The width it asks for beside the table, and the least it can do with.
    static constexpr int PanelWidth = 360;
    static constexpr int NarrowestWidth = 200;

    TrainerPanel(const Round &round, Trainer &trainer, QWidget *table);

    // Whether the advice is shown while the holds are open: on request, or
    // always; and whether all 32 holds are listed.
    void setAdviceRequested(bool requested);
    bool adviceRequested() const { return m_adviceRequested; }
    void setAdviceAlways(bool always);
    void setAllHoldsListed(bool listed);
    bool allHoldsListed() const { return m_allHolds; }
    // The options the panel reports, as the table keeps them.
    // `warnsWhen` says how much the holds must lose to be warned about:
    // "at any loss", "over 1 %".
    void setOptionsState(bool training, bool adviceAlways, bool soundOn, const QString &warnsWhen);
    void setWelcomeShown(bool shown);
    // A line about the hand history, such as why it is not being kept;
    // empty hides it.
    void setHistoryMessage(const QString &message);
    // Why the options are not kept, shown above the history's word.
    void setOptionsMessage(const QString &message);
    // The mistakes due for a drill; none hides the note.
    void setDrillDue(qint64 due);

    // Writes every section afresh.
    void refresh();

    // The sections, made on the first call if the panel has not shown yet.
    QLabel *warning() { return built(m_warning); }
    QLabel *result() { return built(m_result); }
    QLabel *deck() { return built(m_deck); }
    DeckMap *deckMap() { return built(m_deckMap); }
    QLabel *advice() { return built(m_advice); }
    QLabel *session() { return built(m_session); }
    QLabel *options() { return built(m_options); }
    QLabel *history() { return built(m_history); }
    QLabel *drillDue() { return built(m_drillDue); }

    void setVisible(bool visible) override;
    // The height it takes at `width` to show all its words without
    // scrolling; none before its sections are made.
    int heightForWidth(int width) const override;

signals:
    // The player asked for the review of the hands.
    void reviewRequested();
    void strategyRequested();
    // Its words have grown taller than the panel.
    void needsRoom();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    template <class Section>
    Section *built(Section *&section)
    {
        build();
        return section;
    }
    void showOptionsAndNotes();
    bool buttonsSideBySide(int width) const;
    void askForRoom();
    QString paysText() const;
    QString resultText() const;
    QString deckText() const;
    void showDeckMap();
    QString adviceText() const;
    QString warningText() const;

    const Round &m_round;
    Trainer &m_trainer;
    bool m_adviceRequested = false;
    bool m_adviceAlways = false;
    bool m_allHolds = false;
    bool m_welcomeShown = false;
    bool m_buildScheduled = false;
    QString m_optionsText;
    QString m_historyMessage;
    QString m_optionsMessage;
    qint64 m_dueForDrill = 0;
    QBoxLayout *m_buttons = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_review = nullptr;
    QPushButton *m_strategy = nullptr;
    QWidget *m_content = nullptr;
    QLabel *m_welcome = nullptr;
    QLabel *m_warning = nullptr;
    QLabel *m_pays = nullptr;
    QLabel *m_result = nullptr;
    QLabel *m_deck = nullptr;
    DeckMap *m_deckMap = nullptr;
    QLabel *m_advice = nullptr;
    QLabel *m_session = nullptr;
    QLabel *m_options = nullptr;
    QLabel *m_history = nullptr;
    QLabel *m_drillDue = nullptr;
};
