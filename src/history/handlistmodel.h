#pragma once

#include "history/historyquery.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QList>
#include <QString>

class HandHistory;

// The hands a query selects, a row each in the player's words: when, the
// bet, the cards, the holds against the best, the final hand, the
// winnings, the trainer's warning and the loss; a row that cannot be read
// as a hand, by its id alone. The hands are counted when the list is
// asked for, and read a page at a time as they are shown, from whichever
// end of the list is nearer, so that a long history opens, and shows its
// end, at once. Each page is read whole by a query of its own through a
// connection of the list's own: no read stays open between them, so the
// connection that records hands never waits behind the list, and the
// journal can be written back into the file. Hands recorded since the
// list was counted join it when it is asked for again. A history that
// cannot be read is told apart from one without hands.
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
    // The hand in `row`, read with its page when not read yet; an empty
    // hand when it cannot be read.
    StoredHand hand(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool openConnection();
    bool countHands();
    // The hand in `row`, from the page that holds it; nothing when the
    // page cannot be read, which leaves its error.
    const StoredHand *handAt(int row) const;
    const QList<StoredHand> *page(int index) const;

    const HandHistory &m_history;
    const QString m_connection;
    HandQuery m_query;
    int m_count = 0;
    qint64 m_lastId = 0; // the newest hand counted
    // The pages read, the most recently shown kept.
    mutable QCache<int, QList<StoredHand>> m_pages;
    mutable QString m_error;
};
