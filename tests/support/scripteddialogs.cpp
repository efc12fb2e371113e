#include "scripteddialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qs::test {

namespace {
// By Kind: Message, Question, Prompt, OpenFile, ChooseFolder, Beep.
const char* kindName(ScriptedDialogs::Kind kind) {
    static const char* const names[] = {"message",      "question",       "prompt",
                                        "file chooser", "folder chooser", "message"};
    return names[int(kind)];
}
} // namespace

ScriptedDialogs::~ScriptedDialogs() {
    for (const Answer& a : answers_)
        ADD_FAILURE() << "unused " << kindName(a.kind) << " answer: " << a.value.toString().toStdString();
}

QVariant ScriptedDialogs::take(Kind kind, const QString& text) {
    if (answers_.isEmpty() || answers_.front().kind != kind) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << ": " << text.toStdString()
                      << (answers_.isEmpty() ? std::string(" (no answer queued)")
                                             : std::string(" (next answer is for a ") +
                                                   kindName(answers_.front().kind) + ")");
        return {};
    }
    return answers_.takeFirst().value;
}

void ScriptedDialogs::message(const QString& text, Icon icon, const QString& title) {
    calls_.append({Kind::Message, text, icon, title, {}});
}

bool ScriptedDialogs::question(const QString& text, Icon icon, const QString& title) {
    calls_.append({Kind::Question, text, icon, title, {}});
    return take(Kind::Question, text).toBool();
}

bool ScriptedDialogs::questionWithDetails(const QString& text, const QString& details, const QString& title) {
    calls_.append({Kind::Question, text, Icon::Question, title, details});
    return take(Kind::Question, text).toBool();
}

QString ScriptedDialogs::prompt(const QString& text, const QString& title, const QString& defaultAnswer) {
    calls_.append({Kind::Prompt, text, Icon::None, title, defaultAnswer});
    return take(Kind::Prompt, text).toString().trimmed();
}

QString ScriptedDialogs::openFile(const QString& title, const QString& folder, const QString& filter) {
    calls_.append({Kind::OpenFile, title, Icon::None, title, folder + u'|' + filter});
    return take(Kind::OpenFile, title).toString();
}

QString ScriptedDialogs::chooseFolder(const QString& title, const QString& folder) {
    calls_.append({Kind::ChooseFolder, title, Icon::None, title, folder});
    return take(Kind::ChooseFolder, title).toString();
}

void ScriptedDialogs::beep() {
    calls_.append({Kind::Beep, {}, Icon::None, {}, {}});
}

void ScriptedDialogs::setBusy(bool busy) {
    if (busy) {
        ++busyDepth_;
        ++busyEntries_;
    } else {
        --busyDepth_;
    }
}

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const Call& c : calls_)
        if (c.kind == Kind::Message)
            out.append(c.text);
    return out;
}

int ScriptedDialogs::beeps() const {
    return int(
        std::count_if(calls_.cbegin(), calls_.cend(), [](const Call& c) { return c.kind == Kind::Beep; }));
}

QStringList ScriptedDialogs::log() const {
    static const char* const icons[] = {"", "(i)", "(!)", "(?)", "(x)"};
    QStringList out;
    for (const Call& c : calls_) {
        if (c.kind == Kind::Beep) {
            out.append(QStringLiteral("beep"));
            continue;
        }
        QString line = QString::fromLatin1(kindName(c.kind)) + QLatin1String(icons[int(c.icon)]);
        if (!c.title.isEmpty() && c.kind != Kind::OpenFile && c.kind != Kind::ChooseFolder)
            line += u' ' + c.title;
        out.append(line + QStringLiteral(": ") + c.text);
    }
    return out;
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Call& c : calls_)
        if (c.kind == Kind::Message || c.kind == Kind::Question || c.kind == Kind::Prompt)
            out.append(c.text);
    return out;
}

} // namespace qs::test
