#include "survey/FindingsList.h"

#include <QStyle>

FindingsList::FindingsList(QWidget* parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("lstFindings"));
    setAccessibleName(QStringLiteral("Checks before signing"));
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);  // nothing to type: Tab goes past it
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void FindingsList::showFindings(const SurveyFindings& findings)
{
    clear();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon information = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    for (const SurveyFinding& f : findings) {
        auto* item = new QListWidgetItem(f.isWarning() ? warning : information, f.text, this);
        item->setData(Qt::UserRole, f.code);
        item->setToolTip(f.text);
    }
}

QSize FindingsList::sizeHint() const
{
    // Room for a few wrapped sentences beside the displacement grid.
    const int line = fontMetrics().lineSpacing();
    return {fontMetrics().averageCharWidth() * 48, line * 9};
}
