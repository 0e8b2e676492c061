#include "screens/review/handlistmodel.h"

#include "history/handhistory.h"
#include "model/names.h"
#include "trainer/trainer.h"

#include <QDateTime>
#include <QSqlRecord>

namespace {

QString columnTitle(int column)
{
    switch (column) {
    case PlayedColumn: return QStringLiteral("Played");
    case BetColumn: return QStringLiteral("Bet");
    case DealtColumn: return QStringLiteral("Dealt");
    case HeldColumn: return QStringLiteral("Held");
    case BestHoldColumn: return QStringLiteral("Best hold");
    case LossColumn: return QStringLiteral("Expected loss");
    case OutcomeColumn: return QStringLiteral("Final hand");
    case WinningsColumn: return QStringLiteral("Won");
    case WarnedColumn: return QStringLiteral("Warned");
    default: return {};
    }
}

} // namespace

bool HandListModel::isShown(int column)
{
    return !columnTitle(column).isEmpty();
}

StoredHand HandListModel::hand(int row) const
{
    return HandHistory::handFromRecord(record(row));
}

QVariant HandListModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole && (index.column() == LossColumn || index.column() == BetColumn
                                          || index.column() == WinningsColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QSqlQueryModel::data(index, role);
    const HandRecord hand = this->hand(index.row()).record;
    switch (index.column()) {
    case PlayedColumn:
        return QDateTime::fromMSecsSinceEpoch(hand.playedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case DealtColumn: return keptCardsText(hand.dealt, HoldCount - 1);
    case HeldColumn: return keptCardsText(hand.dealt, hand.held);
    case BestHoldColumn: return keptCardsText(hand.dealt, hand.bestHold);
    case LossColumn: return QString::number(hand.expectedLoss(), 'f', 2);
    case OutcomeColumn: return Trainer::outcomeName(hand.outcome);
    case WarnedColumn: return hand.warned ? QStringLiteral("yes") : QString();
    default: return QSqlQueryModel::data(index, role);
    }
}

QVariant HandListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    return QSqlQueryModel::headerData(section, orientation, role);
}
