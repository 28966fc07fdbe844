#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

// Pictures of windows for the docs folder, written by the tests only when
// QORZIP_PICTURE_DIR names a folder; the grab is checked either way.
namespace TestPictures {
void SavePicture(const QPixmap& picture, const QString& name);
// A window's picture with its open popup painted where it shows on screen.
QPixmap WithPopup(QWidget& window, QWidget& popup);
} // namespace TestPictures
