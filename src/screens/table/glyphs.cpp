// Preparing the hidden sources that every card face is copied from: the
// suit symbols, the printed rank indices and the framed court panels.
#include "screens/table/cards.h"

#include "model/names.h"
#include "render/cardart.h"

namespace {

struct CourtLettering
{
    qreal fontPoints;
    qreal left;
    QString word;
};

// Jack, queen, king: the word spelled down the middle of the panel.
const CourtLettering Courts[3] = {
    {30, 48, QStringLiteral("JACK")},
    {24, 52, QStringLiteral("QUEEN")},
    {30, 48, QStringLiteral("KING")},
};

// Where the four suit copies of a panel go; the lower two are turned half
// a turn by their negative sizes.
const QRectF CourtSuitCopies[4] = {
    {5, 5, 30, 30},
    {35, 194, -30, -30},
    {84, 5, 30, 30},
    {114, 194, -30, -30},
};

} // namespace

PictureBox *cards::Picturesuit(int suit) const
{
    prepareFaceSources();
    return m_suits[suit];
}

PictureBox *cards::Picturenum(int rank) const
{
    prepareFaceSources();
    return m_glyphs[rank];
}

PictureBox *cards::Pictureface(int panel) const
{
    prepareFaceSources();
    return m_courts[panel];
}

// Once: after the first paint, or earlier for a face drawn before it.
void cards::prepareFaceSources() const
{
    if (m_faceSourcesReady)
        return;
    m_faceSourcesReady = true;
    for (int suit = 0; suit < SuitCount; ++suit)
        m_suits[suit]->setPicture(CardArt::suitSymbol(suit));
    prepareRankGlyphs();
    prepareCourtPanels();
}

void cards::prepareRankGlyphs() const
{
    for (int k = 0; k < RankCount; ++k) {
        if (k > 0)
            m_glyphs.Load(k);
        PictureBox *glyph = m_glyphs[k];
        glyph->setBackColor(Qt::white);
        glyph->hide();
        glyph->setCurrentX(0);
        glyph->setCurrentY(0);
        glyph->Print(rankIndex(k));
    }
}

void cards::prepareCourtPanels() const
{
    for (int i = 0; i < CourtPanelCount; ++i) {
        if (i > 0)
            m_courts.Load(i);
        PictureBox *panel = m_courts[i];
        panel->resize(120, 200);
        panel->hide();
        panel->setBackColor(Qt::white);
        panel->setDrawWidth(3);
        panel->setForeColor(i % 2 == 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));

        const QImage &suit = m_suits[i % SuitCount]->Image();
        for (const QRectF &copy : CourtSuitCopies)
            panel->PaintPicture(suit, copy.x(), copy.y(), copy.width(), copy.height());

        const CourtLettering &court = Courts[i / SuitCount];
        panel->setFontSize(court.fontPoints);
        panel->setCurrentY(0);
        for (const QChar letter : court.word) {
            panel->setCurrentX(court.left);
            panel->Print(letter);
        }
        panel->Line(QPointF(1, 1), QPointF(118, 198), Qt::black);
    }
}
