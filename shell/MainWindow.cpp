#include "shell/MainWindow.h"

#include "shell/AppIcons.h"
#include "ui/ChildWindow.h"
#include "db/Database.h"
#include "shell/Desktop.h"
#include "shell/HelpViewer.h"
#include "core/MessageService.h"
#include "shell/StatusPanels.h"
#include "shell/AboutDialog.h"
#include "shell/WindowNavigator.h"
#include "shell/RecentSurveys.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

int MainWindow::openChildCount = 0;

namespace {

MainWindow* g_instance = nullptr;

// The class name a child window was opened under, kept on the widget.
const char* const kChildName = "quorvaneChildName";

QMap<QString, MainWindow::Command>& commands()
{
    static QMap<QString, MainWindow::Command> map;
    return map;
}

struct MenuItem {
    const char* menu;     // control array the item belongs to
    int index;            // its index in that array
    const char* caption;  // "-" for a separator
    QKeySequence shortcut;
    bool enabled;
    const char* icon;     // key of the menu picture, or nullptr
    const char* command;  // what the item does, see menuCommand()
    // The child window's command the item stands for, enabled as the child offers it; none for an
    // item that is always on.
    ChildCommands childCommand = {};
};

// The menu bar, item for item at the indexes every window of the program addresses them by.
const MenuItem kMenuItems[] = {
    {"mnuFile", 0, "&New", QKeySequence(Qt::CTRL | Qt::Key_N), false, "New", "New", ChildCommand::New},
    {"mnuFile", 2, "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), true, "Open", "Open"},
    {"mnuFile", 4, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), false, "Save", "Save", ChildCommand::Save},
    {"mnuFile", 6, "&Close", QKeySequence(Qt::CTRL | Qt::Key_F4), false, "Close", "Close",
     ChildCommand::Close},
    {"mnuFile", 10, "-", {}, true, nullptr, nullptr},
    {"mnuFile", 12, "Print Pre&view", {}, false, "PrintPreview", "PrintPreview", ChildCommand::PrintPreview},
    {"mnuFile", 14, "&Print", QKeySequence(Qt::CTRL | Qt::Key_P), false, "Print", "Print",
     ChildCommand::Print},
    {"mnuFile", 16, "-", {}, true, nullptr, nullptr},
    {"mnuFile", 18, "E&xit", {}, true, "Close", "Exit"},
    {"mnuShipData", 5, "&Ship Particulars", {}, true, "ShipParticulars", "frmShipParticulars"},
    {"mnuShipData", 20, "&Port", {}, true, "PortMaster", "frmPortMaster"},
    {"mnuQuorvane", 5, "&Loading", {}, true, "Loading", "frmQuorvane"},
    {"mnuQuorvane", 10, "Disch&arging", {}, true, "Discharging", "frmZODuraduza"},
    {"mnuQuorvane", 15, "-", {}, true, nullptr, nullptr},
    {"mnuQuorvane", 20, "&Open Survey...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), true, "Open",
     "OpenSurvey"},
    {"mnuQuorvane", 25, "Sa&ve Survey As...", {}, true, "Save", "SaveSurveyAs"},
    {"mnuTools", 5, "&Calculator", {}, true, "Calculator", "Calculator"},
    {"mnuTools", 10, "&Notepad", {}, true, "Notepad", "Notepad"},
    {"mnuTools", 15, "-", {}, true, nullptr, nullptr},
    {"mnuTools", 20, "&Protect the Database...", {}, true, nullptr, "ProtectDatabase"},
    {"mnuTools", 25, "&Remove the Protection...", {}, true, nullptr, "UnprotectDatabase"},
    {"mnuTools", 30, "Catalogue &Server...", {}, true, nullptr, "CatalogueServer"},
    {"mnuHelp", 5, "&Daily Tips", {}, true, "TipOfDay", "frmTipOfDay"},
    {"mnuHelp", 6, "&Contents", QKeySequence(Qt::Key_F1), true, "Help", "Help"},
    {"mnuHelp", 7, "-", {}, true, nullptr, nullptr},
    {"mnuHelp", 10, "&Technical Support", {}, true, "TechSupport", "TechSupport"},
    {"mnuHelp", 13, nullptr, {}, true, nullptr, nullptr},  // the web submenu, filled below
    {"mnuHelp", 15, "&Submit bugs", {}, true, nullptr, "SubmitBugs"},
    {"mnuHelp", 16, "-", {}, true, nullptr, nullptr},
    {"mnuHelp", 20, "&About Quorvane Lt....", {}, true, nullptr, "About"},
};

struct TopMenu {
    const char* name;
    const char* caption;
    const char* items;  // control array of its items, or nullptr for the window list
};

const TopMenu kTopMenus[] = {
    {"mnuMain0", "&File", "mnuFile"},
    {"mnuMain1", "&Ship Data", "mnuShipData"},
    {"mnuMain2", "&Draft Survey", "mnuQuorvane"},
    {"mnuMain3", "&Tools", "mnuTools"},
    {"mnuWindow", "&Window", nullptr},
    {"mnuMain5", "&Help", "mnuHelp"},
};

// The toolbar's nine positions: tag, tooltip, picture, and the child window's command the button
// runs; a null tag is a separator.
struct ToolbarButton {
    const char* tag;
    const char* tooltip;
    ChildCommands childCommand;
};

const ToolbarButton kToolbar[9] = {
    {"New", "New", ChildCommand::New},
    {"Save", "Save", ChildCommand::Save},
    {nullptr, nullptr, {}},
    {"Print", "Print", ChildCommand::Print},
    {"PrintPreview", "Print Preview", ChildCommand::PrintPreview},
    {nullptr, nullptr, {}},
    {"Delete", "Delete", ChildCommand::Delete},
    {nullptr, nullptr, {}},
    {"Close", "Close", ChildCommand::Close},
};

QString itemName(const char* menu, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(menu)).arg(index);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    g_instance = this;
    ChildWindow::setHost(this);
    openChildCount = 0;
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(QStringLiteral("Quorvane Lt"));
    setWindowIcon(AppIcons::icon(QStringLiteral("Application")));

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiMDI"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::subWindowActivated);

    createToolbar();
    createActions();
    m_recentSurveysMenu = RecentSurveys::install(*this);

    m_status = new StatusPanels(this);
    setStatusBar(m_status);

    // All File commands but Open and Exit start off, as after a child window has closed.
    enableCommands({});
    m_band->setVisible(false);
    applyStatusHint();

    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    resize(screen.width() * 4 / 5, screen.height() * 4 / 5);
    move(screen.center() - rect().center());
}

MainWindow::~MainWindow()
{
    // The child windows go with the frame, first and while the frame is still whole; their
    // going needs no bookkeeping any more.
    m_destroying = true;
    disconnect(m_mdi, nullptr, this, nullptr);
    delete m_mdi;
    m_mdi = nullptr;
    if (g_instance == this)
        g_instance = nullptr;
    if (ChildWindow::host() == this)
        ChildWindow::setHost(nullptr);
    openChildCount = 0;
}

MainWindow* MainWindow::instance()
{
    return g_instance;
}

MainWindow* MainWindow::mainWindow()
{
    MainWindow* mdi = g_instance;
    if (!mdi) {
        mdi = new MainWindow;
        mdi->setAttribute(Qt::WA_DeleteOnClose);
    }
    return mdi;
}

MainWindow* MainWindow::showMainWindow()
{
    MainWindow* mdi = mainWindow();
    if (!mdi->isVisible()) {
        // The survey windows want the whole screen; where no window manager maximises the
        // frame, it takes the screen's working area itself.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            mdi->setGeometry(screen->availableGeometry());
        mdi->showMaximized();
    }
    return mdi;
}

QString MainWindow::statusHint()
{
    return QStringLiteral("Press Ctrl-O to open the Open file box");
}

void MainWindow::registerChild(const QString& name, Factory factory)
{
    ChildWindow::registerFactory(name, std::move(factory));
}

void MainWindow::registerCommand(const QString& name, Command command)
{
    commands().insert(name, std::move(command));
}

void MainWindow::createToolbar()
{
    // The band: a movable strip at the top whose one band holds the command toolbar.
    m_band = new QToolBar(QStringLiteral("Commands"), this);
    m_band->setObjectName(QStringLiteral("cbMDI"));
    m_band->setFloatable(false);
    m_band->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_band);

    m_toolbar = new QToolBar(m_band);
    m_toolbar->setObjectName(QStringLiteral("tbrMDI"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setStyleSheet(QStringLiteral("QToolBar#tbrMDI { border: none; background: transparent; }"));
    m_band->addWidget(m_toolbar);

    for (int i = 0; i < 9; ++i) {
        const ToolbarButton& b = kToolbar[i];
        QAction* a = nullptr;
        if (!b.tag) {
            a = m_toolbar->addSeparator();
        } else {
            const QString tag = QLatin1String(b.tag);
            a = m_toolbar->addAction(AppIcons::icon(tag), QLatin1String(b.tooltip));
            a->setToolTip(QLatin1String(b.tooltip));
            a->setData(tag);
            a->setProperty("Tag", tag);
            connect(a, &QAction::triggered, this, [this, tag] { toolbarCommand(tag); });
            m_commandActions.append({b.childCommand, a});
        }
        a->setObjectName(QStringLiteral("tbrMDI(%1)").arg(i + 1));
        m_actions.insert(a->objectName(), a);
    }
}

void MainWindow::createActions()
{
    QMap<QString, QMenu*> menus;
    for (const TopMenu& top : kTopMenus) {
        QMenu* menu = menuBar()->addMenu(QLatin1String(top.caption));
        menu->setObjectName(QLatin1String(top.name));
        menu->menuAction()->setObjectName(QLatin1String(top.name));
        if (top.items)
            menus.insert(QLatin1String(top.items), menu);
        else
            m_windowMenu = menu;
    }
    m_surveyMenu = menus.value(QStringLiteral("mnuQuorvane"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);
    fillWindowMenu();

    for (const MenuItem& item : kMenuItems) {
        QMenu* menu = menus.value(QLatin1String(item.menu));
        const QString name = itemName(item.menu, item.index);
        QAction* a = nullptr;
        if (!item.caption) {
            // The web submenu: five of the maker's pages.
            QMenu* web = menu->addMenu(Desktop::webMenuCaption());
            web->setObjectName(QStringLiteral("mnuHelp2"));
            a = web->menuAction();
            for (const Desktop::WebPage& page : Desktop::webPages()) {
                QAction* entry = web->addAction(page.caption);
                entry->setObjectName(itemName("mnuHelp2", page.index));
                const QUrl address = page.address;
                connect(entry, &QAction::triggered, this, [address] { Desktop::openAddress(address); });
                m_actions.insert(entry->objectName(), entry);
            }
        } else if (qstrcmp(item.caption, "-") == 0) {
            a = menu->addSeparator();
        } else {
            a = menu->addAction(QLatin1String(item.caption));
            if (!item.shortcut.isEmpty())
                a->setShortcut(item.shortcut);
            if (item.icon)
                a->setIcon(AppIcons::icon(QLatin1String(item.icon)));
            a->setEnabled(item.enabled);
            const QString command = QLatin1String(item.command);
            connect(a, &QAction::triggered, this, [this, command] { menuCommand(command); });
            if (item.childCommand)
                m_commandActions.append({item.childCommand, a});
        }
        a->setObjectName(name);
        m_actions.insert(name, a);
    }
}

void MainWindow::fillWindowMenu()
{
    m_windowMenu->clear();
    QAction* cascade = m_windowMenu->addAction(tr("&Cascade"), m_mdi, &QMdiArea::cascadeSubWindows);
    cascade->setObjectName(QStringLiteral("mnuWindowCascade"));
    QAction* tile = m_windowMenu->addAction(tr("&Tile"), m_mdi, &QMdiArea::tileSubWindows);
    tile->setObjectName(QStringLiteral("mnuWindowTile"));
    const QList<QMdiSubWindow*> windows = liveSubWindows();
    cascade->setEnabled(!windows.isEmpty());
    tile->setEnabled(!windows.isEmpty());
    if (windows.isEmpty())
        return;
    m_windowMenu->addSeparator();
    auto* group = new QActionGroup(m_windowMenu);
    int number = 0;
    for (QMdiSubWindow* sub : windows) {
        if (!sub->widget() || sub->isHidden())
            continue;
        ++number;
        const QString title = sub->widget()->windowTitle();
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                         : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* a = m_windowMenu->addAction(text);
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        group->addAction(a);
        QPointer<QMdiSubWindow> target(sub);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdi->setActiveSubWindow(target);
        });
    }
}

QAction* MainWindow::action(const QString& name) const
{
    return m_actions.value(name);
}

QMdiArea* MainWindow::mdiArea() const
{
    return m_mdi;
}

QList<QMdiSubWindow*> MainWindow::liveSubWindows() const
{
    QList<QMdiSubWindow*> live;
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (!m_deadFrames.contains(static_cast<const void*>(sub)))
            live.append(sub);
    }
    return live;
}

QMdiSubWindow* MainWindow::subWindowOf(const QWidget* child) const
{
    for (QMdiSubWindow* sub : liveSubWindows()) {
        if (sub->widget() == child)
            return sub;
    }
    return nullptr;
}

QWidget* MainWindow::findChildWindow(const QString& name) const
{
    for (QMdiSubWindow* sub : liveSubWindows()) {
        QWidget* w = sub->widget();
        if (w && !sub->isHidden() && w->property(kChildName).toString() == name)
            return w;
    }
    return nullptr;
}

QWidget* MainWindow::activeChild() const
{
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

ChildWindow* MainWindow::activeChildWindow() const
{
    return dynamic_cast<ChildWindow*>(activeChild());
}

QWidget* MainWindow::openChild(const QString& name)
{
    if (QWidget* open = findChildWindow(name)) {
        // Each child window exists once: bring the open one to the front.
        QMdiSubWindow* sub = subWindowOf(open);
        if (sub->isMinimized())
            sub->showNormal();
        m_mdi->setActiveSubWindow(sub);
        return open;
    }
    QWidget* child = ChildWindow::create(name);
    if (!child)
        return nullptr;
    child->setProperty(kChildName, name);
    child->setAttribute(Qt::WA_DeleteOnClose);

    const auto* contract = dynamic_cast<ChildWindow*>(child);
    const bool counts = !contract || contract->countsAsChild();
    if (counts) {
        m_counted.insert(child);
        openChildCount = int(m_counted.size());
        if (!m_band->isVisible())
            m_band->setVisible(true);
    }

    // A frame whose destructor runs first is marked dead only while it deletes its child, after
    // its own destroyed signal, and the mark outlives it. A new frame may be given the same
    // address and is alive whatever an old mark says (else its window is deaf to New, Save and
    // Close), so the mark goes before the area hears of the frame.
    auto* sub = new QMdiSubWindow;
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_deadFrames.remove(static_cast<const void*>(sub));
    sub->setWidget(child);
    m_mdi->addSubWindow(sub);
    sub->setWindowIcon(child->windowIcon().isNull() ? windowIcon() : child->windowIcon());
    // A window of fixed size gets a frame that cannot be stretched or maximised.
    if (child->minimumSize() == child->maximumSize()) {
        sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    }
    // Ctrl+F4 belongs to File, Close; the frame's own copy would make the key ambiguous.
    for (QAction* a : sub->systemMenu()->actions()) {
        if (a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F4))
            a->setShortcut(QKeySequence());
    }
    // Once its child is gone a frame is on its way out (often it is the frame's own destructor
    // deleting the child), and nothing may be asked of it any more.
    const void* frame = sub;
    connect(child, &QObject::destroyed, this, [this, frame] { m_deadFrames.insert(frame); });
    connect(sub, &QObject::destroyed, this, [this, frame] { m_deadFrames.remove(frame); });
    connect(child, &QObject::destroyed, this, [this, child] { forgetChild(child); });
    child->installEventFilter(this);
    connect(child, &QObject::destroyed, sub, &QObject::deleteLater);

    // A window opens in the middle of the frame's working area.
    sub->adjustSize();
    const QSize free = m_mdi->viewport()->size() - sub->size();
    sub->move(std::max(0, free.width() / 2), std::max(0, free.height() / 2));
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    emit childOpened(child);
    return child;
}

void MainWindow::forgetChild(QWidget* child)
{
    // A child that went away without its closing handler running (deleted by its owner)
    // still leaves the count right.
    if (!m_destroying && m_counted.remove(child)) {
        openChildCount = int(m_counted.size());
        if (openChildCount == 0)
            m_band->setVisible(false);
        enableCommands({});
        applyStatusHint(child);
    }
}

void MainWindow::childClosing(QWidget* child)
{
    if (!child)
        return;
    const auto* contract = dynamic_cast<ChildWindow*>(child);
    const bool counts = !contract || contract->countsAsChild();
    if (counts) {
        // Counted once per window, however often its closing handler runs.
        m_counted.remove(child);
        openChildCount = int(m_counted.size());
        if (openChildCount == 0)
            m_band->setVisible(false);
    }
    applyStatusHint(child);
    if (counts)
        enableCommands({});
    if (m_lastActivated == child)
        m_lastActivated = nullptr;
}

void MainWindow::subWindowActivated(QMdiSubWindow* sub)
{
    // The area reports a null window while the whole program is in the background; the child
    // that comes back is the same one and has nothing to re-apply.
    if (!sub || !sub->widget() || sub->widget() == m_lastActivated)
        return;
    m_lastActivated = sub->widget();
    if (auto* child = dynamic_cast<ChildWindow*>(sub->widget()))
        child->activated();
}

void MainWindow::commandsChanged(const ChildWindow& child)
{
    enableCommands(child.offeredCommands());
}

void MainWindow::enableCommands(ChildCommands offered)
{
    for (const auto& [command, action] : std::as_const(m_commandActions))
        action->setEnabled(offered.testFlags(command));
}

void MainWindow::setStatusText(const QString& text)
{
    m_status->setMessage(text);
}

QString MainWindow::statusText() const
{
    return m_status->message();
}

bool MainWindow::otherWindowOpen(const QObject* ignore) const
{
    for (QMdiSubWindow* sub : liveSubWindows()) {
        if (sub == ignore || !sub->widget() || sub->widget() == ignore || sub->isHidden())
            continue;
        return true;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || w == ignore || !w->isVisible())
            continue;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool)
            return true;
    }
    return false;
}

bool MainWindow::childWindowOpen() const
{
    for (QMdiSubWindow* sub : liveSubWindows()) {
        if (sub->widget() && !sub->isHidden())
            return true;
    }
    return false;
}

void MainWindow::applyStatusHint(QWidget* ignore)
{
    setStatusText(otherWindowOpen(ignore) ? QString() : statusHint());
}

void MainWindow::menuCommand(const QString& command)
{
    if (command == QLatin1String("New") || command == QLatin1String("Save")
        || command == QLatin1String("Close")) {
        // These act only while some window besides this one is open, and then on the active
        // child window.
        if (!otherWindowOpen(nullptr))
            return;
        toolbarCommand(command);
    } else if (command == QLatin1String("PrintPreview") || command == QLatin1String("Print")) {
        toolbarCommand(command);
    } else if (command == QLatin1String("Open")) {
        showNavigator();
    } else if (command == QLatin1String("Exit")) {
        close();
    } else if (command.startsWith(QLatin1String("frm"))) {
        openChild(command);
    } else if (command == QLatin1String("Calculator")) {
        Desktop::startCalculator();
    } else if (command == QLatin1String("Notepad")) {
        Desktop::startNotepad();
    } else if (command == QLatin1String("Help")) {
        showHelp();
    } else if (command == QLatin1String("TechSupport")) {
        Desktop::openAddress(Desktop::supportMailAddress());
    } else if (command == QLatin1String("SubmitBugs")) {
        Desktop::openAddress(Desktop::bugReportPage());
    } else if (command == QLatin1String("About")) {
        showAbout();
    } else if (const auto it = commands().constFind(command); it != commands().constEnd()) {
        it.value()(*this);
    }
}

void MainWindow::toolbarCommand(const QString& tag)
{
    QWidget* widget = activeChild();
    if (!widget)
        return;
    ChildWindow* child = activeChildWindow();
    if (tag == QLatin1String("New")) {
        if (child)
            child->newRecord();
    } else if (tag == QLatin1String("Save")) {
        if (child)
            child->saveRecord();
    } else if (tag == QLatin1String("PrintPreview")) {
        if (child)
            child->print(true);
    } else if (tag == QLatin1String("Print")) {
        if (child)
            child->print(false);
    } else if (tag == QLatin1String("Delete")) {
        if (child)
            child->deleteRecord();
    } else if (tag == QLatin1String("Close")) {
        if (QMdiSubWindow* sub = subWindowOf(widget))
            sub->close();
    }
}

void MainWindow::showNavigator()
{
    WindowNavigator navigator(this);
    navigator.exec();
}

void MainWindow::showHelp()
{
    if (!m_help) {
        m_help = new HelpViewer(this);
        m_help->setAttribute(Qt::WA_DeleteOnClose);
        m_help->move(geometry().center() - m_help->rect().center());
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e)
{
    // A child window that closes itself (rather than through its frame) takes its frame away
    // with it; a frame that merely folds the window (minimised, shaded) keeps it.
    if (e->type() == QEvent::Hide && watched->isWidgetType() && !m_destroying) {
        auto* child = static_cast<QWidget*>(watched);
        QMdiSubWindow* sub = subWindowOf(child);
        if (sub && child->isHidden() && !sub->isHidden() && !sub->isMinimized() && !sub->isShaded())
            sub->hide();
    }
    return QMainWindow::eventFilter(watched, e);
}

bool MainWindow::event(QEvent* e)
{
    // Coming back to the main window, or leaving it for another window of the program: with no
    // child window open the status panel tells whether the Ctrl-O hint applies. A child window
    // keeps the panel for its own texts.
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) {
        if (!childWindowOpen())
            applyStatusHint();
    }
    return QMainWindow::event(e);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    // Every child window closes through its own closing logic, which may ask to save and may
    // refuse; then the whole program stays open.
    const QList<QMdiSubWindow*> windows = liveSubWindows();
    for (QMdiSubWindow* sub : windows) {
        if (sub->widget() && !sub->close()) {
            e->ignore();
            return;
        }
    }
    if (m_help)
        m_help->close();
    closeDatabase();
    e->accept();
    QMainWindow::closeEvent(e);
}
