#pragma once
// The clock's one pop-up menu: opened by a right click on the face, the readout, a numeral
// or the notification icon. The menu only shows choices and reports them through signals;
// ClockForm acts on them. Which items are shown, greyed and checked is decided by the plain
// functions below, so it can be checked without a window.

#include <QObject>
#include <QPoint>

#include <array>
#include <string>

#include "platform/WindowStateIndex.h"

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace vireo {

// Everything the menu's enabling rules look at, gathered when the menu opens.
struct MenuWindowState {
    WindowStateIndex State = WindowStateIndex::Normal;
    bool Round = false;          // the window has its elliptic mask (CircleRegion != 0)
    bool WindowVisible = true;   // false while hidden in the notification area
};

struct MenuItemState {
    bool Visible = true;
    bool Enabled = true;
};

// mnuContextReturn(i), i = 0..3 (3 is the separator): a round window offers no maximise,
// and the item of the present state is greyed.
MenuItemState ReturnItemState(int index, const MenuWindowState& state);

// The observer dialog is modal on the clock window, so it is offered only while the window
// can be seen.
bool LocationItemEnabled(const MenuWindowState& state);

// Which readout item carries the check mark: DigitalMode 1 shows the date, every other
// value shows the time, so exactly one item is always checked.
int CheckedLabelIndex(int digitalMode);

// The mode item's caption: the scale's name in front of the designed accelerator.
// An index outside 0..7 gives an empty string.
std::string ModeItemCaption(int index);

class ClockMenu : public QObject {
    Q_OBJECT
public:
    static constexpr int ModeCount = 8;

    explicit ClockMenu(QObject* parent = nullptr);
    ~ClockMenu() override;

    QMenu* menu() const { return mnuContext; }

    // Recomputes the window-state items and the observer item; called each time the menu
    // opens (WindowShell also calls it for the notification icon's menu).
    void PrepareMenu(const MenuWindowState& state);
    // Prepares, then opens the menu at a global position (the pointer's).
    void Popup(const MenuWindowState& state, const QPoint& globalPos);

    // Check marks: exactly one mode item. An index outside 0..7 clears every mode check
    // and returns false, so a bad stored mode is visible rather than silently shown as 0.
    bool SetClockMode(int index);
    void SetDigitalMode(int digitalMode);

    // Items by their names, for ClockForm and tests. Index ranges as in the menu tree.
    QAction* mnuContextReturn(int index) const { return returnItems.at(index); }
    QAction* mnuContextMode(int index) const { return modeItems.at(index); }
    QAction* mnuContextLabel(int index) const { return labelItems.at(index); }
    QAction* mnuContextPlay() const { return playItem; }
    QAction* mnuContextAlarm() const { return alarmItem; }
    QAction* mnuContextLocation() const { return locationItem; }
    QAction* mnuContextOption() const { return optionItem; }
    QAction* mnuContextHelp() const { return helpItem; }
    QAction* mnuContextAbout() const { return aboutItem; }
    QAction* mnuContextEnd() const { return endItem; }

signals:
    // One signal per item or item array; the arrays pass the item's index.
    void mnuContextReturn_Click(int index);
    void mnuContextMode_Click(int index);
    void mnuContextLabel_Click(int index);
    void mnuContextPlay_Click();
    void mnuContextAlarm_Click();
    void mnuContextLocation_Click();
    void mnuContextOption_Click();
    void mnuContextHelp_Click();
    void mnuContextAbout_Click();
    void mnuContextEnd_Click();

private:
    QMenu* mnuContext = nullptr;
    std::array<QAction*, 4> returnItems{};
    std::array<QAction*, ModeCount> modeItems{};
    std::array<QAction*, 2> labelItems{};
    QActionGroup* modeGroup = nullptr;
    QActionGroup* labelGroup = nullptr;
    QAction* playItem = nullptr;
    QAction* alarmItem = nullptr;
    QAction* locationItem = nullptr;
    QAction* optionItem = nullptr;
    QAction* helpItem = nullptr;
    QAction* aboutItem = nullptr;
    QAction* endItem = nullptr;
};

}  // namespace vireo
