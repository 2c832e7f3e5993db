#include "ui/CatalogueBanner.h"

#include "server/CatalogueServer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace {

// The banners of the open windows, announced to one by one.
QList<CatalogueBanner*>& banners()
{
    static QList<CatalogueBanner*> open;
    return open;
}

} // namespace

CatalogueBanner* CatalogueBanner::attach(QWidget* window, CopyChanged onCopyChanged)
{
    static const bool listening = [] {
        CatalogueServer::shared().setReachListener(&CatalogueBanner::announceReach);
        return true;
    }();
    Q_UNUSED(listening);
    auto* banner = new CatalogueBanner(window, std::move(onCopyChanged));
    if (auto* box = qobject_cast<QBoxLayout*>(window->layout()))
        box->insertWidget(0, banner);
    banner->refresh();
    return banner;
}

CatalogueBanner::CatalogueBanner(QWidget* window, CopyChanged onCopyChanged)
    : QLabel(window)
    , m_onCopyChanged(std::move(onCopyChanged))
{
    setObjectName(QStringLiteral("lblCatalogue"));
    setWordWrap(true);
    setFrameShape(QFrame::StyledPanel);
    setContentsMargins(6, 3, 6, 3);
    banners().append(this);
    connect(this, &QObject::destroyed, [this] { banners().removeAll(this); });
    connect(this, &CatalogueBanner::reachChanged, this, &CatalogueBanner::refresh);
    connect(this, &CatalogueBanner::copyChanged, this, [this] {
        m_note = m_onCopyChanged ? m_onCopyChanged() : QString();
        refresh();
    });
}

void CatalogueBanner::announceCopyChanged()
{
    for (CatalogueBanner* banner : QList<CatalogueBanner*>(banners()))
        emit banner->copyChanged();
}

void CatalogueBanner::announceReach()
{
    for (CatalogueBanner* banner : QList<CatalogueBanner*>(banners()))
        emit banner->reachChanged();
}

// While the server is out of reach the window's boxes and tables take no typing (a save would be
// refused); each gets back what it was given when the server is in reach again.
void CatalogueBanner::setReadOnly(bool readOnly)
{
    QWidget* window = parentWidget();
    if (!window || readOnly == m_readOnly)
        return;
    m_readOnly = readOnly;
    static const char* const WasReadOnly = "catalogueWasReadOnly";
    static const char* const EditTriggers = "catalogueEditTriggers";
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (readOnly) {
            box->setProperty(WasReadOnly, box->isReadOnly());
            box->setReadOnly(true);
        } else if (box->property(WasReadOnly).isValid()) {
            box->setReadOnly(box->property(WasReadOnly).toBool());
            box->setProperty(WasReadOnly, QVariant());
        }
    }
    for (QPlainTextEdit* box : window->findChildren<QPlainTextEdit*>()) {
        if (readOnly) {
            box->setProperty(WasReadOnly, box->isReadOnly());
            box->setReadOnly(true);
        } else if (box->property(WasReadOnly).isValid()) {
            box->setReadOnly(box->property(WasReadOnly).toBool());
            box->setProperty(WasReadOnly, QVariant());
        }
    }
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        if (readOnly) {
            view->setProperty(EditTriggers, int(view->editTriggers()));
            view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        } else if (view->property(EditTriggers).isValid()) {
            view->setEditTriggers(QAbstractItemView::EditTriggers(view->property(EditTriggers).toInt()));
            view->setProperty(EditTriggers, QVariant());
        }
    }
}

void CatalogueBanner::clearNote()
{
    m_note.clear();
    refresh();
}

void CatalogueBanner::refresh()
{
    const CatalogueServer& server = CatalogueServer::shared();
    QStringList lines;
    if (server.isSet() && !server.writable())
        lines.append(QStringLiteral("Read-only: ") + server.readOnlyReason());
    if (server.isSet() && !m_note.isEmpty())
        lines.append(m_note);
    setReadOnly(server.isSet() && !server.writable());
    setText(lines.join(QLatin1Char('\n')));
    setToolTip(server.isSet() && !server.writable() ? server.reachError() : QString());
    setVisible(!lines.isEmpty());
}
