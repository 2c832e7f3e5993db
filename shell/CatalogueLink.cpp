#include "shell/CatalogueLink.h"

#include "db/Database.h"
#include "server/CatalogueServer.h"
#include "shell/MainWindow.h"
#include "ui/CatalogueBanner.h"

#include <QDateTime>
#include <QInputDialog>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

namespace {

// A copy in reach is asked again every five minutes; a server out of reach every half minute,
// so that the catalogue becomes writable soon after the network comes back.
constexpr int kInReachMs = 5 * 60 * 1000;
constexpr int kOutOfReachMs = 30 * 1000;

// Lives with the main window: the panel, the timer and the update running in the background.
class Link : public QObject {
public:
    explicit Link(MainWindow& mdi)
        : QObject(&mdi)
        , m_mdi(&mdi)
    {
        setObjectName(QStringLiteral("catalogueLink"));
        m_panel = new QLabel(&mdi);
        m_panel->setObjectName(QStringLiteral("sbCatalogue"));
        m_panel->setContentsMargins(6, 0, 6, 0);
        mdi.statusBar()->addPermanentWidget(m_panel);
        m_next.setSingleShot(true);
        connect(&m_next, &QTimer::timeout, this, &Link::begin);
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, &Link::poll);
    }

    static Link* of(MainWindow& mdi) { return mdi.findChild<Link*>(QStringLiteral("catalogueLink")); }

    void begin()
    {
        CatalogueServer& server = CatalogueServer::shared();
        m_panel->setVisible(server.isSet());
        if (!server.isSet() || m_pending.valid())
            return;
        if (m_shown.isEmpty())
            show(QStringLiteral("Catalogue: bringing the copy up to date..."), QString());
        m_pending = server.beginUpdate(sharedConnection());
        m_poll.start();
    }

private:
    void poll()
    {
        if (m_pending.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        m_poll.stop();
        CatalogueServer& server = CatalogueServer::shared();
        const CatalogueServer::UpdateOutcome o = server.finishUpdate(sharedConnection(), m_pending.get());
        if (o.done) {
            const QDateTime at = QDateTime::fromString(o.updatedAt, Qt::ISODate).toLocalTime();
            show(QStringLiteral("Catalogue up to date %1")
                     .arg(at.toString(QStringLiteral("dd-MM-yyyy HH:mm"))),
                PgSessionUri());
            // The open catalogue windows show the rows brought in.
            if (o.rows > 0)
                CatalogueBanner::announceCopyChanged();
        } else if (o.unreachable) {
            show(QStringLiteral("Catalogue server out of reach"),
                server.readOnlyReason() + QStringLiteral("\n") + o.error);
            if (server.neededPassword())
                askPassword();
        } else {
            show(QStringLiteral("Catalogue not brought up to date"), o.error);
        }
        m_next.start(server.inReach() ? kInReachMs : kOutOfReachMs);
    }

    static QString PgSessionUri() { return PgSession::withoutPassword(CatalogueServer::shared().uri()); }

    void show(const QString& text, const QString& tip)
    {
        m_shown = text;
        m_panel->setText(text);
        m_panel->setToolTip(tip);
    }

    // libpq found no password in ~/.pgpass, a service file or the environment: one typed here
    // serves this run and is never kept.
    void askPassword()
    {
        if (m_asked)
            return;
        m_asked = true;
        bool ok = false;
        const QString password = QInputDialog::getText(m_mdi, QStringLiteral("Catalogue Server"),
            QStringLiteral("Password for %1:").arg(PgSessionUri()), QLineEdit::Password, QString(), &ok);
        if (ok && !password.isEmpty()) {
            CatalogueServer::shared().setPassword(password);
            QTimer::singleShot(0, this, &Link::begin);
        }
    }

    QPointer<MainWindow> m_mdi;
    QLabel* m_panel = nullptr;
    QTimer m_next;
    QTimer m_poll;
    std::future<CatalogueServer::Fetched> m_pending;
    QString m_shown;
    bool m_asked = false;
};

void editSettings(MainWindow& mdi)
{
    bool ok = false;
    const QString uri = QInputDialog::getText(&mdi, QStringLiteral("Catalogue Server"),
        QStringLiteral("The company's catalogue server, as a PostgreSQL URI\n"
                       "(postgresql://user@host/database?sslmode=verify-full); leave it empty to keep\n"
                       "the catalogue on this machine only. The password is never kept: put it in\n"
                       "~/.pgpass, or type it when the program asks."),
        QLineEdit::Normal, PgSession::withoutPassword(CatalogueServer::shared().uri()), &ok);
    if (!ok)
        return;
    CatalogueServer::saveUri(uri);
    CatalogueServer::shared().setUri(PgSession::withoutPassword(uri.trimmed()));
    CatalogueLink::updateNow(mdi);
}

} // namespace

namespace CatalogueLink {

QString settingsCommand()
{
    return QStringLiteral("CatalogueServer");
}

void registerCommands()
{
    MainWindow::registerCommand(settingsCommand(), [](MainWindow& mdi) { editSettings(mdi); });
}

void start(MainWindow& mdi, const QString& commandLineUri)
{
    CatalogueServer& server = CatalogueServer::shared();
    server.setUri(commandLineUri.isEmpty() ? CatalogueServer::savedUri() : commandLineUri);
    if (!server.isSet())
        return; // no panel, no connection
    // After the start: the window is drawn first, then the update goes on behind it.
    QPointer<MainWindow> window(&mdi);
    QTimer::singleShot(0, &mdi, [window] {
        if (window)
            updateNow(*window);
    });
}

void updateNow(MainWindow& mdi)
{
    Link* link = Link::of(mdi);
    if (!link) {
        if (!CatalogueServer::shared().isSet())
            return;
        link = new Link(mdi);
    }
    link->begin();
}

} // namespace CatalogueLink
