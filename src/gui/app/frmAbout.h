// The About window: the program's name and purpose, its version and build, and its web page and
// e-mail address, each of which opens in the user's own program when clicked. A click anywhere
// else on the window, or on OK, closes it.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QUrl;

namespace pellumar {

// Opens a web or "mailto:" address with the user's default program; failures are ignored.
using UrlOpener = std::function<void(const QUrl&)>;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(UrlOpener opener, QWidget* parent = nullptr);

    QLabel* lbVersion() const { return lbVersion_; }
    // The address labels: 1 the e-mail address, 2 the web page.
    QLabel* Label2(int index) const;
    QPushButton* cmdQuit() const { return cmdQuit_; }

    // 1: a new message to the e-mail address; 2: the web page.
    void Label2_Click(int index);
    void Form_Click();
    void cmdQuit_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();

    UrlOpener open_;
    QLabel* lbVersion_;
    QLabel* email_;
    QLabel* web_;
    QPushButton* cmdQuit_;
};

}  // namespace pellumar
