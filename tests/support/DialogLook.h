#pragma once
// What a look at a dialog would catch: a blank picture, or a caption cut off by its control.

#include <QAbstractButton>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace vireo::test {

// Distinct colours in the picture (a blank one has one or two).
inline int ColourCount(const QImage& image) {
    QList<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            if (!seen.contains(c)) seen.push_back(c);
            if (seen.size() > 50) return static_cast<int>(seen.size());
        }
    return static_cast<int>(seen.size());
}

// The dialogs' designed font: 9 points of the Japanese face (installed with the program).
inline bool HasDialogFont(const QWidget& dialog) {
    return dialog.font().pointSize() == 9 && QFontInfo(dialog.font()).family().contains(QStringLiteral("Noto Sans CJK"));
}

// The shown one-line labels and buttons whose text is wider than the room they have.
inline QStringList CutCaptions(const QWidget& dialog) {
    QStringList cut;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&dialog) || label->wordWrap() || label->text().contains('\n') ||
            label->textFormat() == Qt::RichText || label->text().startsWith('<'))
            continue;
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width())
            cut << label->text();
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&dialog) || button->text().isEmpty()) continue;
        if (button->sizeHint().width() > button->width() + 1) cut << button->text();
    }
    return cut;
}

}  // namespace vireo::test
