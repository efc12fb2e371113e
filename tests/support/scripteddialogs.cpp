#include "scripteddialogs.h"

namespace qs::test {

QVariant ScriptedDialogs::take(Kind kind, const QString& text) {
    if (answers_.isEmpty() || answers_.front().kind != kind) {
        unexpected_.append(text);
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

bool ScriptedDialogs::questionWithDetails(const QString& text, const QString& details) {
    calls_.append({Kind::Question, text, Icon::Question, {}, details});
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

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Call& c : calls_)
        if (c.kind == Kind::Message || c.kind == Kind::Question || c.kind == Kind::Prompt)
            out.append(c.text);
    return out;
}

} // namespace qs::test
