#include "drillqueue.h"

#include <algorithm>

DrillQueue::DrillQueue(const QList<StoredHand> &due)
{
    for (const StoredHand &hand : due)
        m_waiting.append({hand, 0});
}

void DrillQueue::answer(bool right)
{
    if (m_waiting.isEmpty())
        return;
    Asking asking = m_waiting.takeFirst();
    ++asking.asked;
    ++m_answered;
    m_right += right;
    const auto missed = std::find_if(m_missed.begin(), m_missed.end(),
                                     [&](const Missed &m) { return m.hand.id == asking.hand.id; });
    if (missed != m_missed.end())
        missed->rightInTheEnd = right;
    else if (!right)
        m_missed.append({asking.hand, false});
    if (!right && asking.asked < MostAsks)
        m_waiting.insert(std::min<qsizetype>(ComesBackAfter, m_waiting.size()), asking);
}
