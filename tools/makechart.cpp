// Derives this game's strategy charts, full and short, and writes them as
// text into a folder, for the game to read instead of deriving them each
// time it starts.
#include "analysis/strategy.h"

#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: makechart FOLDER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (ChartLevel level : {ChartLevel::Full, ChartLevel::Short}) {
        const QString path = folder + (level == ChartLevel::Full ? "/full.chart" : "/short.chart");
        QFile file(path);
        const QByteArray text = StrategyChart(PayTable::game(), level).toText().toUtf8();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush()) {
            QTextStream(stderr) << "makechart: cannot write " << path << ": " << file.errorString() << "\n";
            return 1;
        }
    }
    return 0;
}
