#include "testsupport.h"
#include <QTest>
class tst_Round : public QObject { Q_OBJECT };
QTEST_MAIN(tst_Round)
#include "tst_round.moc"
