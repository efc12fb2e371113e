#pragma once

#include <QString>

#include <functional>

namespace qs {

enum class Icon { None, Information, Exclamation, Question, Critical };

// Every question and message of the program goes through this port, so that the logic never shows a
// window itself and tests can answer it (ScriptedDialogs) and read back the exact texts.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with an OK button. An empty title stands for the program's own title.
    virtual void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool question(const QString& text, Icon icon = Icon::Question, const QString& title = {}) = 0;
    // The same, Yes being the default, with `details` (a list of files...) shown only on request.
    virtual bool questionWithDetails(const QString& text, const QString& /*details*/,
                                     const QString& title = {}) {
        return question(text, Icon::Question, title);
    }
    // A question whose Yes destroys or loses something: "Non" is the default button, so that Enter
    // pressed in haste keeps the user's work. Otherwise as question().
    virtual bool questionNoByDefault(const QString& text, Icon icon = Icon::Question,
                                     const QString& title = {}) {
        return question(text, icon, title);
    }
    // A one-line prompt. The answer comes back with blanks removed at both ends; Cancel and an empty
    // answer both come back as the empty text ("no answer").
    virtual QString prompt(const QString& text, const QString& title = {},
                           const QString& defaultAnswer = {}) = 0;
    // The open-file chooser; the empty text when cancelled. The filter is Qt's ("Pages (*.htm *.html)").
    virtual QString openFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // The folder chooser; the empty text when cancelled.
    virtual QString chooseFolder(const QString& title, const QString& folder) = 0;
    virtual void beep() = 0;
    // Status line for long work ("Copie de 120 fichiers..."); the empty text clears it.
    virtual void status(const QString& text) = 0;
    // Lets pending window events run so that the window repaints and a stop button can be pressed.
    // Implementations throttle it: calling it for every item of a long loop is cheap.
    virtual void processEvents() = 0;

protected:
    friend class BusyPointer;
    virtual void setBusy(bool busy) = 0;
};

// The hourglass for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(Dialogs& dialogs) : dialogs_(dialogs) { dialogs_.setBusy(true); }
    ~BusyPointer() { dialogs_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Dialogs& dialogs_;
};

// Without anyone to ask: every question is answered No, every prompt and chooser cancelled, and each
// message, question and prompt is handed to `shown` (when given), `kind` naming which of the three it
// was. For headless tools and probes.
class NoDialogs final : public Dialogs {
public:
    using Shown = std::function<void(const char* kind, const QString& text, Icon icon)>;
    explicit NoDialogs(Shown shown = {}) : shown_(std::move(shown)) {}
    void message(const QString& text, Icon icon, const QString&) override { show("message", text, icon); }
    bool question(const QString& text, Icon icon, const QString&) override {
        show("question", text, icon);
        return false;
    }
    QString prompt(const QString& text, const QString&, const QString&) override {
        show("prompt", text, Icon::Question);
        return {};
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
    void status(const QString&) override {}
    void processEvents() override {}

protected:
    void setBusy(bool) override {}

private:
    void show(const char* kind, const QString& text, Icon icon) {
        if (shown_)
            shown_(kind, text, icon);
    }
    Shown shown_;
};

} // namespace qs
