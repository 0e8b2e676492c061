#include "testsupport.h"
#include <QTest>
class tst_Payout : public QObject { Q_OBJECT };
QTEST_MAIN(tst_Payout)
#include "tst_payout.moc"
