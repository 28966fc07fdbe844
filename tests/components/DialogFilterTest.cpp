#include <QTest>

#include "TestRegistry.h"
#include "UserInterface.h"

class DialogFilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertsPairs_data();
    void convertsPairs();
};

void DialogFilterTest::convertsPairs_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("caption holding its masks") << "Zip Files(*.zip)|*.zip|All Files |*.*"
                                               << "Zip Files(*.zip);;All Files (*.*)";
    QTest::newRow("plain caption") << "Qor Zip Config File|*.qrz"
                                   << "Qor Zip Config File (*.qrz)";
    QTest::newRow("trailing separator") << "Comma Separated Values(*.csv)|*.csv|"
                                        << "Comma Separated Values(*.csv)";
    QTest::newRow("masks with semicolons") << "Filter (*.txt;*.doc)|*.txt;*.doc"
                                           << "Filter (*.txt;*.doc) (*.txt *.doc)";
    QTest::newRow("lone mask list") << "*.*"
                                    << "*.*";
    QTest::newRow("empty") << ""
                           << "";
}

void DialogFilterTest::convertsPairs()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(DialogFilter(filter), expected);
}

QZ_REGISTER_TEST(DialogFilterTest);
#include "DialogFilterTest.moc"
