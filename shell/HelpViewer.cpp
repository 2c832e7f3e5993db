#include "shell/HelpViewer.h"

#include "shell/AppIcons.h"
#include "shell/Desktop.h"
#include "shell/Startup.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

namespace {
const char* const kHelpRoot = "qrc:/help/";
}

QList<HelpViewer::Topic> HelpViewer::topics()
{
    const QString root = QLatin1String(kHelpRoot);
    return {
        {tr("Contents"), QUrl(root + QStringLiteral("index.html"))},
        {tr("The main window"), QUrl(root + QStringLiteral("main-window.html"))},
        {tr("Ship Particulars"), QUrl(root + QStringLiteral("ship-particulars.html"))},
        {tr("Port Master"), QUrl(root + QStringLiteral("port-master.html"))},
        {tr("The Hydrostatic Table window"), QUrl(root + QStringLiteral("hydrostatic-table-window.html"))},
        {tr("Running a loading survey"), QUrl(root + QStringLiteral("loading-survey.html"))},
        {tr("Running a discharging survey"), QUrl(root + QStringLiteral("discharging-survey.html"))},
        {tr("Hydrostatic tables in a survey"), QUrl(root + QStringLiteral("hydrostatic-tables.html"))},
        {tr("What the figures mean"), QUrl(root + QStringLiteral("figures.html"))},
        {tr("The report and its preview"), QUrl(root + QStringLiteral("report.html"))},
        {tr("Checks before signing"), QUrl(root + QStringLiteral("checks.html"))},
        {tr("Survey files"), QUrl(root + QStringLiteral("survey-files.html"))},
        {tr("Recent Surveys and recovery"), QUrl(root + QStringLiteral("recovery.html"))},
        {tr("A team's catalogue on a server"), QUrl(root + QStringLiteral("catalogue-server.html"))},
        {tr("The command line"), QUrl(root + QStringLiteral("command-line.html"))},
        {tr("Messages and what to do"), QUrl(root + QStringLiteral("messages.html"))},
    };
}

QString HelpViewer::styleSheet(const QPalette& palette)
{
    QString css;
    QFile file(QStringLiteral(":/help/help.css"));
    if (file.open(QIODevice::ReadOnly))
        css = QString::fromUtf8(file.readAll());
    // The pages' headings and shaded boxes are drawn for a light page; on a dark one (a dark
    // desktop scheme) the text is light, so the boxes go dark and the headings light with it.
    if (palette.color(QPalette::Base).lightnessF() < 0.5) {
        css += QStringLiteral(
            "h1, h2 { color: #9cc3ff; }\n"
            "a { color: #8ab4f8; }\n"
            "th { background-color: #2c3a4d; }\n"
            ".formula { background-color: #2a2e35; }\n"
            ".note { background-color: #45402a; }\n"
            ".nav { color: #b4bcc8; }\n");
    }
    return css;
}

HelpViewer::HelpViewer(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    Startup::initResources();
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Quorvane Lt Help"));
    setWindowIcon(AppIcons::icon(QStringLiteral("Help")));

    m_topics = new QListWidget(this);
    m_topics->setObjectName(QStringLiteral("lstHelpTopics"));
    for (const Topic& topic : topics()) {
        auto* item = new QListWidgetItem(topic.title, m_topics);
        item->setData(Qt::UserRole, topic.page);
    }
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenLinks(false);
    m_browser->document()->setDefaultStyleSheet(styleSheet(m_browser->palette()));

    auto* split = new QSplitter(this);
    split->addWidget(m_topics);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    // The list as wide as its longest topic, in the font the desktop gives it.
    const int listWidth = qMax(210, m_topics->sizeHintForColumn(0) + 2 * m_topics->frameWidth() + 24);
    split->setSizes({listWidth, 650});
    setCentralWidget(split);

    auto* bar = addToolBar(tr("Navigation"));
    bar->setObjectName(QStringLiteral("tbrHelp"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
    QAction* home = bar->addAction(AppIcons::icon(QStringLiteral("Help")), tr("&Contents"));
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    // The help is a window beside the work: Esc or Ctrl+W puts it away, as in any browser.
    auto* close = new QAction(tr("Close Help"), this);
    close->setObjectName(QStringLiteral("actHelpClose"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(home, &QAction::triggered, this, [this] { showPage(topics().first().page); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpViewer::linkClicked);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::pageChanged);
    connect(m_topics, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toUrl()); });
    connect(m_topics, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(Qt::UserRole).toUrl() != currentPage().adjusted(QUrl::RemoveFragment))
            showPage(item->data(Qt::UserRole).toUrl());
    });

    // Never larger than the screen it opens on (a laptop at 150% has about 900 x 500 to give).
    QSize size(qMax(900, listWidth + 650), 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    resize(size);
    showPage(topics().first().page);
}

void HelpViewer::showPage(const QUrl& page)
{
    m_browser->setSource(page);
}

QUrl HelpViewer::currentPage() const
{
    return m_browser->source();
}

void HelpViewer::linkClicked(const QUrl& link)
{
    // Pages of the help stay here; mail and web addresses go to the desktop.
    if (link.scheme() == QLatin1String("qrc") || link.isRelative())
        m_browser->setSource(m_browser->source().resolved(link));
    else
        Desktop::openAddress(link);
}

void HelpViewer::pageChanged(const QUrl& page)
{
    const QUrl bare = page.adjusted(QUrl::RemoveFragment);
    for (int i = 0; i < m_topics->count(); ++i) {
        QListWidgetItem* item = m_topics->item(i);
        if (item->data(Qt::UserRole).toUrl() == bare) {
            const QSignalBlocker block(m_topics);
            m_topics->setCurrentItem(item);
        }
    }
    setWindowTitle(tr("Quorvane Lt Help") + QStringLiteral(" - ") + m_browser->documentTitle());
}
