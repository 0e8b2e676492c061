#include "testsupport.h"
#include <QTest>
class tst_Render : public QObject { Q_OBJECT };
QTEST_MAIN(tst_Render)
#include "tst_render.moc"
