#pragma once

#include "explorer/linktree.h"
#include "explorer/walker.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <QDir>

#include <functional>

namespace qs::test {

// "/"-written paths in the platform's form.
inline QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A walk of one page into a fresh tree: the tree as text (see LinkTreeModel::printout).
struct Walk {
    ScriptedDialogs dialogs;
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
