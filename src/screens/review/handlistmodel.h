#pragma once

#include "history/historyquery.h"

#include <QSqlQueryModel>

// The rows of a list of hands in the player's words: when, the cards, the
// holds against the best, the loss, the final hand. The rows come from the
// history's query as they are scrolled to, so a long history opens at once.
class HandListModel : public QSqlQueryModel
{
    Q_OBJECT

public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Whether a column of the query is one the player reads.
    static bool isShown(int column);
    StoredHand hand(int row) const;
};
