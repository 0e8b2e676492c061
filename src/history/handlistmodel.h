#pragma once

#include "history/historyquery.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <memory>

class HandHistory;
class HandReader;
class QSqlQuery;

// The hands a query selects, a row each in the player's words: when, the
// bet, the cards, the holds against the best, the final hand, the
// winnings, the trainer's warning and the loss; a row that cannot be read
// as a hand, by its id alone. The rows are read as they
// are scrolled to, so that a long history opens at once, through a
// connection of the list's own, so that the connection that records hands
// never holds a read open. A history that cannot be read is told apart
// from one without hands.
class HandListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit HandListModel(const HandHistory &history, QObject *parent = nullptr);
    ~HandListModel() override;

    // Lists the hands `query` selects afresh, from the first. Returns
    // whether the history could be read.
    bool setQuery(const HandQuery &query);
    HandQuery query() const { return m_query; }
    // Whether the history could be read; when it could not, error() says
    // why in the player's words.
    bool readable() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // The hand in `row` of those read so far.
    StoredHand hand(int row) const { return m_hands.value(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    bool openConnection();
    void endQuery();
    // Reads the next rows; the query ends with its last row, or with a
    // failure, which leaves its error.
    QList<StoredHand> nextRows();

    const HandHistory &m_history;
    const QString m_connection;
    HandQuery m_query;
    // The query while it has rows left to read.
    std::unique_ptr<QSqlQuery> m_rows;
    std::unique_ptr<HandReader> m_reader;
    QList<StoredHand> m_hands;
    QString m_error;
};
