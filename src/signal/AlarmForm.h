#pragma once
// AlarmForm, "アラームの設定": the ten alarms as a list, an editor for the line selected, a
// preview of an alarm's music, and OK writing the edits back into the alarm tables.

#include "signal/AlarmEditor.h"
#include "signal/AlarmFormHost.h"
#include "timekeeping/AlarmValue.h"

#include <QAbstractSlider>
#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vireo {

class PlayStopButton;

// A vertical spin bar: two arrows and no thumb. The value runs from -1 to top and the up
// arrow (also the Up key and the wheel) raises it, so that one step past either end can be
// seen and wrapped by the owner.
class SpinBar : public QAbstractSlider {
    Q_OBJECT
public:
    SpinBar(int top, QWidget* parent = nullptr);

    void StepUp() { triggerAction(SliderSingleStepAdd); }
    void StepDown() { triggerAction(SliderSingleStepSub); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int pressed_ = 0;  // +1 the up arrow held, -1 the down arrow, 0 none
    int wheel_ = 0;    // wheel turn not yet a whole notch
};

class AlarmForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 12;

    AlarmForm(AlarmFormHost& host, QWidget* owner);
    ~AlarmForm() override;

    // The menu command makes the alarm dialog with this (one at a time, through SingleDialog),
    // owned by owner, loaded and shown without a nested event loop. Modal while the clock
    // window is not minimised, modeless while it is. The dialog deletes itself once closed; an
    // owner going away first closes it (close()) and deletes it while the music engine still
    // exists.
    static AlarmForm* Create(AlarmFormHost& host, QWidget* owner);
    // Closed (OK, Cancel or its owner's end), perhaps not yet deleted.
    bool IsUnloaded() const { return unloaded_; }

    // Places the dialog and loads the tables; call once, before showing.
    void Form_Load();

    void List1_Click();
    void Combo1_Click();
    void Combo2_Click();
    void VScroll1_Change(int index);
    // Leaving a time box. False when its text was refused: the old value is back, the beep
    // has sounded and the focus is in the box again.
    bool Text1_Validate(int index);
    void Command5_Click();
    void Command3_Click();
    void Command4_Click();
    void Command1_Click();
    void Command2_Click();

    // The index of the line the editor shows, as text; empty before the first load.
    QString Tag() const;
    // The working alarm value of a line.
    std::int32_t ItemData(int line) const;
    const std::array<std::string, kAlarmCount>& EditFile() const { return editor_.Files(); }

    QListWidget* List1 = nullptr;           // the ten alarms
    QLabel* Label1 = nullptr;               // "時刻(&T)"
    std::array<QLineEdit*, 2> Text1{};      // hour, minute
    std::array<QLabel*, 2> Label2{};        // "時", "分"
    std::array<SpinBar*, 2> VScroll1{};     // steps the hour and the minute
    QPushButton* Command5 = nullptr;        // "&Now": the present time
    QLabel* Label3 = nullptr;               // "音(&S)"
    QComboBox* Combo1 = nullptr;            // sound kind: off, chime, music
    PlayStopButton* Command3 = nullptr;     // previews the line's music
    QPushButton* Command4 = nullptr;        // chooses the line's music file
    QGroupBox* Frame1 = nullptr;            // the repeat rule and the weekdays
    QComboBox* Combo2 = nullptr;            // repeat: once, chosen weekdays, every day
    std::array<QCheckBox*, 7> Check1{};     // Sunday .. Saturday
    QPushButton* Command1 = nullptr;        // OK
    QPushButton* Command2 = nullptr;        // キャンセル

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Unload();
    void FitList();
    // A line's text from the editor (the editor's own line with its edits).
    void ShowLine(int line);
    // Both time boxes left as a button or the list would leave them; false when one refused.
    bool LeaveTimeBoxes();
    // Stops the music only if it is the preview this dialog started.
    void StopOwnPreview();

    AlarmFormHost& host_;
    MusicEngine* music_ = nullptr;
    AlarmEditor editor_;
    bool unloaded_ = false;
    bool inFocusOut_ = false;
    bool refusedClick_ = false;  // the press that took the focus from a refused time box
    // The preview this dialog started, if it still plays (music engine numbering).
    unsigned long long preview_ = 0;
};

}  // namespace vireo
