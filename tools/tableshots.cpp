// Pictures of the table after a fixed deal, to compare its drawing before
// and after a change, pixel for pixel:
//
//   tableshots OUTDIR
//
// dealt.png: the deal with cards 1 and 4 held; hint.png: the same with the
// hold advice over the table; drawn.png: the hand after the draw;
// down.png: the cards turned down between rounds; warned.png: a second
// deal, the trainer's warning on cards 1 and 4 held, beside the table. The deck is shuffled by
// a fixed seed, so every run deals the same cards. Run it on the offscreen
// platform at each scale, QT_SCALE_FACTOR=1.5 for instance, on a screen
// (its configfile) with the room to show the table at its full size there,
// or on a small one to see the table drawn smaller.
#include "screens/table/cards.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <random>

namespace {

class SeededRandom final : public RandomSource
{
public:
    void Randomize() override {}
    float next() override { return unitFromBits(std::uint32_t(m_engine())); }

private:
    std::mt19937 m_engine{20240611};
};

void save(cards &table, const QString &path)
{
    QCoreApplication::processEvents();
    table.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: tableshots OUTDIR\n");
        return 2;
    }
    const QString out = args[1] + QLatin1Char('/');
    cards table(std::make_unique<SeededRandom>());
    table.setSoundOn(false);
    table.show();
    if (!QTest::qWaitForWindowExposed(&table))
        return 1;
    table.Command1_Click();
    table.Commandhold_Click(0);
    table.Commandhold_Click(3);
    save(table, out + QStringLiteral("dealt.png"));
    table.Form_KeyDown(Qt::Key_H);
    save(table, out + QStringLiteral("hint.png"));
    table.Form_KeyDown(Qt::Key_H);
    table.Command1_Click();
    save(table, out + QStringLiteral("drawn.png"));
    table.Command1_Click();
    save(table, out + QStringLiteral("down.png"));
    // A second deal with the trainer beside the table, training on: the
    // warning of holds worth less, with the deck's map and the best hold
    // marked on the cards.
    table.setTrainerShown(true);
    table.setTraining(true);
    table.Command1_Click();
    table.Commandhold_Click(0);
    table.Commandhold_Click(3);
    table.Command1_Click();
    save(table, out + QStringLiteral("warned.png"));
    return 0;
}
