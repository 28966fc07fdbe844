#include "TestPictures.h"

#include <QDir>
#include <QPainter>
#include <QTest>
#include <QWidget>

void TestPictures::SavePicture(const QPixmap& picture, const QString& name)
{
    QVERIFY(!picture.isNull());
    const QString folder = qEnvironmentVariable("QORZIP_PICTURE_DIR");
    if (!folder.isEmpty())
        QVERIFY(picture.save(QDir(folder).filePath(name)));
}

QPixmap TestPictures::WithPopup(QWidget& window, QWidget& popup)
{
    const QRect area = QRect(window.geometry().topLeft(), window.size()) | popup.geometry();
    QPixmap picture(area.size());
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(window.geometry().topLeft() - area.topLeft(), window.grab());
    painter.drawPixmap(popup.geometry().topLeft() - area.topLeft(), popup.grab());
    return picture;
}
