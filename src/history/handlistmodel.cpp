#include "handlistmodel.h"

#include "handhistory.h"
#include "historysql.h"
#include "model/names.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

// Rows read at a time, as the list is scrolled to them, and the pages
// kept once read: the screen's rows and those about them.
constexpr int RowsAtOnce = 256;
constexpr int PagesKept = 64;

struct Column
{
    const char *title;
    bool rightAligned;
    QVariant (*text)(const HandRecord &hand);
};

const Column Columns[] = {
    {"Played", false,
     [](const HandRecord &hand) -> QVariant {
         return QDateTime::fromMSecsSinceEpoch(hand.playedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
     }},
    {"Bet", true, [](const HandRecord &hand) -> QVariant { return hand.bet; }},
    {"Dealt", false, [](const HandRecord &hand) -> QVariant { return keptCardsText(hand.dealt, HoldCount - 1); }},
    {"Held", false, [](const HandRecord &hand) -> QVariant { return keptCardsText(hand.dealt, hand.held); }},
    {"First press", false,
     [](const HandRecord &hand) -> QVariant {
         return hand.firstHeld ? keptCardsText(hand.dealt, *hand.firstHeld) : QStringLiteral("unknown");
     }},
    {"Best hold", false, [](const HandRecord &hand) -> QVariant { return keptCardsText(hand.dealt, hand.bestHold); }},
    {"Final hand", false, [](const HandRecord &hand) -> QVariant { return outcomeName(hand.outcome); }},
    {"Won", true, [](const HandRecord &hand) -> QVariant { return hand.winnings; }},
    {"Warned", false,
     [](const HandRecord &hand) -> QVariant { return hand.warned ? QStringLiteral("yes") : QString(); }},
    {"Expected loss", true,
     [](const HandRecord &hand) -> QVariant { return QString::number(hand.expectedLoss(), 'f', 2); }},
};

QString connectionName()
{
    static QAtomicInteger<int> count;
    return QStringLiteral("drawpoker-hand-list-%1").arg(count.fetchAndAddRelaxed(1));
}

} // namespace

HandListModel::HandListModel(const HandHistory &history, QObject *parent)
    : QAbstractTableModel(parent)
    , m_history(history)
    , m_connection(connectionName())
    , m_pages(PagesKept)
{
}

HandListModel::~HandListModel()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool HandListModel::setQuery(const HandQuery &query)
{
    beginResetModel();
    m_query = query;
    m_pages.clear();
    m_error.clear();
    m_count = 0;
    if (openConnection())
        countHands();
    endResetModel();
    return readable();
}

// The list reads the file the history keeps, read-only, and follows it
// when the history is opened on another.
bool HandListModel::openConnection()
{
    const QString fileName = m_history.fileName();
    if (m_history.state() == HandHistory::State::Closed || fileName.isEmpty()) {
        m_error = HistorySql::unreadable(QSqlError(), QString());
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (db.isOpen() && db.databaseName() == fileName)
        return true;
    db.close();
    db.setDatabaseName(fileName);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;") + HistorySql::connectOptions());
    if (db.open())
        return true;
    m_error = HistorySql::unreadable(db.lastError(), fileName);
    return false;
}

bool HandListModel::countHands()
{
    QSqlQuery sql(QSqlDatabase::database(m_connection, false));
    if (!HistorySql::listed(sql, m_query)) {
        m_error = HistorySql::unreadable(sql.lastError(), m_history.fileName());
        return false;
    }
    m_count = sql.value(0).toInt();
    m_lastId = sql.value(1).toLongLong();
    return true;
}

// A page is read from the end nearer to it, so that the last rows cost no
// more than the first.
const QList<StoredHand> *HandListModel::page(int index) const
{
    if (const QList<StoredHand> *kept = m_pages.object(index))
        return kept;
    const int first = index * RowsAtOnce;
    const int size = std::min(RowsAtOnce, m_count - first);
    const bool fromEnd = first > m_count - (first + size);
    const HandSlice slice{m_lastId, fromEnd ? m_count - (first + size) : first, size, fromEnd};
    QSqlQuery sql(QSqlDatabase::database(m_connection, false));
    auto *rows = new QList<StoredHand>;
    if (HistorySql::select(sql, m_query, slice)) {
        const HandReader reader(sql.record());
        while (sql.next())
            rows->append(reader.read(sql));
    }
    if (sql.lastError().isValid() || rows->size() != size) {
        delete rows;
        if (m_error.isEmpty())
            m_error = HistorySql::unreadable(sql.lastError(), m_history.fileName());
        return nullptr;
    }
    if (fromEnd)
        std::reverse(rows->begin(), rows->end());
    m_pages.insert(index, rows);
    return rows;
}

const StoredHand *HandListModel::handAt(int row) const
{
    if (row < 0 || row >= m_count)
        return nullptr;
    const QList<StoredHand> *rows = page(row / RowsAtOnce);
    return rows ? &rows->at(row % RowsAtOnce) : nullptr;
}

StoredHand HandListModel::hand(int row) const
{
    const StoredHand *stored = handAt(row);
    return stored ? *stored : StoredHand{};
}

int HandListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int HandListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(std::size(Columns));
}

QVariant HandListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Column &column = Columns[index.column()];
    if (role == Qt::TextAlignmentRole)
        return column.rightAligned ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    const StoredHand *stored = handAt(index.row());
    if (!stored)
        return {};
    if (stored->readable)
        return column.text(stored->record);
    // A row that fails the checks keeps its place in the list, with its id
    // for whoever looks at the file, and nothing read from it.
    return index.column() == 0 ? QVariant(QStringLiteral("Row %1 cannot be read").arg(stored->id)) : QVariant();
}

QVariant HandListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return QString::fromLatin1(Columns[section].title);
    return QAbstractTableModel::headerData(section, orientation, role);
}
