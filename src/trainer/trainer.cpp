#include "trainer.h"

#include "model/names.h"
#include "play/round.h"

#include <QDateTime>

namespace {

QString credits(double value)
{
    return QString::number(value, 'f', 2);
}

// The cards gone from the round's deck at its deal: dealt since the
// shuffle, less the hand.
CardSet goneFrom(const Round &round)
{
    CardSet hand = 0;
    for (const CardCode &card : round.hand())
        hand |= cardBit(card);
    return FullDeck & ~hand & ~round.deck().undealtCards();
}

} // namespace

Trainer::Trainer(const Round &round, QObject *parent)
    : QObject(parent)
    , m_round(round)
    , m_sessionStart(QDateTime::currentMSecsSinceEpoch())
{
    connect(&round, &Round::dealt, this, &Trainer::analyseDeal);
    connect(&round, &Round::drawn, this, &Trainer::checkDraw);
    connect(&round, &Round::creditsRefilled, this, [this] { m_refilled = true; });
    // The bet and shuffles change what the panel shows, not the analysis of
    // the deal.
    connect(&round, &Round::holdChanged, this, [this] {
        recheckHolds();
        emit changed();
    });
    connect(&round, &Round::betChanged, this, &Trainer::changed);
    connect(&round, &Round::shuffled, this, [this] {
        m_shuffledSinceDeal = true;
        emit changed();
    });
    connect(&round, &Round::turnedDown, this, &Trainer::changed);
}

void Trainer::resetSession()
{
    m_session = {};
    m_sessionStart = QDateTime::currentMSecsSinceEpoch();
    emit changed();
}

QString Trainer::outcomeName(Outcome outcome)
{
    return ::outcomeName(outcome);
}

bool Trainer::confirmDraw(unsigned heldMask)
{
    // Pressed again with the very holds warned about at the last press:
    // the player means it. Holds changed since are judged afresh.
    if (!m_judgement || m_round.phase() != Round::Phase::HoldsOpen || m_warnedAtPress == heldMask)
        return true;
    // The holds of the first press, whatever a warning makes of them.
    if (!m_firstHolds)
        m_firstHolds = heldMask;
    if (!m_judgement->worthWarning(heldMask, m_threshold))
        return true;
    m_warned = heldMask;
    m_warnedAtPress = heldMask;
    m_warnedThisDeal = true;
    emit changed();
    return false;
}

// A warning follows the holds: it goes when they become good enough, and
// speaks of the new holds when they do not.
void Trainer::recheckHolds()
{
    if (!m_warned)
        return;
    if (m_judgement->worthWarning(m_round.heldMask(), m_threshold))
        m_warned = m_round.heldMask();
    else
        m_warned.reset();
}

QString Trainer::warningText() const
{
    if (!m_warned || !m_judgement)
        return {};
    return m_judgement->warningText(*m_warned);
}

// Read off the deal's judgement and the holds drawn with.
std::optional<Mistake> Trainer::mistake() const
{
    if (!m_drawnOutcome || !m_judgement || !m_judgement->isMistake(m_drawnHolds))
        return std::nullopt;
    return Mistake{m_judgement->best(), m_judgement->expectedLoss(m_drawnHolds)};
}

QString Trainer::verdictText() const
{
    if (!m_drawnOutcome || !m_judgement)
        return {};
    return m_judgement->verdictText(m_drawnHolds);
}

QString Trainer::strategyText() const
{
    if (!m_judgement)
        return {};
    if (m_drawnOutcome)
        return m_judgement->strategyText(m_drawnHolds);
    return m_warned ? m_judgement->strategyText(*m_warned) : QString();
}

QStringList Trainer::sessionLines() const
{
    const SessionStats &s = m_session;
    if (s.hands == 0)
        return {QStringLiteral("No hands yet.")};
    const auto rightOf = [&](int mistakes) {
        return QStringLiteral("%1 (%2 %)").arg(s.hands - mistakes).arg(100.0 * (s.hands - mistakes) / s.hands, 0, 'f', 0);
    };
    QStringList lines{
        QStringLiteral("Hands %1, right at the first press %2, after warnings %3")
            .arg(s.hands).arg(rightOf(s.firstPressMistakes), rightOf(s.mistakes)),
        QStringLiteral("Warnings %1, heeded %2").arg(s.warned).arg(s.heeded),
        QStringLiteral("Expected loss to mistakes %1 credits, %2 a hand").arg(credits(s.mistakeCost), credits(s.mistakeCost / s.hands)),
        QStringLiteral("Loss per credit bet %1: %2 credits per 100 hands at bet 1")
            .arg(QString::number(s.lossPerCreditBet(), 'f', 4), credits(100 * s.lossPerCreditBet())),
        QStringLiteral("Credits bet %1, won %2").arg(s.creditsBet).arg(s.creditsWon),
    };
    if (s.expectedBest > 0) {
        lines << QStringLiteral("Your play kept %1 % of the best play's expected return")
                     .arg(100.0 * s.expectedYours / s.expectedBest, 0, 'f', 1);
    }
    return lines;
}

void Trainer::analyseDeal()
{
    m_judgement.emplace(m_round.hand(), goneFrom(m_round), m_round.bet(), Round::payTable());
    m_drawnOutcome.reset();
    m_warned.reset();
    m_warnedAtPress.reset();
    m_firstHolds.reset();
    m_warnedThisDeal = false;
    m_shuffledSinceDeal = false;
    m_refilled = false;
    emit changed();
}

// A draw is judged on the deal it came from; a trainer that saw no deal
// has nothing to judge.
void Trainer::checkDraw(Outcome, qint32 winnings)
{
    m_drawnOutcome = evaluateHand(m_round.hand(), PayTable::gameNaming());
    m_drawnHolds = m_round.heldMask();
    m_warned.reset();
    if (m_judgement) {
        const Judgement &deal = *m_judgement;
        ++m_session.hands;
        m_session.creditsBet += deal.bet();
        m_session.creditsWon += winnings;
        m_session.expectedYours += deal.expectedCredits(m_drawnHolds);
        m_session.expectedBest += deal.expectedCredits(deal.best());
        const std::optional<Mistake> drawnBadly = mistake();
        if (drawnBadly) {
            ++m_session.mistakes;
            m_session.mistakeCost += drawnBadly->expectedLoss;
        }
        m_session.firstPressMistakes += m_warnedThisDeal || drawnBadly;
        m_session.warned += m_warnedThisDeal;
        m_session.heeded += m_warnedThisDeal && !drawnBadly;
        emit settled(settledRecord(winnings));
    }
    emit changed();
}

HandRecord Trainer::settledRecord(qint32 winnings) const
{
    const Judgement &deal = *m_judgement;
    HandRecord record;
    record.playedAt = QDateTime::currentMSecsSinceEpoch();
    record.session = m_sessionStart;
    record.bet = deal.bet();
    record.dealt = deal.dealt();
    record.goneAtDeal = deal.goneAtDeal();
    record.held = m_drawnHolds;
    record.bestHold = deal.best();
    record.heldCredits = deal.expectedCredits(m_drawnHolds);
    record.bestCredits = deal.expectedCredits(deal.best());
    record.final = m_round.hand();
    record.outcome = *m_drawnOutcome;
    record.winnings = winnings;
    record.credits = m_round.credits();
    record.warned = m_warnedThisDeal;
    // A table that asks nothing before the draw (training off) draws with
    // the holds of the first press.
    record.firstHeld = m_firstHolds.value_or(m_drawnHolds);
    return record;
}
