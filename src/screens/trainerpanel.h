#pragma once

#include <QWidget>

class QLabel;
class Round;
class Trainer;

// The trainer beside the table: the pays at the current bet, the result of
// the last draw, the deck, the advice, the session and the keys. It shows
// what the trainer and the round report and changes neither, but for the
// button that starts a new session.
class TrainerPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PanelWidth = 360;

    TrainerPanel(const Round &round, Trainer &trainer, QWidget *table);

    // Whether the advice is shown while the holds are open: on request, or
    // always.
    void setAdviceRequested(bool requested);
    bool adviceRequested() const { return m_adviceRequested; }
    void setAdviceAlways(bool always);
    bool adviceAlways() const { return m_adviceAlways; }

    // Writes every section afresh.
    void refresh();

    QLabel *advice() const { return m_advice; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString paysText() const;
    QString resultText() const;
    QString deckText() const;
    QString adviceText() const;
    QString sessionText() const;

    const Round &m_round;
    Trainer &m_trainer;
    bool m_adviceRequested = false;
    bool m_adviceAlways = false;
    QLabel *m_pays;
    QLabel *m_result;
    QLabel *m_deck;
    QLabel *m_advice;
    QLabel *m_session;
};
