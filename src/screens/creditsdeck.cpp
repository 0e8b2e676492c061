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

// What the file held, as bytes, to tell whether another game saved since.
QByteArray heldOnFile(const ScoreFile::Reading &reading)
{
    return reading.fromFile ? ScoreFile::encode(reading.table) : QByteArray();
}

} // namespace

void BoardRow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit enterPressed();
    else
        QLineEdit::keyPressEvent(event);
    event->accept();
}

void BoardRow::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // A line edit selects all its text when Tab brings the focus, and the
    // first key typed would wipe the credits shown in the taken row; the
    // caret goes to the start instead, as when the board opens.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        deselect();
        setCursorPosition(0);
    }
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
    m_onFile = heldOnFile(reading);
    noentry = true;
    fillRows(reading.fromFile);
    if (noentry)
        Timer1.start(LeaveAfterMs);
    if (!reading.error.isEmpty()) {
        // Once the board is on the screen, so that the warning stands over it.
        QTimer::singleShot(0, this, [this, error = reading.error] {
            warn(QStringLiteral("The high scores could not be read; the board shows the usual "
                                "table and will not save over the file.\n%1")
                     .arg(error));
        });
    }
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
        Textdata[i] = row;
    }
}

void creditsdeck::fillRows(bool fromFile)
{
    const BoardFill fill = fillBoard(table, m_finalcredits, fromFile);
    for (int i = 0; i < ScorePlaces; ++i) {
        Textdata[i]->setText(fill.rows[i]);
        Textdata[i]->setReadOnly(true);
    }
    m_takenPlace = -1;
    if (fill.takenPlace < 0)
        return;
    // The place is the player's now; the name comes with Enter.
    m_takenPlace = fill.takenPlace;
    BoardRow *row = Textdata[fill.takenPlace];
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
    const QString name = Textdata[Index]->text();
    const QString notSaved = QStringLiteral("The high scores could not be saved.\n");
    // Read again: a file that cannot be read must not lose its records to
    // a table built without them, and another game may have saved since.
    const ScoreFile::Reading now = m_file.read();
    if (!now.error.isEmpty()) {
        warn(notSaved + QStringLiteral("The file could not be read, and a save would lose the scores in it.\n")
             + now.error);
        return;
    }
    if (heldOnFile(now) != m_onFile) {
        // A row that shows a record only stores that record again, which
        // the file's new table needs no more.
        if (m_takenPlace < 0 || !placeAgain(now, name))
            return;
        Index = m_takenPlace;
    }
    table[Index].playername = ScoreFile::fitName(name);
    QString error;
    if (!m_file.write(table, &error)) {
        warn(notSaved + error);
        return;
    }
    m_onFile = ScoreFile::encode(table);
}

bool creditsdeck::placeAgain(const ScoreFile::Reading &now, const QString &name)
{
    // The same rule on the table as it now stands: the first place from the
    // top whose score is below the credits, with the name typed so far.
    table = now.table;
    m_onFile = heldOnFile(now);
    fillRows(now.fromFile);
    if (m_takenPlace < 0) {
        warn(QStringLiteral("Another game has saved its high scores meanwhile, and %1 no longer takes a place.")
                 .arg(m_finalcredits));
        return false;
    }
    Textdata[m_takenPlace]->setText(name);
    Textdata[m_takenPlace]->setCursorPosition(0);
    return true;
}

void creditsdeck::warn(const QString &text)
{
    // Opened without an event loop of its own, so that the handler that
    // warns returns at once: nothing can delete the board under one of its
    // handlers while the player reads the warning.
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, &creditsdeck::warningClosed, Qt::QueuedConnection);
    ++m_openWarnings;
    box->open();
}

void creditsdeck::warningClosed()
{
    --m_openWarnings;
    if (m_leaving && m_openWarnings == 0)
        leave();
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
    // The player sees a warning until they close it; the board leaves then.
    if (m_openWarnings > 0) {
        m_leaving = true;
        return;
    }
    auto *screen = new logo;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    emit left(screen);
    close();
}
