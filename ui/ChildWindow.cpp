#include "ui/ChildWindow.h"

#include <QHash>
#include <QWidget>

namespace {

ChildHost* g_host = nullptr;

QHash<QString, ChildWindow::Factory>& factories()
{
    static QHash<QString, ChildWindow::Factory> f;
    return f;
}

}  // namespace

void ChildWindow::activated()
{
    if (ChildHost* h = host()) {
        h->commandsChanged(*this);
        h->setStatusText(QString());
    }
}

void ChildWindow::offeredCommandsChanged() const
{
    if (ChildHost* h = host())
        h->commandsChanged(*this);
}

ChildHost* ChildWindow::host()
{
    return g_host;
}

void ChildWindow::setHost(ChildHost* host)
{
    g_host = host;
}

void ChildWindow::registerFactory(const QString& name, Factory factory)
{
    factories().insert(name, std::move(factory));
}

QWidget* ChildWindow::create(const QString& name)
{
    const auto it = factories().constFind(name);
    return it == factories().constEnd() ? nullptr : (*it)();
}
