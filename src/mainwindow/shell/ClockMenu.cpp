#include "mainwindow/shell/ClockMenu.h"

#include "platform/ResourceStrings.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace vireo {

namespace {

constexpr int ModeNameBase = 1050;
constexpr const char* ModeAccelerators[ClockMenu::ModeCount] = {
    "(&L)", "(&U)", "(&M)", "(&T)", "(&S)", "(&G)", "(&J)", "(&I)"};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

MenuItemState ReturnItemState(int index, const MenuWindowState& state) {
    MenuItemState item;
    item.Visible = !(state.Round && index == static_cast<int>(WindowStateIndex::Maximized));
    item.Enabled = index != static_cast<int>(state.State);
    return item;
}

bool LocationItemEnabled(const MenuWindowState& state) { return state.WindowVisible; }

int CheckedLabelIndex(int digitalMode) { return digitalMode == 1 ? 1 : 0; }

std::string ModeItemCaption(int index) {
    if (index < 0 || index >= ClockMenu::ModeCount) return {};
    return LoadResString(ModeNameBase + index) + ModeAccelerators[index];
}

ClockMenu::ClockMenu(QObject* parent) : QObject(parent) {
    mnuContext = new QMenu;
    mnuContext->setTitle(QStringLiteral("Context"));
    mnuContext->setObjectName(QStringLiteral("mnuContext"));

    const char* returnCaptions[3] = {"元のサイズに戻す(&R)", "最小化(&N)", "最大化(&X)"};
    for (int i = 0; i < 3; ++i) {
        returnItems[i] = mnuContext->addAction(Utf8(returnCaptions[i]));
        connect(returnItems[i], &QAction::triggered, this, [this, i] { emit mnuContextReturn_Click(i); });
    }
    returnItems[3] = mnuContext->addSeparator();

    modeGroup = new QActionGroup(this);
    modeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < ModeCount; ++i) {
        modeItems[i] = mnuContext->addAction(QString::fromStdString(ModeItemCaption(i)));
        modeItems[i]->setCheckable(true);
        modeGroup->addAction(modeItems[i]);
        connect(modeItems[i], &QAction::triggered, this, [this, i] { emit mnuContextMode_Click(i); });
    }
    mnuContext->addSeparator();  // mnuContextSeparete1

    labelGroup = new QActionGroup(this);
    const char* labelCaptions[2] = {"時刻(&K)", "日付(&D)"};
    for (int i = 0; i < 2; ++i) {
        labelItems[i] = mnuContext->addAction(Utf8(labelCaptions[i]));
        labelItems[i]->setCheckable(true);
        labelGroup->addAction(labelItems[i]);
        connect(labelItems[i], &QAction::triggered, this, [this, i] { emit mnuContextLabel_Click(i); });
    }
    mnuContext->addSeparator();  // mnuContextSeparete2

    playItem = mnuContext->addAction(Utf8("音楽演奏(&P)..."));
    connect(playItem, &QAction::triggered, this, &ClockMenu::mnuContextPlay_Click);
    mnuContext->addSeparator();  // mnuContextSeparete3

    alarmItem = mnuContext->addAction(Utf8("アラームの設定(&E)..."));
    connect(alarmItem, &QAction::triggered, this, &ClockMenu::mnuContextAlarm_Click);
    locationItem = mnuContext->addAction(Utf8("観測地点(&C)..."));
    connect(locationItem, &QAction::triggered, this, &ClockMenu::mnuContextLocation_Click);
    optionItem = mnuContext->addAction(Utf8("オプション(&O)..."));
    connect(optionItem, &QAction::triggered, this, &ClockMenu::mnuContextOption_Click);
    mnuContext->addSeparator();  // mnuContextSeparete4

    helpItem = mnuContext->addAction(Utf8("ヘルプ(&H)"));
    connect(helpItem, &QAction::triggered, this, &ClockMenu::mnuContextHelp_Click);
    aboutItem = mnuContext->addAction(Utf8("バージョン情報(&A)..."));
    connect(aboutItem, &QAction::triggered, this, &ClockMenu::mnuContextAbout_Click);
    mnuContext->addSeparator();  // mnuContextSeparete5

    endItem = mnuContext->addAction(Utf8("Vireoの終了(&Q)"));
    connect(endItem, &QAction::triggered, this, &ClockMenu::mnuContextEnd_Click);

    SetClockMode(0);
    SetDigitalMode(1);
}

ClockMenu::~ClockMenu() { delete mnuContext; }

void ClockMenu::PrepareMenu(const MenuWindowState& state) {
    for (int i = 0; i < 4; ++i) {
        const MenuItemState item = ReturnItemState(i, state);
        returnItems[i]->setVisible(item.Visible);
        returnItems[i]->setEnabled(item.Enabled);
    }
    locationItem->setEnabled(LocationItemEnabled(state));
}

void ClockMenu::Popup(const MenuWindowState& state, const QPoint& globalPos) {
    PrepareMenu(state);
    mnuContext->popup(globalPos);
}

bool ClockMenu::SetClockMode(int index) {
    const bool valid = index >= 0 && index < ModeCount;
    for (int i = 0; i < ModeCount; ++i) modeItems[i]->setChecked(valid && i == index);
    return valid;
}

void ClockMenu::SetDigitalMode(int digitalMode) {
    const int checked = CheckedLabelIndex(digitalMode);
    for (int i = 0; i < 2; ++i) labelItems[i]->setChecked(i == checked);
}


}  // namespace vireo
