#pragma once
// The help window: Japanese HTML pages compiled into the program, a table of contents on
// the left and the page on the right. Windows with help open it at their help context
// number: main window 2, music player 11, alarm dialog 12, Options dialog 13.

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QTreeWidget;

namespace vireo {

// Page of a help context number; an unknown number gives the table of contents, so a
// missing topic never leaves the user with an empty window.
QUrl HelpTopicUrl(int contextId);
QUrl HelpContentsUrl();

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void ShowTopic(const QUrl& url);
    QUrl CurrentUrl() const;
    QString CurrentText() const;          // plain text of the page on show
    QTreeWidget* Contents() const { return contents; }
    QTextBrowser* Browser() const { return browser; }

private:
    void SelectContentsEntry(const QUrl& url);

    QTreeWidget* contents = nullptr;
    QTextBrowser* browser = nullptr;
};

// Opens (or brings forward) the one help window at a context number's topic.
HelpWindow* ShowHelp(int contextId);
// The menu's help command: the help window on its table of contents.
HelpWindow* ShowHelpContents();
// Closes the help window if one is open; shutdown calls it first.
void CloseAllHelp();
// The open help window, or nullptr.
HelpWindow* OpenHelpWindow();
// F1 in a window (and its controls) opens the help at that window's context number.
void InstallHelpKey(QWidget* window, int contextId);

}  // namespace vireo
