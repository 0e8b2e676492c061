// Pictures of the review of a filled hand history, for people to look at:
//
//   reviewshots HISTORY OUTDIR
//
// panel.png: the table with the trainer's panel after a few hands, and
// its note of the mistakes due; review.png: the mistakes, costliest first, the first one
// opened; deckeffect.png: the costliest whose best hold the cards gone
// changed; stats.png: the statistics and charts; drill.png: a drill hand
// answered; drillback.png: the first hand missed, asked again later;
// drillend.png: the drill's end, with the hands missed. The drill's
// answers go to HISTORY.
#include "history/handlistmodel.h"
#include "screens/review/drillwindow.h"
#include "screens/review/handview.h"
#include "screens/review/reviewwindow.h"
#include "screens/table/cards.h"
#include "trainer/judgement.h"

#include <QApplication>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <cstdio>

namespace {

void save(QWidget *window, const QString &path)
{
    QTest::qWait(300);
    window->grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: reviewshots HISTORY OUTDIR\n");
        return 2;
    }
    const QString out = args[2] + QLatin1Char('/');
    cards table;
    table.openHistory(args[1]);
    table.setTrainerShown(true);
    table.show();
    // A few hands drawn holding nothing, each warning overridden, for the
    // session's figures.
    while (table.trainer.session().hands < 4)
        table.Command1_Click();
    save(&table, out + QStringLiteral("panel.png"));
    ReviewWindow *review = table.openReview();
    if (!review)
        return 1;
    review->setMistakesOnly(true);
    review->setOrder(HandQuery::Order::CostliestFirst);
    save(review, out + QStringLiteral("review.png"));
    // The costliest mistake whose best hold the cards gone changed.
    for (int row = 0; row < review->hands()->rowCount(); ++row) {
        const StoredHand stored = review->hands()->hand(row);
        if (stored.readable && !Judgement(stored.record).deckEffectText().isEmpty()) {
            review->list()->selectRow(row);
            const QSize size = review->size();
            review->resize(size.width(), size.height() + 300);
            save(review, out + QStringLiteral("deckeffect.png"));
            review->resize(size);
            break;
        }
    }
    review->findChild<QTabWidget *>()->setCurrentIndex(1);
    save(review, out + QStringLiteral("stats.png"));

    DrillWindow *drill = review->openDrill();
    // The first hand missed: nothing held, unless that is its best hold.
    const qint64 missed = drill->current() ? drill->current()->id : 0;
    if (drill->current() && drill->current()->record.bestHold == 0)
        drill->toggleHold(0);
    drill->answerOrGoOn();
    save(drill, out + QStringLiteral("drill.png"));
    // The rest answered with the best hold, as the trainer says it.
    while (!drill->finished()) {
        drill->answerOrGoOn();
        if (const StoredHand *hand = drill->current()) {
            if (hand->id == missed)
                save(drill, out + QStringLiteral("drillback.png"));
            for (int slot = 0; slot < HandSize; ++slot) {
                if (hand->record.bestHold & (1u << slot))
                    drill->toggleHold(slot);
            }
            drill->answerOrGoOn();
        }
    }
    save(drill, out + QStringLiteral("drillend.png"));
    return 0;
}
