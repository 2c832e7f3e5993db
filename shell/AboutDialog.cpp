#include "shell/AboutDialog.h"

#include "core/AppPaths.h"
#include "shell/AppIcons.h"
#include "shell/MainWindow.h"
#include "db/Database.h"
#include "shell/TipOfDayWindow.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QTimer>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quorvane Lt"));
    setWindowIcon(AppIcons::icon(QStringLiteral("Application")));
    setModal(true);

    // Without a title bar the box draws its own edge.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fmeAbout"));
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);

    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("imgLogo"));
    picture->setPixmap(AppIcons::icon(QStringLiteral("Application")).pixmap(96, 96));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(QStringLiteral("Quorvane Lt"), frame);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    title->setFont(titleFont);

    auto* version = new QLabel(QStringLiteral("Version: 1.0"), frame);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* description = new QLabel(tr("Draft surveys for the loading and the discharge port: "
                                      "the cargo a ship has taken on or put ashore, worked out "
                                      "from her drafts."),
                                   frame);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);

    // Where the ships and ports are kept, so that the user can find the database to back it up.
    auto* dataFolder = new QLabel(tr("Ships and ports are kept in %1")
                                      .arg(QDir::toNativeSeparators(AppPaths::appDir())),
                                  frame);
    dataFolder->setObjectName(QStringLiteral("lblDataFolder"));
    dataFolder->setWordWrap(true);
    dataFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dataFolder->setForegroundRole(QPalette::PlaceholderText);

    cmdContinue = new QPushButton(QStringLiteral("&Continue"), frame);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    cmdContinue->setDefault(true);
    cmdContinue->setAutoDefault(true);
    connect(cmdContinue, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(10);
    text->addWidget(description);
    text->addStretch(1);
    text->addWidget(dataFolder);

    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(picture);
    top->addLayout(text, 1);

    auto* rule = new QFrame(frame);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdContinue);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(20, 20, 20, 14);
    inner->addLayout(top, 1);
    inner->addWidget(rule);
    inner->addLayout(bottom);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    fitToText();
}

void AboutDialog::fitToText()
{
    // 460 by 260 for the small system font the box was drawn for; a larger font (12 pt, or a
    // desktop scaled up) widens it with its text, so that no line is cut, and the wrapped
    // description and data folder then take the height they need at that width.
    const QFontMetrics metrics(font());
    const int wide = qMax(460, 40 * metrics.averageCharWidth() + 96 + 58);
    const QSize hint = layout()->totalMinimumSize();
    const int width = qMax(wide, hint.width());
    const int height = qMax(260, layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                                             : layout()->totalSizeHint().height());
    setFixedSize(width, height);
}

void AboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A box without a title bar is not always made active by the window manager; it asks for the
    // focus itself, so that Enter continues and Esc leaves it from the first moment.
    cmdContinue->setFocus(Qt::ActiveWindowFocusReason);
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            return;
        raise();
        activateWindow();
        cmdContinue->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void AboutDialog::done(int result)
{
    QDialog::done(result);
    if (!m_ledOn) {
        m_ledOn = true;
        leadIntoProgram();
    }
}

void AboutDialog::abandon()
{
    m_ledOn = true;
    reject();
}

void AboutDialog::leadIntoProgram()
{
    // The window is made while the last pages of the database may still be being read; it is
    // shown only once they all were, and never on a damaged file.
    MainWindow* made = MainWindow::instance() ? nullptr : MainWindow::mainWindow();
    if (!confirmDatabaseWhole()) {
        delete made;
        return;
    }
    const bool tips = TipOfDayWindow::showTipsAtStartup();
    MainWindow* mdi = MainWindow::showMainWindow();
    if (tips)
        mdi->openChild(QStringLiteral("frmTipOfDay"));
}
