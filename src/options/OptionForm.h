#pragma once
// OptionForm, the Options dialog: how the clock lives on the desktop (notification icon,
// start minimised, close button, start at log-on), its colour scheme and round window, the
// user colours and the hourly time signal. Choices stay in the controls until OK, which
// applies them all (OptionsApply); Cancel, Esc and the close box drop them.

#include "options/OptionsHost.h"
#include "timekeeping/ClockState.h"

#include <QDialog>

#include <array>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vireo {

class PlayStopButton;
class SettingsStore;

// The etched line above the buttons: a shadow line and a highlight line one screen pixel
// below it, across the dialog.
class SeparatorLine : public QWidget {
    Q_OBJECT
public:
    explicit SeparatorLine(QWidget* parent = nullptr);
    // Puts the highlight line one device pixel below the shadow line at the present scale.
    void AlignSeparatorLine();
    // Offset of line 0 (shadow) or 1 (highlight) from the widget's top, in logical pixels.
    qreal LineY(int index) const { return index == 0 ? 0.0 : highlightOffset_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal highlightOffset_ = 1.0;
};

class OptionForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 13;

    // Builds and loads the dialog from the host's clock state and the saved options. The
    // host must outlive the dialog; owner is the clock window.
    explicit OptionForm(OptionsHost& host, QWidget* owner = nullptr);
    ~OptionForm() override;

    QCheckBox* Check1 = nullptr;   // notification icon
    QGroupBox* Frame1 = nullptr;   // residence options
    QCheckBox* Check2 = nullptr;   // start minimised
    QCheckBox* Check3 = nullptr;   // close button minimises
    QCheckBox* Check4 = nullptr;   // start at log-on
    QLabel* Label1 = nullptr;      // "背景(&G)"
    QComboBox* Combo1 = nullptr;   // colour scheme
    QCheckBox* Check5 = nullptr;   // round window
    QLabel* Label2 = nullptr;      // "ユーザ色"
    QLabel* Label3 = nullptr;      // sample of the pending user colours
    std::array<QPushButton*, 2> Command5{};  // 0 foreground, 1 background colour
    QLabel* Label4 = nullptr;      // "時報(&H)"
    QComboBox* Combo2 = nullptr;   // time-signal kind
    PlayStopButton* Command3 = nullptr;  // previews the time signal
    QPushButton* Command4 = nullptr;     // chooses the time signal's music file
    SeparatorLine* Line1 = nullptr;      // above OK and キャンセル
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // キャンセル

    // The working copy of the time-signal music file.
    const std::string& SignalFile() const { return signalFile_; }
    // The pending user colours the sample shows.
    OleColor SampleBackColor() const { return sampleBack_; }
    OleColor SampleForeColor() const { return sampleFore_; }
    bool IsUnloaded() const { return unloaded_; }
    // Item data of a list's selection (0 when nothing is selected).
    static int SelectedData(const QComboBox* combo);

    // Event handlers.
    void Check1_Click();
    void Check1_MouseUp(Qt::MouseButton button, int x, int y);
    void Combo1_Click();
    void Combo2_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click(int index);

    // Deletes the dialog once it has closed (the clock window's way of opening it).
    void SetDeleteWhenUnloaded(bool on) { deleteWhenUnloaded_ = on; }

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LayOutControls();
    void Form_Load();
    void Form_Unload();
    void SetSampleColors(OleColor back, OleColor fore);
    // Stops the music only if it is the preview this dialog started.
    void StopOwnPreview();
    unsigned long long preview_ = 0;

    OptionsHost& host_;
    std::unique_ptr<SettingsStore> store_;
    std::string signalFile_;
    OleColor sampleBack_ = 0xFFFFFF;
    OleColor sampleFore_ = 0;
    bool unloaded_ = false;
    bool deleteWhenUnloaded_ = false;
};

// The clock window's menu command makes the Options dialog with this (one at a time, through
// SingleDialog): owner as its parent, modal on the application while the clock window is not
// minimised and modeless while it is. The dialog deletes itself on closing.
OptionForm* NewOptionForm(OptionsHost& host, QWidget* owner);

}  // namespace vireo
