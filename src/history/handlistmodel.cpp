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

namespace {

// Rows read at a time, as the list is scrolled to them.
constexpr int RowsAtOnce = 256;

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
{
}

HandListModel::~HandListModel()
{
    endQuery();
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool HandListModel::setQuery(const HandQuery &query)
{
    beginResetModel();
    endQuery();
    m_query = query;
    m_hands.clear();
    m_error.clear();
    if (openConnection()) {
        m_rows = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
        if (HistorySql::select(*m_rows, query)) {
            m_reader = std::make_unique<HandReader>(m_rows->record());
            m_hands = nextRows();
        } else {
            m_error = HistorySql::unreadable(m_rows->lastError(), m_history.fileName());
            endQuery();
        }
    }
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

void HandListModel::endQuery()
{
    m_reader.reset();
    m_rows.reset();
}

QList<StoredHand> HandListModel::nextRows()
{
    QList<StoredHand> rows;
    while (rows.size() < RowsAtOnce && m_rows->next())
        rows.append(m_reader->read(*m_rows));
    if (rows.size() < RowsAtOnce) {
        if (m_rows->lastError().isValid())
            m_error = HistorySql::unreadable(m_rows->lastError(), m_history.fileName());
        endQuery();
    }
    return rows;
}

int HandListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hands.size());
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
    const StoredHand &stored = m_hands[index.row()];
    if (stored.readable)
        return column.text(stored.record);
    // A row that fails the checks keeps its place in the list, with its id
    // for whoever looks at the file, and nothing read from it.
    return index.column() == 0 ? QVariant(QStringLiteral("Row %1 cannot be read").arg(stored.id)) : QVariant();
}

QVariant HandListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return QString::fromLatin1(Columns[section].title);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool HandListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_rows;
}

void HandListModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const QList<StoredHand> rows = nextRows();
    if (rows.isEmpty())
        return;
    beginInsertRows({}, int(m_hands.size()), int(m_hands.size() + rows.size()) - 1);
    m_hands.append(rows);
    endInsertRows();
}
