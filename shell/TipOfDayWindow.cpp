#include "shell/TipOfDayWindow.h"

#include "shell/AppIcons.h"
#include "core/AppPaths.h"
#include "db/Database.h"
#include "core/MessageService.h"
#include "shell/Startup.h"
#include "core/VbError.h"
#include "shell/MainWindow.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const char* const kSettingKey = "Options/Show Tips at Startup";

// The stored text read as a number the way the setting was always read: the leading number,
// 0 when there is none.
double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+(\\.\\d*)?|\\.\\d+))"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

}  // namespace

bool TipOfDayWindow::showTipsAtStartup()
{
    const QVariant stored = AppPaths::settings().value(QLatin1String(kSettingKey), QStringLiteral("1"));
    return leadingNumber(stored.toString()) == 1.0;
}

void TipOfDayWindow::storeShowTipsAtStartup(bool on)
{
    QSettings settings = AppPaths::settings();
    // Written only when it changes: the window stores "1" each time it opens, and every write
    // of the settings file waits for the disk.
    const QString text = on ? QStringLiteral("1") : QStringLiteral("0");
    if (settings.value(QLatin1String(kSettingKey)).toString() == text)
        return;
    settings.setValue(QLatin1String(kSettingKey), text);
    AppPaths::keepSettingsPrivate(settings);
}

TipOfDayWindow::TipOfDayWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTipOfDay"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setWindowIcon(AppIcons::icon(QStringLiteral("TipOfDay")));

    if (Startup::debugMode())
        MessageService::show(QStringLiteral("loading tip of day"));

    auto* side = new QLabel(this);
    side->setObjectName(QStringLiteral("imgTip"));
    side->setPixmap(AppIcons::icon(QStringLiteral("TipOfDay")).pixmap(48, 48));
    side->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    side->setContentsMargins(14, 16, 14, 0);
    side->setAutoFillBackground(true);
    QPalette sidePalette = side->palette();
    sidePalette.setColor(QPalette::Window, QColor(112, 128, 150));
    side->setPalette(sidePalette);

    auto* heading = new QLabel(QStringLiteral("Did you know..."), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.35);
    heading->setFont(headingFont);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    lblTipText = new QLabel(this);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("fmeTip"));
    page->setAutoFillBackground(true);
    QPalette pagePalette = page->palette();
    pagePalette.setColor(QPalette::Window, pagePalette.color(QPalette::Base));
    page->setPalette(pagePalette);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(16, 14, 16, 14);
    pageLayout->addWidget(heading);
    pageLayout->addWidget(rule);
    pageLayout->addWidget(lblTipText, 1);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(side);
    panelLayout->addWidget(page, 1);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkLoadTipsAtStartup);
    buttons->addStretch(1);
    buttons->addWidget(cmdNextTip);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);
    setFixedSize(470, 260);

    // Every change of the box is stored, the one made here on opening included.
    connect(chkLoadTipsAtStartup, &QCheckBox::toggled, this, [](bool on) { storeShowTipsAtStartup(on); });
    chkLoadTipsAtStartup->setChecked(true);
    storeShowTipsAtStartup(true);

    connect(cmdNextTip, &QPushButton::clicked, this, &TipOfDayWindow::pickTip);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    // A fresh draw each time the window opens.
    m_random.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    loadTips();
    pickTip();
}

void TipOfDayWindow::loadTips()
{
    m_tips.clear();
    try {
        RowSet rs;
        rs.open(SqlCatalogue::tips(), sharedConnection());
        while (!rs.eof()) {
            const Variant tip = rs.value(QStringLiteral("Tip"));
            m_tips.append(tip.isNull() ? QString() : tip.toText());
            rs.moveNext();
        }
        rs.close();
    } catch (const VbError& e) {
        // Without its tips the window still opens; the surveyor is told why it is blank.
        MessageService::plain(e.description());
    }
}

void TipOfDayWindow::pickTip()
{
    if (m_tips.isEmpty())
        return;
    const double r = m_random.generateDouble();
    m_current = std::min(int(r * m_tips.size() + 1), int(m_tips.size()));
    lblTipText->setText(m_tips.at(m_current - 1));
}

void TipOfDayWindow::activated()
{
    // The tip window takes no part in the File commands: it leaves them as they are.
    if (MainWindow* mdi = MainWindow::instance())
        mdi->setStatusText(QString());
    if (Startup::debugMode())
        MessageService::show(QStringLiteral("activate of tip of day"));
}

void TipOfDayWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The window opens over the others to be read and dismissed from the keyboard: it takes the
    // focus once its frame is on screen.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            return;
        activateWindow();
        if (!isAncestorOf(QApplication::focusWidget()))
            cmdOK->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void TipOfDayWindow::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (mods == Qt::NoModifier && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // Enter presses the button that has the focus, else the default one, as in a dialog.
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        (focused && isAncestorOf(focused) ? focused : cmdOK)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TipOfDayWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (MainWindow* mdi = MainWindow::instance())
        mdi->childClosing(this);
}
