#pragma once

#include "lib/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace qs::test {

// The Dialogs port for tests: plays queued answers in order and records every call, so that tests
// assert the exact French texts, icons and titles. It is strict: a question, prompt or chooser with no
// queued answer of its kind fails the test, and so do answers still queued when it is destroyed.
class ScriptedDialogs final : public Dialogs {
public:
    ScriptedDialogs() = default;
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

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
    bool questionWithDetails(const QString& text, const QString& details, const QString& title = {}) override;
    QString prompt(const QString& text, const QString& title = {},
                   const QString& defaultAnswer = {}) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    void beep() override;
    void status(const QString& text) override { statuses_.append(text); }
    // Counts the calls and runs onEvents, where a test acts while long work lets events run (to press a
    // stop button, for instance, or QCoreApplication::processEvents for a window).
    void processEvents() override {
        ++eventRuns_;
        if (onEvents)
            onEvents();
    }
    std::function<void()> onEvents;

    const QList<Call>& calls() const { return calls_; }
    // Texts of the messages (not questions) shown, in order.
    QStringList messages() const;
    // Texts of every message, question and prompt, in order.
    QStringList texts() const;
    // Every call as one line, "kind(icon) title: text", so that one comparison checks all that was shown:
    // "question(?) Vendrel - Attention: Désirez-vous...", "message(!): Le fichier...", "beep".
    // Icons: (i) information, (!) exclamation, (?) question, (x) critical; none without one.
    QStringList log() const;
    const QStringList& statuses() const { return statuses_; }
    int eventRuns() const { return eventRuns_; }
    void resetEventRuns() { eventRuns_ = 0; }
    int beeps() const;
    int busyDepth() const { return busyDepth_; }
    int busyEntries() const { return busyEntries_; }
    // Answers still queued.
    int pending() const { return int(answers_.size()); }
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
    int eventRuns_ = 0;
    int busyDepth_ = 0;
    int busyEntries_ = 0;
};

} // namespace qs::test
