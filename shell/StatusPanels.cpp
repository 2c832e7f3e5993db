#include "shell/StatusPanels.h"

#include "shell/KeyLocks.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sb1"));
    setSizeGripEnabled(true);
    const char* const texts[6] = {"", "CAPS", "NUM", "INS", "", ""};
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(QString::fromLatin1(texts[i]), this);
        label->setObjectName(QStringLiteral("sb1Panel%1").arg(i + 1));
        label->setContentsMargins(6, 0, 6, 0);
        if (i == 0) {
            label->setMinimumWidth(120);
            addWidget(label, 1);
        } else {
            label->setAlignment(Qt::AlignCenter);
            // Wide enough for the longest text the panel shows, so the bar does not jump.
            const QString widest = i == 4 ? QStringLiteral("88:88") :
                                   i == 5 ? QStringLiteral("88-88-8888") : label->text();
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 16);
            addPermanentWidget(label);
        }
        m_panels[i] = label;
    }
    m_panels[1]->setToolTip(tr("Caps Lock"));
    m_panels[2]->setToolTip(tr("Num Lock"));
    m_panels[3]->setToolTip(tr("Insert"));

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &StatusPanels::refresh);
    m_clock->start();
    qApp->installEventFilter(this);
    refresh();
}

StatusPanels::~StatusPanels()
{
    qApp->removeEventFilter(this);
}

void StatusPanels::setMessage(const QString& text)
{
    m_panels[0]->setText(text);
}

QString StatusPanels::message() const
{
    return m_panels[0]->text();
}

QLabel* StatusPanels::panel(int number) const
{
    return number >= 1 && number <= 6 ? m_panels[number - 1] : nullptr;
}

void StatusPanels::refresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[4]->setText(now.toString(QStringLiteral("HH:mm")));
    m_panels[5]->setText(now.toString(QStringLiteral("dd-MM-yyyy")));
    const KeyLocks::State locks = KeyLocks::query();
    if (locks.known) {
        m_caps = locks.capsLock;
        m_num = locks.numLock;
    }
    showKeyStates();
}

void StatusPanels::showKeyStates()
{
    m_panels[1]->setEnabled(m_caps);
    m_panels[2]->setEnabled(m_num);
    m_panels[3]->setEnabled(m_insert);
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event)
{
    // Only the key presses that reach a window of ours; the events travel through several
    // objects on the way, so look at each one once, at the window that receives it.
    QWidget* receiver = QApplication::focusWidget() ? QApplication::focusWidget()
                                                    : QApplication::activeWindow();
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && watched == receiver) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            switch (key->key()) {
            case Qt::Key_CapsLock: m_caps = !m_caps; break;
            case Qt::Key_NumLock: m_num = !m_num; break;
            case Qt::Key_Insert: m_insert = !m_insert; break;
            default: return QStatusBar::eventFilter(watched, event);
            }
            showKeyStates();
            // Where the desktop tells the lock lights, take its word once the key has landed.
            QTimer::singleShot(150, this, &StatusPanels::refresh);
        }
    }
    return QStatusBar::eventFilter(watched, event);
}
