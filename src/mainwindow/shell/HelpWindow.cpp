#include "mainwindow/shell/HelpWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QWindow>

// Resources of a static library must be registered by hand, from the global namespace.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace vireo {

namespace {

struct ContentsEntry {
    const char* Title;
    const char* Page;     // file under :/help, with an optional #anchor
    int Level;            // 0 chapter, 1 topic inside it
};

// The table of contents, in reading order.
constexpr ContentsEntry ContentsTable[] = {
    {"目次", "index.html", 0},
    {"時計の使い方", "main.html", 0},
    {"画面と操作", "main.html#operation", 1},
    {"右クリックメニュー", "main.html#menu", 1},
    {"通知領域のアイコン", "main.html#tray", 1},
    {"丸いウィンドウと透過", "main.html#shape", 1},
    {"観測地点", "main.html#location", 1},
    {"八つの時刻系", "scales.html", 0},
    {"地方標準時と協定世界時", "scales.html#standard", 1},
    {"地方平時と真太陽時", "scales.html#solar", 1},
    {"恒星時", "scales.html#sidereal", 1},
    {"天保暦の不定時法", "scales.html#tenpo", 1},
    {"延喜式の定時法", "scales.html#engishiki", 1},
    {"旧暦の日付と六曜", "calendar.html", 0},
    {"時報", "timesignal.html", 0},
    {"アラームの設定", "alarm.html", 0},
    {"音楽演奏", "player.html", 0},
    {"オプション", "options.html", 0},
};

QUrl PageUrl(const char* page) { return QUrl(QStringLiteral("qrc:/help/") + QString::fromUtf8(page)); }

QPointer<HelpWindow>& TheHelpWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

HelpWindow* OpenAt(const QUrl& url) {
    QPointer<HelpWindow>& window = TheHelpWindow();
    if (!window) {
        window = new HelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->ShowTopic(url);
    // Opened from a modal dialog, the help belongs to it: a window of the dialog's own is not
    // blocked by it, so the help can be read and clicked while the dialog stays open.
    QWindow* modal = QGuiApplication::modalWindow();
    window->winId();
    if (QWindow* handle = window->windowHandle(); handle && modal != handle && handle->transientParent() != modal) {
        if (window->isVisible()) window->hide();  // whether it is blocked is decided as it is shown
        handle->setTransientParent(modal);
    }
    window->showNormal();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace

QUrl HelpContentsUrl() { return PageUrl("index.html"); }

QUrl HelpTopicUrl(int contextId) {
    switch (contextId) {
    case 2: return PageUrl("main.html");
    case 11: return PageUrl("player.html");
    case 12: return PageUrl("alarm.html");
    case 13: return PageUrl("options.html");
    default: return HelpContentsUrl();
    }
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    InitHelpResources();
    setWindowTitle(QString::fromUtf8("Vireo ヘルプ"));
    resize(760, 540);

    contents = new QTreeWidget;
    contents->setHeaderHidden(true);
    contents->setRootIsDecorated(true);
    QTreeWidgetItem* chapter = nullptr;
    for (const ContentsEntry& entry : ContentsTable) {
        auto* item = new QTreeWidgetItem(QStringList{QString::fromUtf8(entry.Title)});
        item->setData(0, Qt::UserRole, PageUrl(entry.Page));
        if (entry.Level == 0 || !chapter) {
            contents->addTopLevelItem(item);
            chapter = item;
        } else {
            chapter->addChild(item);
        }
    }
    contents->expandAll();

    browser = new QTextBrowser;
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(true);

    auto* splitter = new QSplitter;
    splitter->addWidget(contents);
    splitter->addWidget(browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        browser->setSource(item->data(0, Qt::UserRole).toUrl());
    });
    connect(browser, &QTextBrowser::sourceChanged, this, &HelpWindow::SelectContentsEntry);
}

void HelpWindow::ShowTopic(const QUrl& url) {
    browser->setSource(url);
    SelectContentsEntry(url);
}

QUrl HelpWindow::CurrentUrl() const { return browser->source(); }

QString HelpWindow::CurrentText() const { return browser->toPlainText(); }

void HelpWindow::SelectContentsEntry(const QUrl& url) {
    QTreeWidgetItemIterator it(contents);
    while (*it) {
        if ((*it)->data(0, Qt::UserRole).toUrl() == url) {
            contents->setCurrentItem(*it);
            return;
        }
        ++it;
    }
}

HelpWindow* ShowHelp(int contextId) { return OpenAt(HelpTopicUrl(contextId)); }

HelpWindow* ShowHelpContents() { return OpenAt(HelpContentsUrl()); }

void CloseAllHelp() {
    if (HelpWindow* window = TheHelpWindow()) {
        window->close();  // deletes itself
        TheHelpWindow() = nullptr;
    }
}

HelpWindow* OpenHelpWindow() { return TheHelpWindow(); }

void InstallHelpKey(QWidget* window, int contextId) {
    if (!window) return;
    auto* key = new QShortcut(QKeySequence::HelpContents, window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [contextId] { ShowHelp(contextId); });
}

}  // namespace vireo
