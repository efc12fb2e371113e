#pragma once

#include <utility>

#include "cli/command.h"
#include "lib/dialogs.h"

namespace qs::cli {

// The Dialogs port without a window. Information messages (what a command did) go to standard output;
// every other message goes to standard error and counts as a failure. Questions get the answer given at
// construction (No by default: nothing is created or replaced that the command did not ask for), prompts
// and choosers get no answer.
class ConsoleDialogs final : public Dialogs {
public:
    explicit ConsoleDialogs(bool answerYes = false) : answerYes_(answerYes) {}

    void message(const QString& text, Icon icon = Icon::None, const QString& = {}) override {
        const QString plain = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (icon == Icon::Information) {
            out(plain);
        } else {
            err(plain);
            ++failures_;
        }
    }
    bool question(const QString&, Icon = Icon::Question, const QString& = {}) override { return answerYes_; }
    QString prompt(const QString&, const QString& = {}, const QString& = {}) override {
        return std::exchange(promptAnswer_, QString());
    }
    // The answer to the next prompt only (a name given on the command line).
    void answerNextPrompt(const QString& answer) { promptAnswer_ = answer; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
    void status(const QString&) override {}
    void processEvents() override {}

    // How many messages other than information were shown: a command that showed any failed.
    int failures() const { return failures_; }

protected:
    void setBusy(bool) override {}

private:
    QString promptAnswer_;
    bool answerYes_;
    int failures_ = 0;
};

} // namespace qs::cli
