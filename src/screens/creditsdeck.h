#pragma once

#include "records/scorefile.h"

#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <array>

class logo;

// One row of the board. Every key pressed in it stays in it, so typing a
// name never leaves the board; Enter is reported instead of typed.
class BoardRow : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
};

// The high-score board, shown once on the way out. A total that beats a
// place takes it over and the player types a name into it; Enter stores it.
// The board itself never takes the keyboard focus: Tab goes round the rows,
// so no key pressed while a name is typed can leave the board.
class creditsdeck : public QWidget
{
    Q_OBJECT

public:
    explicit creditsdeck(qint32 finalcredits, QWidget *parent = nullptr);

    void Form_Load();
    void Textdata_KeyPress(int Index, int &KeyAscii);
    void Form_Click();
    void Form_KeyDown();
    void Timer1_Timer();

    std::array<BoardRow *, ScorePlaces> Textdata{};
    QTimer Timer1;

    scoretable table;
    bool noentry = true;

signals:
    // The board was left for the logo window, which is open now.
    void left(logo *screen);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildRows();
    void fillRows(bool fromFile);
    void commit(int Index);
    bool placeAgain(const ScoreFile::Reading &now, const QString &name);
    void warn(const QString &text);
    void warningClosed();
    void leave();

    qint32 m_finalcredits;
    int m_takenPlace = -1; // the row the player's credits took, or -1
    ScoreFile m_file;
    QByteArray m_onFile;      // the table as the file held it when last read or written
    int m_openWarnings = 0;   // warnings the player has not closed yet
    bool m_leaving = false;   // the board leaves once they are closed
};
