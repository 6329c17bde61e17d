#pragma once
// The component's own dialog "観測地点": latitude, longitude, height and time zone.

#include <QDialog>
#include <functional>
#include <optional>

#include "ephemeris/ObserverInput.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vireo {

class ObserverDialog : public QDialog {
    Q_OBJECT
public:
    explicit ObserverDialog(QWidget* parent = nullptr);

    void SetValues(const ObserverValues& values);
    // The accepted values; meaningful once the dialog was accepted.
    const ObserverValues& Values() const { return values_; }
    // Where refusals go; a message box by default.
    void SetErrorSink(std::function<void(const QString&)> sink) { errorSink_ = std::move(sink); }

    QLineEdit* Text1;  // latitude
    QLineEdit* Text2;  // longitude
    QLineEdit* Text3;  // height
    QLineEdit* Text4;  // time zone
    QPushButton* Command1;  // OK
    QPushButton* Command2;  // キャンセル

private:
    void Command1_Click();

    ObserverValues values_;
    std::function<void(const QString&)> errorSink_;
};

// The ephemeris component's editor: the dialog, modal over parent, opened on current.
std::optional<ObserverValues> EditObserverInDialog(QWidget* parent, const ObserverValues& current);

// Full-width digits, signs and points (as a Japanese input method types them) to ASCII.
QString FoldToAscii(const QString& text);

}  // namespace vireo
