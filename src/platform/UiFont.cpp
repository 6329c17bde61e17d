#include "platform/UiFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace vireo {

QFont DialogFont(const QFont& base) {
    QFont font(base);
    const QString family = QString::fromLatin1(kFaceFontFamily);
    if (QFontDatabase::families().contains(family)) font.setFamily(family);
    font.setPointSize(9);
    return font;
}

}  // namespace vireo
