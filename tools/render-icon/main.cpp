// render-icon: draws the scalable icon into the PNG sizes of the icon theme at build time, so
// the SVG stays the one drawing of the icon.
//   render-icon ICON.svg OUT_FOLDER SIZE...   writes OUT_FOLDER/SIZExSIZE.png for each size

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fputs("usage: render-icon ICON.svg OUT_FOLDER SIZE...\n", stderr);
        return 64;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render-icon: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 1 || size > 4096) {
            std::fprintf(stderr, "render-icon: not a size: %s\n", qPrintable(args.at(i)));
            return 64;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString out = QStringLiteral("%1/%2x%2.png").arg(args.at(2)).arg(size);
        if (!image.convertToFormat(QImage::Format_ARGB32).save(out, "PNG")) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(out));
            return 1;
        }
    }
    return 0;
}
