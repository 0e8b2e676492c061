// Records made-up hands into a history as fast as it can, writing the
// number recorded so far after each one, until it has recorded the number
// asked for (0: until it is killed). What other processes run beside it
// or kill it with.
//
//   historywriter FILE COUNT
#include "history/handhistory.h"
#include "historysample.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    HandHistory history;
    if (!history.open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(history.message()));
        return 1;
    }
    const qint64 count = QByteArray(argv[2]).toLongLong();
    const qint64 session = QCoreApplication::applicationPid();
    QRandomGenerator random{quint32(session)};
    for (qint64 done = 1; count == 0 || done <= count; ++done) {
        if (!history.record(sampleHand(random, session, QDateTime::currentMSecsSinceEpoch()))) {
            std::fprintf(stderr, "%s\n", qPrintable(history.message()));
            return 1;
        }
        std::printf("%lld\n", done);
        std::fflush(stdout);
    }
    return 0;
}
