#include "ephemeris/dialog/ObserverDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vireo {
namespace {

QString Show(double v) { return QString::number(v, 'g', 12); }

}  // namespace

QString FoldToAscii(const QString& text) {
    QString s = text.normalized(QString::NormalizationForm_KC);
    s.replace(QChar(0x2212), QLatin1Char('-'));  // minus sign
    s.replace(QChar(0x2010), QLatin1Char('-'));
    s.replace(QChar(0x2013), QLatin1Char('-'));
    return s.trimmed();
}

ObserverDialog::ObserverDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("観測地点"));
    setModal(true);
    auto* grid = new QGridLayout;
    auto row = [&](int r, const QString& caption, const QString& unit, QLineEdit*& edit) {
        auto* label = new QLabel(caption, this);
        edit = new QLineEdit(this);
        label->setBuddy(edit);
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        grid->addWidget(new QLabel(unit, this), r, 2);
    };
    row(0, QStringLiteral("緯度(&A):"), QStringLiteral("度（北緯が正）"), Text1);
    row(1, QStringLiteral("経度(&O):"), QStringLiteral("度（東経が正）"), Text2);
    row(2, QStringLiteral("標高(&H):"), QStringLiteral("メートル"), Text3);
    row(3, QStringLiteral("時差(&Z):"), QStringLiteral("時間（協定世界時より東が正）"), Text4);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Command1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, &ObserverDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    errorSink_ = [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("観測地点"), message);
    };
}

void ObserverDialog::SetValues(const ObserverValues& values) {
    values_ = values;
    Text1->setText(Show(values.latitude));
    Text2->setText(Show(values.longitude));
    Text3->setText(Show(values.height));
    Text4->setText(Show(static_cast<double>(values.timeZone)));
}

void ObserverDialog::Command1_Click() {
    ObserverValues parsed;
    const auto error = CheckObserverInput(
        FoldToAscii(Text1->text()).toStdString(), FoldToAscii(Text2->text()).toStdString(),
        FoldToAscii(Text3->text()).toStdString(), FoldToAscii(Text4->text()).toStdString(), &parsed);
    if (error) {
        QLineEdit* field = error->field == ObserverField::Latitude    ? Text1
                           : error->field == ObserverField::Longitude ? Text2
                           : error->field == ObserverField::Height    ? Text3
                                                                      : Text4;
        errorSink_(QString::fromStdString(error->message));
        field->setFocus();
        field->selectAll();
        return;  // the dialog stays open and nothing is taken
    }
    values_ = parsed;
    accept();
}

std::optional<ObserverValues> EditObserverInDialog(QWidget* parent, const ObserverValues& current) {
    ObserverDialog dialog(parent);
    dialog.SetValues(current);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Values();
}

}  // namespace vireo
