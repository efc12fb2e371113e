#pragma once

#include "lib/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace qs::test {

// The Dialogs port for tests: plays queued answers in order and records every call, so that tests
// assert the exact French texts, icons and titles.
class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { Message, Question, Prompt, OpenFile, ChooseFolder, Beep };

    struct Call {
        Kind kind;
        QString text;
        Icon icon = Icon::None;
        QString title;
        QString extra; // the prompt's default answer, the chooser's folder and filter, a question's details
    };

    // Queues the answer to the next question / prompt / chooser.
    ScriptedDialogs& yes() { return push(Kind::Question, true); }
    ScriptedDialogs& no() { return push(Kind::Question, false); }
    ScriptedDialogs& answer(const QString& text) { return push(Kind::Prompt, text); }
    ScriptedDialogs& file(const QString& path) { return push(Kind::OpenFile, path); }
    ScriptedDialogs& folder(const QString& path) { return push(Kind::ChooseFolder, path); }

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override;
    bool question(const QString& text, Icon icon = Icon::Question, const QString& title = {}) override;
    // Recorded as a question, its details in `extra`.
    bool questionWithDetails(const QString& text, const QString& details) override;
    QString prompt(const QString& text, const QString& title = {},
                   const QString& defaultAnswer = {}) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    void beep() override;
    void status(const QString& text) override { statuses_.append(text); }
    void processEvents() override { ++eventRuns_; }

    const QList<Call>& calls() const { return calls_; }
    // Texts of the messages (not questions) shown, in order.
    QStringList messages() const;
    // Texts of every message, question and prompt, in order.
    QStringList texts() const;
    const QStringList& statuses() const { return statuses_; }
    int eventRuns() const { return eventRuns_; }
    int busyDepth() const { return busyDepth_; }
    int busyEntries() const { return busyEntries_; }
    // Answers still queued, and calls that found no answer of their kind: both should be empty.
    int pending() const { return int(answers_.size()); }
    const QStringList& unexpected() const { return unexpected_; }
    void clear() {
        calls_.clear();
        statuses_.clear();
    }

protected:
    void setBusy(bool busy) override;

private:
    ScriptedDialogs& push(Kind kind, QVariant value) {
        answers_.append({kind, std::move(value)});
        return *this;
    }
    QVariant take(Kind kind, const QString& text);

    struct Answer {
        Kind kind;
        QVariant value;
    };
    QList<Answer> answers_;
    QList<Call> calls_;
    QStringList statuses_;
    QStringList unexpected_;
    int eventRuns_ = 0;
    int busyDepth_ = 0;
    int busyEntries_ = 0;
};

} // namespace qs::test
