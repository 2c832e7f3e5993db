#include "ui/MessageBoxes.h"

#include "core/MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QWidget>

namespace {

Msg::Answer showBox(const MessageRecord& r)
{
    const std::unique_ptr<QMessageBox> made = MessageBoxes::make(r, QApplication::activeWindow());
    QMessageBox& box = *made;
    switch (box.exec()) {
    case QMessageBox::Yes: return Msg::Answer::Yes;
    case QMessageBox::No: return Msg::Answer::No;
    case QMessageBox::Cancel: return Msg::Answer::Cancel;
    default:
        // Escape on a Yes/No box counts as No, as the close box does.
        if (r.buttons == Msg::Buttons::YesNo)
            return Msg::Answer::No;
        if (r.buttons == Msg::Buttons::YesNoCancel || r.buttons == Msg::Buttons::OkCancel)
            return Msg::Answer::Cancel;
        return Msg::Answer::Ok;
    }
}

}  // namespace

namespace MessageBoxes {

void install()
{
    MessageService::setPresenter(showBox);
}

int widthForTitle(const QString& title)
{
    // Title bars draw their text in a bold face as a rule; beside it stand the window's icon and
    // its close, maximise and minimise buttons, each about two lines of text wide.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 9 * metrics.height();
}

std::unique_ptr<QMessageBox> make(const MessageRecord& r, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(r.title);
    QString shown = r.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box->setText(shown);
    switch (r.icon) {
    case Msg::Icon::None: box->setIcon(QMessageBox::NoIcon); break;
    case Msg::Icon::Information: box->setIcon(QMessageBox::Information); break;
    case Msg::Icon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case Msg::Icon::Question: box->setIcon(QMessageBox::Question); break;
    case Msg::Icon::Critical: box->setIcon(QMessageBox::Critical); break;
    }
    switch (r.buttons) {
    case Msg::Buttons::Ok: box->setStandardButtons(QMessageBox::Ok); break;
    case Msg::Buttons::OkCancel: box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Msg::Buttons::YesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Msg::Buttons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    for (auto it = r.buttonTexts.cbegin(); it != r.buttonTexts.cend(); ++it) {
        QAbstractButton* button = nullptr;
        switch (it.key()) {
        case Msg::Answer::Ok: button = box->button(QMessageBox::Ok); break;
        case Msg::Answer::Cancel: button = box->button(QMessageBox::Cancel); break;
        case Msg::Answer::Yes: button = box->button(QMessageBox::Yes); break;
        case Msg::Answer::No: button = box->button(QMessageBox::No); break;
        }
        if (button)
            button->setText(it.value());
    }
    if (r.defaultButton) {
        switch (*r.defaultButton) {
        case Msg::Answer::Ok: box->setDefaultButton(QMessageBox::Ok); break;
        case Msg::Answer::Cancel: box->setDefaultButton(QMessageBox::Cancel); break;
        case Msg::Answer::Yes: box->setDefaultButton(QMessageBox::Yes); break;
        case Msg::Answer::No: box->setDefaultButton(QMessageBox::No); break;
        }
    }
    // A short message ("Invalid Date") would make a box too narrow for its own title, which the
    // desktop then cuts to "Q... Lt". The box sizes itself from its layout (a minimum width set on
    // it is overridden), so the title's width goes in as a row of its own.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(widthForTitle(r.title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

}  // namespace MessageBoxes
