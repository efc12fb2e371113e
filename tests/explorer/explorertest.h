#pragma once

#include "explorer/linktree.h"
#include "explorer/walker.h"
#include "lib/dialogs.h"
#include "testutil.h"

#include <QDir>

#include <functional>

namespace qs::test {

// "/"-written paths in the platform's form.
inline QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A Dialogs that lets a test act while a walk lets events run (to press "Arrêter", for instance).
class HookDialogs final : public Dialogs {
public:
    std::function<void()> onEvents;
    int events = 0;
    int beeps = 0;
    QStringList messages;
    QStringList statuses;

    void message(const QString& text, Icon = Icon::None, const QString& = {}) override { messages << text; }
    bool question(const QString&, Icon = Icon::Question, const QString& = {}) override { return false; }
    QString prompt(const QString&, const QString& = {}, const QString& = {}) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override { ++beeps; }
    void status(const QString& text) override { statuses << text; }
    void processEvents() override {
        ++events;
        if (onEvents)
            onEvents();
    }

protected:
    void setBusy(bool) override {}
};

// A walk of one page into a fresh tree: the tree as text (see LinkTreeModel::printout).
struct Walk {
    HookDialogs dialogs;
    LinkTreeModel tree;
    LinkWalker walker{tree, dialogs};

    explicit Walk(const QString& limit = QStringLiteral("illimité")) {
        walker.limit = DepthLimit::parse(limit);
        walker.setEventInterval(0);
    }
    QString run(const QString& page) {
        tree.clear();
        tree.setTag(QString());
        walker.Explorer(tree.add(nullptr, page, page, QStringLiteral("htm")));
        return tree.printout();
    }
};

} // namespace qs::test
