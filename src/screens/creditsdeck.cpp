#include "creditsdeck.h"

#include "platform/placement.h"
#include "records/boardfill.h"
#include "screens/logo.h"

#include <QKeyEvent>
#include <QMessageBox>

namespace {

// Design sizes in twips; 15 twips make a pixel.
constexpr int ClientWidth = 6645 / 15;
constexpr int ClientHeight = 4500 / 15;
constexpr int RowWidth = 6615 / 15;
constexpr int RowHeight = 405 / 15;
constexpr qreal FontPoints = 14.25;
constexpr int LeaveAfterMs = 2500;
constexpr int EnterKey = 13;

} // namespace

void BoardRow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit enterPressed();
    else
        QLineEdit::keyPressEvent(event);
    event->accept();
}

creditsdeck::creditsdeck(qint32 finalcredits, QWidget *parent)
    : QWidget(parent)
    , m_finalcredits(finalcredits)
{
    setWindowTitle(QStringLiteral("program by Vandemeer"));
    setFixedSize(ClientWidth, ClientHeight);
    QFont boardFont(QStringLiteral("Courier New"));
    boardFont.setPixelSize(qRound(FontPoints * 96 / 72));
    boardFont.setBold(true);
    setFont(boardFont);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &creditsdeck::Timer1_Timer);
    Form_Load();
}

void creditsdeck::Form_Load()
{
    centreOnScreen(this);
    const ScoreFile::Reading reading = m_file.read();
    buildRows();
    table = reading.table;
    noentry = true;
    fillRows(reading.fromFile);
    if (noentry)
        Timer1.start(LeaveAfterMs);
}

void creditsdeck::buildRows()
{
    for (int i = 0; i < ScorePlaces; ++i) {
        auto *row = new BoardRow(this);
        row->setGeometry(0, i * RowHeight, RowWidth, RowHeight);
        row->setReadOnly(true);
        row->setAccessibleName(QStringLiteral("Place %1").arg(i + 1));
        row->show();
        connect(row, &BoardRow::enterPressed, this, [this, i] {
            int key = EnterKey;
            Textdata_KeyPress(i, key);
        });
        Textdata[std::size_t(i)] = row;
    }
}

void creditsdeck::fillRows(bool fromFile)
{
    const BoardFill fill = fillBoard(table, m_finalcredits, fromFile);
    for (int i = 0; i < ScorePlaces; ++i)
        Textdata[std::size_t(i)]->setText(fill.rows[std::size_t(i)]);
    if (fill.takenPlace < 0)
        return;
    // The place is the player's now; the name comes with Enter.
    m_takenPlace = fill.takenPlace;
    BoardRow *row = Textdata[std::size_t(fill.takenPlace)];
    row->setReadOnly(false);
    row->setCursorPosition(0);
    row->setFocus();
    noentry = false;
}

void creditsdeck::Textdata_KeyPress(int Index, int &KeyAscii)
{
    if (KeyAscii != EnterKey)
        return;
    // Once a place is taken, only its row stores a name. The table already
    // holds the player's score there, so a save from any other row would
    // give that score to the old holder's name, or write a record hidden
    // below the place with an empty name.
    if (m_takenPlace < 0 || Index == m_takenPlace)
        commit(Index);
    KeyAscii = 0;
}

void creditsdeck::commit(int Index)
{
    table[std::size_t(Index)].playername = ScoreFile::fitName(Textdata[std::size_t(Index)]->text());
    QString error;
    if (!m_file.write(table, &error)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The high scores could not be saved.\n%1").arg(error));
    }
}

void creditsdeck::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Form_Click();
}

void creditsdeck::keyPressEvent(QKeyEvent *)
{
    Form_KeyDown();
}

void creditsdeck::Form_Click()
{
    leave();
}

void creditsdeck::Form_KeyDown()
{
    leave();
}

void creditsdeck::Timer1_Timer()
{
    leave();
}

void creditsdeck::leave()
{
    Timer1.stop();
    auto *screen = new logo;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    emit left(screen);
    close();
}
