#pragma once
// AboutForm, the "バージョン情報" window: name, version, legal notice, the clock's icon and a link
// to the support page. It changes nothing in the clock.

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QString>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;

namespace vireo {

// What the window needs from the clock window and the desktop.
class AboutHost {
public:
    virtual ~AboutHost() = default;
    virtual QRect ClockFrame() const = 0;  // the clock window's frame, logical pixels
    virtual bool ClockNormal() const = 0;  // neither minimised nor maximised
    virtual QRect WorkArea() const = 0;    // of the clock's screen
    virtual QIcon ClockIcon() const = 0;
    virtual void InformationSound() = 0;
    virtual void OpenUrl(const QUrl& url) = 0;  // the result is not looked at
};

// "Version 1.00": the minor number with at least two digits.
QString AboutVersionText(int major, int minor);

class AboutForm : public QDialog {
    Q_OBJECT
public:
    AboutForm(AboutHost& host, QWidget* owner);

    // Places the window, fills it and sounds the information sound; call before showing.
    void Form_Load();
    void Command1_Click();

    // The link's pressed look: a single-line border while the left button is held over it.
    bool LinkPressedLook() const;

    QFrame* Frame1 = nullptr;         // the panel the texts and the icon sit on
    QLabel* Label1 = nullptr;         // product name
    QLabel* Label2 = nullptr;         // version
    QLabel* Label3 = nullptr;         // copyright
    QLabel* Label4 = nullptr;         // the web address, a link
    QLabel* Image1 = nullptr;         // the program's icon
    QPushButton* Command1 = nullptr;  // OK

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Label4_MouseDown(Qt::MouseButton button);
    void Label4_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void Label4_MouseUp(Qt::MouseButton button);
    void SetLinkBorder(bool on);
    void FitTexts();

    AboutHost& host_;
};

}  // namespace vireo
