#include "shell/WindowNavigator.h"

#include "shell/AppIcons.h"
#include "shell/MainWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

struct Entry {
    const char* text;  // list text, also the item's key
    const char* icon;
    const char* window;
};

const Entry kShipGroup[] = {
    {"Ship Particulars", "ShipParticulars", "frmShipParticulars"},
    {"Port", "PortMaster", "frmPortMaster"},
};
const Entry kSurveyGroup[] = {
    {"Loading Survey", "Loading", "frmQuorvane"},
    {"Discharging Survey", "Discharging", "frmZODuraduza"},
};

constexpr int kKeyRole = Qt::UserRole;

}  // namespace

WindowNavigator::WindowNavigator(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOpen"));
    setWindowTitle(QStringLiteral("Open"));
    setWindowIcon(AppIcons::icon(QStringLiteral("Open")));
    setModal(true);

    tvOpen = new QTreeWidget(this);
    tvOpen->setObjectName(QStringLiteral("tvOpen"));
    tvOpen->setHeaderHidden(true);
    tvOpen->setRootIsDecorated(true);
    tvOpen->setMinimumWidth(150);
    auto* root = new QTreeWidgetItem(tvOpen, {QStringLiteral("Draft Survey")});
    root->setData(0, kKeyRole, QStringLiteral("Quorvane"));
    root->setIcon(0, AppIcons::icon(QStringLiteral("Application")));
    auto* shipGroup = new QTreeWidgetItem(root, {QStringLiteral("Ship Data")});
    shipGroup->setData(0, kKeyRole, QStringLiteral("Ship Data"));
    shipGroup->setIcon(0, AppIcons::icon(QStringLiteral("Open")));
    auto* surveyGroup = new QTreeWidgetItem(root, {QStringLiteral("Draft Survey")});
    surveyGroup->setData(0, kKeyRole, QStringLiteral("Draft Survey"));
    surveyGroup->setIcon(0, AppIcons::icon(QStringLiteral("Open")));
    root->setExpanded(true);

    lvOpen = new QListWidget(this);
    lvOpen->setObjectName(QStringLiteral("lvOpen"));
    lvOpen->setViewMode(QListView::IconMode);
    lvOpen->setIconSize(QSize(48, 48));
    lvOpen->setGridSize(QSize(120, 84));
    lvOpen->setMovement(QListView::Static);
    lvOpen->setResizeMode(QListView::Adjust);
    lvOpen->setWordWrap(true);
    lvOpen->setMinimumWidth(280);

    auto* split = new QSplitter(this);
    split->addWidget(tvOpen);
    split->addWidget(lvOpen);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    auto* label = new QLabel(QStringLiteral("File Name"), this);
    label->setObjectName(QStringLiteral("lblFileName"));
    txtFormToOpen = new QLineEdit(this);
    txtFormToOpen->setObjectName(QStringLiteral("txtFormToOpen"));
    label->setBuddy(txtFormToOpen);

    cmdOpen = new QPushButton(QStringLiteral("&Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setDefault(true);
    cmdOpen->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* bottom = new QGridLayout;
    bottom->addWidget(label, 0, 0);
    bottom->addWidget(txtFormToOpen, 0, 1);
    bottom->addWidget(cmdOpen, 0, 2);
    bottom->addWidget(cmdCancel, 1, 2);
    bottom->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    resize(500, 330);

    connect(tvOpen, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { tvOpenNodeClick(node); });
    connect(tvOpen, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node && !m_filling)
            tvOpenNodeClick(node);
    });
    connect(lvOpen, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lvOpenItemClick(item); });
    connect(lvOpen, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && !m_filling)
            lvOpenItemClick(item);
    });
    connect(lvOpen, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { lvOpenDblClick(item); });
    connect(txtFormToOpen, &QLineEdit::textChanged, this, [this] { txtFormToOpenChange(); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpenClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The ship group is the one shown at first.
    m_filling = true;
    tvOpen->setCurrentItem(shipGroup);
    m_filling = false;
    fillList(QStringLiteral("Ship Data"));
}

QString WindowNavigator::windowFor(const QString& itemText)
{
    for (const auto* group : {kShipGroup, kSurveyGroup}) {
        for (int i = 0; i < 2; ++i) {
            if (itemText == QLatin1String(group[i].text))
                return QLatin1String(group[i].window);
        }
    }
    return QString();
}

void WindowNavigator::fillList(const QString& groupKey)
{
    const Entry* group = groupKey == QLatin1String("Ship Data") ? kShipGroup : kSurveyGroup;
    m_filling = true;
    lvOpen->clear();
    for (int i = 0; i < 2; ++i) {
        auto* item = new QListWidgetItem(AppIcons::icon(QLatin1String(group[i].icon)),
                                         QLatin1String(group[i].text), lvOpen);
        item->setData(kKeyRole, QLatin1String(group[i].text));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    lvOpen->setCurrentItem(nullptr);
    m_filling = false;
}

void WindowNavigator::tvOpenNodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    txtFormToOpen->clear();
    const QString key = node->data(0, kKeyRole).toString();
    if (key == QLatin1String("Ship Data") || key == QLatin1String("Draft Survey"))
        fillList(key);
}

void WindowNavigator::lvOpenItemClick(QListWidgetItem* item)
{
    if (item)
        txtFormToOpen->setText(item->text());
}

void WindowNavigator::lvOpenDblClick(QListWidgetItem* item)
{
    lvOpenItemClick(item);
    if (cmdOpen->isEnabled())
        cmdOpenClick();
}

void WindowNavigator::txtFormToOpenChange()
{
    cmdOpen->setEnabled(!txtFormToOpen->text().trimmed().isEmpty());
}

void WindowNavigator::cmdOpenClick()
{
    if (txtFormToOpen->text().isEmpty())
        return;
    const QString text = txtFormToOpen->text();
    accept();
    const QString window = windowFor(text);
    if (!window.isEmpty()) {
        if (MainWindow* mdi = MainWindow::instance())
            mdi->openChild(window);
    }
}

void WindowNavigator::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Coming up, the navigator takes the main window's place in front: the main window is no
    // longer the only window open.
    if (MainWindow* mdi = MainWindow::instance())
        mdi->applyStatusHint();
}

void WindowNavigator::done(int result)
{
    QDialog::done(result);
    // The navigator no longer counts as an open window.
    if (MainWindow* mdi = MainWindow::instance())
        mdi->applyStatusHint(this);
}
