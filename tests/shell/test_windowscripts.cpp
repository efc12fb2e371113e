// The windows on the offscreen platform. The main window is driven by the scripts of
// tests/data/shell/windows.txt: the common steps of scenario.h, and steps on the window's named widgets
// and actions (the format is described at the top of that file). The named controls and the splash are
// checked in C++.
#include "explorer/explorertab.h"
#include "shell/fmain.h"
#include "shell/frmoptions.h"
#include "shell/frmsplash.h"
#include "ui/structureview.h"

#include "scenario.h"
#include "tablefile.h"
#include "version.h"

#include <QtTest>
#include <QtWidgets>

using namespace qs;
using namespace qs::test;

namespace {

struct WindowSite : PageSite {
    Shell shell{state};
    F_Main window{state, shell, BrowserPane::Engine::Text};
    // A walk lets events run after each node, so that a script acts at a given node.
    WindowSite() { window.findChild<ExplorerTab*>()->walker().setEventInterval(0); }
    QPoint rowCentre(QListView* view, int row) {
        return view->visualRect(view->model()->index(row, 0)).center();
    }
};

// The window's own steps, tried before the common ones.
class WindowSteps {
public:
    WindowSteps(WindowSite& site, ScenarioRunner& runner) : s(site), r(runner) {
        runner.more = [this](const QString& verb, const QStringList& a) { return step(verb, a); };
        QObject::connect(&poll, &QTimer::timeout, [this] { answerPopups(); });
    }
    ~WindowSteps() {
        s.dialogs.onEvents = nullptr;
        EXPECT_TRUE(queued.isEmpty() && atEvents.isEmpty())
            << "steps waiting for a dialog or an event never ran";
    }

private:
    WindowSite& s;
    ScenarioRunner& r;
    QTimer poll;          // answers menus and modal dialogs while they run
    QString pick;         // the entry the next context menu takes ("" closes it)
    QStringList menuSeen; // that menu's name and entries
    QString modal;        // the dialog that the steps queued below are played in
    QList<std::pair<QString, QStringList>> queued;
    QList<std::pair<int, QStringList>> atEvents; // steps played when the next walk reaches those events
    std::unique_ptr<QMimeData> carried;          // what the last drag took
    bool recording = false;
    QPointer<QWidget> scope; // where names are looked up: the dialog being answered, else the window
    std::unique_ptr<frmOptions> options;
    QWidget none; // stands for a missing widget once the failure is reported

    template <typename T = QWidget> T* find(const QString& name) {
        QObject* o = name == u"focus"    ? QApplication::focusWidget()
                     : name == u"window" ? &s.window
                     : name == u"dialog" ? scope.data()
                     : name == u"escape" ? s.window.findChild<QShortcut*>() // the key that stops a walk
                     : scope             ? scope->findChild<QObject*>(name)
                                         : s.window.findChild<QObject*>(name);
        auto* t = qobject_cast<T*>(o);
        if (!t)
            ADD_FAILURE() << r.where << ": no " << T::staticMetaObject.className() << ' '
                          << name.toStdString();
        return t;
    }
    QWidget* widget(const QString& name) {
        QWidget* w = find(name);
        return w ? w : &none;
    }
    static QString text(const QVariant& v) {
        return v.typeId() == QMetaType::Bool ? (v.toBool() ? QStringLiteral("yes") : QStringLiteral("no"))
                                             : v.toString();
    }
    // An object's property as text ("yes"/"no" for flags); "tabN": whether a tab widget's Nth tab is
    // enabled.
    QString property(const QString& name, const QString& property) {
        if (property.startsWith(u"tab") && property.size() == 4) {
            auto* tabs = find<QTabWidget>(name);
            return text(tabs && tabs->isTabEnabled(property.back().digitValue()));
        }
        if (property.startsWith(u"rows")) { // a view's rows, or its first row's children ("rows0")
            auto* view = find<QAbstractItemView>(name);
            const QModelIndex parent =
                view && property == u"rows0" ? view->model()->index(0, 0) : QModelIndex();
            return view ? QString::number(view->model()->rowCount(parent)) : QString();
        }
        if (property == u"scrolled") // whether a list shows other rows than its first ones
            return text(find<QAbstractScrollArea>(name) &&
                        find<QAbstractScrollArea>(name)->verticalScrollBar()->value() > 0);
        if (property == u"result") // a dialog's: 1 accepted, 0 rejected
            return QString::number(find<QDialog>(name) ? find<QDialog>(name)->result() : -1);
        if (property == u"background")
            return widget(name)->palette().color(QPalette::Window).name();
        QObject* o = find<QObject>(name);
        const QVariant value = o ? o->property(property.toLatin1().constData()) : QVariant();
        if (o && !value.isValid())
            ADD_FAILURE() << r.where << ": no property " << property.toStdString();
        return text(value);
    }
    // A node of the link tree by its key, and what the tree shows of it.
    QModelIndex node(const QString& key) {
        auto* tree = find<QTreeView>(QStringLiteral("N"));
        return tree ? tree->model()
                          ->match(tree->model()->index(0, 0), LinkTreeModel::KeyRole, key, 1,
                                  Qt::MatchExactly | Qt::MatchRecursive)
                          .value(0)
                    : QModelIndex();
    }
    QString nodeProperty(const QString& key, const QString& property) {
        auto* tree = find<QTreeView>(QStringLiteral("N"));
        const QModelIndex i = node(key);
        const QVariant icon = i.data(Qt::DecorationRole);
        return property == u"exists"     ? text(i.isValid())
               : !tree || !i.isValid()   ? QStringLiteral("no node")
               : property == u"expanded" ? text(tree->isExpanded(i))
               : property == u"current"  ? text(tree->currentIndex() == i)
               : property == u"icon" ? text(!icon.value<QIcon>().isNull() || !icon.value<QImage>().isNull())
                                     : QString::number(tree->model()->rowCount(i));
    }
    // What no common step reads or sets: tSupprimerVisible, cType (five digits), currentTab (its number)
    // and the walk's depth NiveauRep.
    QString control(const QString& name) {
        const ControlState& c = s.state.controls;
        QString types;
        for (const bool on : c.cType)
            types += on ? u'1' : u'0';
        return name == u"cType"        ? types
               : name == u"currentTab" ? QString::number(int(c.currentTab))
                                       : text(c.tSupprimerVisible);
    }
    void setControl(const QString& name, const QString& value) {
        ControlState& c = s.state.controls;
        if (name == u"cType")
            for (int i = 0; i < 5; ++i)
                c.cType[size_t(i)] = value[i] == u'1';
        else if (name == u"currentTab")
            c.currentTab = Tab(value.toInt());
        else if (name == u"NiveauRep") // the walk's depth
            s.state.values.NiveauRep = value;
        else
            c.tSupprimerVisible = value == u"yes";
    }
    void answerPopups() {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menuSeen = QStringList{menu->objectName()};
            for (QAction* a : menu->actions()) {
                menuSeen.append(a->isSeparator()
                                    ? QStringLiteral("-")
                                    : a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (grisé)")));
                if (a->text() == pick)
                    menu->setActiveAction(a);
            }
            QTest::keyClick(menu, pick.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
            if (modal.isEmpty())
                poll.stop();
        } else if (QWidget* dialog = QApplication::activeModalWidget();
                   dialog && dialog->objectName() == modal) {
            poll.stop();
            scope = dialog;
            for (const auto& [verb, args] : std::exchange(queued, {}))
                step(verb, args);
            scope = nullptr;
            modal.clear();
        } else if (dialog) { // not the one expected: closed, so that the script goes on
            ADD_FAILURE() << r.where << ": dialog " << dialog->objectName().toStdString();
            dialog->close();
        }
    }

    bool step(const QString& verb, const QStringList& a) {
        const QString a0 = a.value(0);
        if (recording) {
            recording = verb != u"end";
            if (recording)
                queued.append({verb, a});
            return true;
        }
        if (verb == u"show") {
            s.window.resize(1000, 520);
            s.window.show();
            s.window.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&s.window)) << r.where;
        } else if (verb == u"row") { // list | row, or "below" its last one | [right|double]
            auto* list = find<QListView>(a0);
            if (!list)
                return true;
            const QPoint at = a.value(1) == u"below" ? QPoint(10, list->viewport()->height() - 4)
                                                     : s.rowCentre(list, a.value(1).toInt());
            if (a.value(2) == u"double")
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            else
                QTest::mouseClick(list->viewport(), a.value(2) == u"right" ? Qt::RightButton : Qt::LeftButton,
                                  {}, at);
        } else if (verb == u"drag") { // list | row: the mouse takes the row's page
            // The offscreen platform has no drag loop of its own: what the drag would carry is caught on
            // its way to QDrag, and "dnd" then delivers the drag's events as the platform does.
            auto* list = find<StructureView>(a0);
            const auto source = list ? list->dragSource : nullptr;
            if (!list)
                return true;
            list->dragSource = [this, source](int row) {
                carried.reset(source(row));
                return nullptr;
            };
            const QPoint start = s.rowCentre(list, a.value(1).toInt());
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, start);
            QTest::mouseMove(list->viewport(), start + QPoint(QApplication::startDragDistance() + 4, 0));
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, start);
            list->dragSource = source;
            EXPECT_NE(carried, nullptr) << r.where;
        } else if (verb == u"dnd") { // enter|move|drop|text (a move carrying text) | list | row | yes|no
            auto* list = find<QListView>(a.value(1));
            QMimeData text;
            text.setText(QStringLiteral("1.htm"));
            QMimeData* what = a0 == u"text" ? &text : carried.get();
            if (!list || !what) // a failed drag is reported already
                return true;
            const QPoint at = s.rowCentre(list, a.value(2).toInt());
            EXPECT_TRUE(list->viewport()->rect().contains(at)) << r.where << ": the row does not show";
            QDragEnterEvent enter(at, Qt::MoveAction, what, Qt::LeftButton, {});
            QDragMoveEvent move(at, Qt::MoveAction, what, Qt::LeftButton, {});
            QDropEvent drop(at, Qt::MoveAction, what, Qt::LeftButton, {});
            QDropEvent* event = a0 == u"enter" ? &enter : a0 == u"drop" ? &drop : &move;
            QApplication::sendEvent(list->viewport(), event);
            EXPECT_EQ(event->isAccepted(), a.value(3) == u"yes") << r.where;
            QCoreApplication::processEvents(); // a drop moves the page once the drag has ended
        } else if (verb == u"scroll") {        // list | top|bottom
            if (auto* list = find<QListView>(a0))
                a.value(1) == u"top" ? list->scrollToTop() : list->scrollToBottom();
        } else if (verb == u"press") { // a button or an action
            if (auto* action = s.window.findChild<QAction*>(a0); action && !scope)
                action->trigger();
            else if (auto* button = find<QAbstractButton>(a0))
                button->click();
        } else if (verb == u"focus")
            widget(a0)->setFocus();
        else if (verb == u"keys") // widget | text typed
            QTest::keyClicks(widget(a0), a.value(1));
        else if (verb == u"key") { // widget | key, as Qt writes it ("Ctrl+End")
            const QKeyCombination key = QKeySequence::fromString(a.value(1))[0];
            QTest::keyClick(widget(a0), key.key(), key.keyboardModifiers());
        } else if (verb == u"select-all")
            QMetaObject::invokeMethod(widget(a0), "selectAll");
        else if (verb == u"set-prop") // object | property | value
            EXPECT_TRUE(find<QObject>(a0) &&
                        find<QObject>(a0)->setProperty(a.value(1).toLatin1(), a.value(2)))
                << r.where;
        else if (verb == u"prop") // object | property | value
            EXPECT_EQ(property(a0, a.value(1)), a.value(2)) << r.where;
        else if (verb == u"wait") // as "prop", waiting for a shortcut's delayed press
            EXPECT_TRUE(QTest::qWaitFor([&] { return property(a0, a.value(1)) == a.value(2); }, 5000))
                << r.where << " " << property(a0, a.value(1)).toStdString();
        else if (verb == u"clipboard")
            EXPECT_EQ(QApplication::clipboard()->text(), a0) << r.where;
        else if (verb == u"clear-clipboard")
            QApplication::clipboard()->clear();
        else if (verb == u"on-menu") { // the entry the next context menu takes
            pick = a0;
            menuSeen.clear();
            poll.start(20);
        } else if (verb == u"menu-was") // its name and entries
            EXPECT_EQ(menuSeen, a) << r.where;
        else if (verb == u"in-dialog") { // name: the steps until "end" are played in that dialog
            modal = a0;
            recording = true;
            poll.start(20);
        } else if (verb == u"accept")
            QMetaObject::invokeMethod(scope.data(), "accept");
        else if (verb == u"node") // key | exists, expanded, current, icon or rows | value
            EXPECT_EQ(nodeProperty(a0, a.value(1)), a.value(2)) << r.where;
        else if (verb == u"collapse" || verb == u"node-menu") { // node-menu: its context menu asked for,
            // "below" the nodes for none
            auto* tree = find<QTreeView>(QStringLiteral("N"));
            if (tree && verb == u"collapse")
                tree->collapse(node(a0));
            else if (tree)
                Q_EMIT tree->customContextMenuRequested(a0 == u"below"
                                                            ? QPoint(5, tree->viewport()->height() - 2)
                                                            : tree->visualRect(node(a0)).center());
        } else if (verb == u"at-event") { // number | a step, played when the next walk reaches that event
            atEvents.append({a0.toInt(), a.mid(1)});
            s.dialogs.resetEventRuns();
            s.dialogs.onEvents = [this] {
                for (const auto& [at, line] : QList(atEvents))
                    if (at == s.dialogs.eventRuns())
                        step(line.value(0), line.mid(1));
                atEvents.removeIf([this](const auto& e) { return e.first == s.dialogs.eventRuns(); });
            };
        } else if (verb == u"notify")
            s.state.notify();
        else if (verb == u"control")
            setControl(a0, a.value(1));
        else if (verb == u"control-is")
            EXPECT_EQ(control(a0), a.value(1)) << r.where;
        else if (verb == u"select-row") // domain|category | row, selected from the program
            (a0 == u"domain" ? s.state.dListe : s.state.cListe).select(a.value(1).toInt());
        else if (verb == u"options") { // the options dialog, where names are then looked up
            options = std::make_unique<frmOptions>(s.state.values);
            scope = options.get();
        } else if (verb == u"close-options")
            options.reset();
        else if (verb == u"init") // what opening a site does once the window is up
            s.shell.init();
        else if (verb == u"mru")
            s.shell.Mru();
        else if (verb == u"geometry") // left | top | width | height, stored
            storeGeometry({a0.toInt(), a.value(1).toInt(), a.value(2).toInt(), a.value(3).toInt()});
        else if (verb == u"minimise")
            s.window.setWindowState(Qt::WindowMinimized);
        else if (verb == u"close") // yes | no: whether the window closed
            EXPECT_EQ(s.window.close(), a0 == u"yes") << r.where;
        else if (verb == u"browse") // the browser pane shows this file
            WWW(s.state, a0);
        else
            return false;
        return true;
    }
};

} // namespace

TEST_P(Scenario, Runs) {
    QSettings("Vendrel", "quillsite").clear();
    WindowSite s;
    ScenarioRunner runner(s);
    WindowSteps steps(s, runner);
    runner.run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, Scenario, scenarioCases("shell/windows.txt"), scenarioName);

// Each row of tests/data/shell/window.txt against what the window holds.
TEST(Windows, TheMainWindowHasItsNamedControlsAndMenus) {
    WindowSite site;
    F_Main& window = site.window;
    EXPECT_EQ(window.objectName() + ' ' + window.windowTitle(), "F_Main Quillsite");
    for (const auto& row : tableRows("shell/window.txt")) {
        const QString kind = str(row[0]);
        const QString name = str(row.value(1));
        QStringList shown{kind, name};
        if (kind == "tabs") {
            auto* tabs = window.findChild<QTabWidget*>(name);
            for (int i = 0; tabs && i < tabs->count(); ++i)
                shown << tabs->tabText(i);
        } else if (kind == "widget") {
            auto* w = window.findChild<QWidget*>(name);
            shown << (w && w->inherits(row[2]) ? str(row[2]) : "?");
        } else if (kind == "button") {
            auto* b = window.findChild<QAbstractButton*>(name);
            shown << (b ? b->text() : "?");
        } else if (kind == "toolbar") {
            auto* bar = window.findChild<QToolBar*>(name);
            for (const QAction* a : bar ? bar->actions() : QList<QAction*>{})
                shown << (a->isSeparator() ? "-" : a->objectName());
        } else if (kind == "menubar") {
            shown = QStringList{kind};
            for (const QAction* a : window.menuBar()->actions())
                shown << a->text();
        } else if (kind == "menu") {
            auto* menu = window.findChild<QMenu*>(name);
            for (const QAction* a : menu ? menu->actions() : QList<QAction*>{})
                shown << (a->isSeparator() ? "-" : a->text());
        } else {
            auto* a = window.findChild<QAction*>(name);
            shown << (a ? a->shortcut().toString() : "?") << (a && a->isEnabled() ? "enabled" : "disabled");
        }
        QStringList expected;
        for (const QByteArray& field : row)
            expected << str(field);
        EXPECT_EQ(shown, expected);
    }
}

// What the pane shows is in the window scripts; here the addresses it is given.
TEST(BrowserPane, TakesWebAddressesAsTheyAreAndFilesAsLocal) {
    EXPECT_EQ(BrowserPane::urlFor("http://exemple.org/a.htm").scheme(), "http");
    EXPECT_EQ(BrowserPane::urlFor("/s/vue/Index.htm").toLocalFile(), "/s/vue/Index.htm");
}

TEST(Splash, ShowsTheProductAndItsVersion) {
    frmSplash splash;
    EXPECT_EQ(splash.findChild<QLabel*>("lblProductName")->text(), "Quillsite");
    EXPECT_EQ(splash.findChild<QLabel*>("lblVersion")->text(), "Version " QUILLSITE_VERSION);
}
