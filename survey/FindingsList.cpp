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
    // It takes the height the results leave free and never makes the window taller: on a
    // laptop screen the survey must open whole.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    setMinimumHeight(fontMetrics().lineSpacing() * 3 + 2 * frameWidth());
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
    return {fontMetrics().averageCharWidth() * 48, line * 3};
}
