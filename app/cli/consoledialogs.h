#pragma once

#include "cli/command.h"
#include "ui/dialogs.h"

namespace qs::cli {

// The Dialogs port without a window: messages go to standard error, questions get the answer given at
// construction, prompts and choosers get no answer.
class ConsoleDialogs final : public Dialogs {
public:
    explicit ConsoleDialogs(bool answerYes = false) : answerYes_(answerYes) {}

    void message(const QString& text, Icon = Icon::None, const QString& = {}) override {
        err(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        ++messages_;
    }
    bool question(const QString&, Icon = Icon::Question, const QString& = {}) override { return answerYes_; }
    QString prompt(const QString&, const QString& = {}, const QString& = {}) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
    void status(const QString&) override {}
    void processEvents() override {}

    // How many messages were shown: a command that showed any has something to report.
    int messages() const { return messages_; }

protected:
    void setBusy(bool) override {}

private:
    bool answerYes_;
    int messages_ = 0;
};

} // namespace qs::cli
