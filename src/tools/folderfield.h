#pragma once

#include "lib/dialogs.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLineEdit;
class QToolButton;

namespace qs {

// A folder chooser in one line: the folder's path, which may be typed (Enter or leaving the box takes
// it when the folder exists), and a "…" button opening the folder dialog. folder() ends with a separator.
class FolderField : public QWidget {
    Q_OBJECT
public:
    FolderField(Dialogs& dialogs, QString chooserTitle, QWidget* parent = nullptr);

    QString folder() const { return folder_; }
    // Shows the folder and announces it when it differs from the current one.
    void setFolder(const QString& folder);
    QLineEdit* edit() const { return edit_; }
    QToolButton* button() const { return button_; }

signals:
    void folderChanged(const QString& folder);

private:
    void choose();
    void takeTyped();

    Dialogs& dialogs_;
    QString title_;
    QString folder_;
    QLineEdit* edit_;
    QToolButton* button_;
};

// The Dialogs of a tool window: everything goes to the program's Dialogs, except the status line,
// which the window shows itself.
class WindowDialogs final : public Dialogs {
public:
    WindowDialogs(Dialogs& inner, std::function<void(const QString&)> status)
        : inner_(inner), status_(std::move(status)) {}

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override {
        inner_.message(text, icon, title);
    }
    bool question(const QString& text, Icon icon = Icon::Question, const QString& title = {}) override {
        return inner_.question(text, icon, title);
    }
    QString prompt(const QString& text, const QString& title = {},
                   const QString& defaultAnswer = {}) override {
        return inner_.prompt(text, title, defaultAnswer);
    }
    QString openFile(const QString& title, const QString& folder, const QString& filter) override {
        return inner_.openFile(title, folder, filter);
    }
    QString chooseFolder(const QString& title, const QString& folder) override {
        return inner_.chooseFolder(title, folder);
    }
    void beep() override { inner_.beep(); }
    void status(const QString& text) override { status_(text); }
    void processEvents() override { inner_.processEvents(); }

protected:
    void setBusy(bool busy) override {
        if (busy) {
            if (depth_++ == 0)
                busy_.emplace(inner_);
        } else if (depth_ > 0 && --depth_ == 0) {
            busy_.reset();
        }
    }

private:
    Dialogs& inner_;
    std::function<void(const QString&)> status_;
    std::optional<BusyPointer> busy_;
    int depth_ = 0;
};

} // namespace qs
