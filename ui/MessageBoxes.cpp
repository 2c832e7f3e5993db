#include "ui/MessageBoxes.h"

#include "core/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {

Msg::Answer showBox(const MessageRecord& r)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(r.title);
    QString shown = r.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    switch (r.icon) {
    case Msg::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Msg::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Msg::Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Msg::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Msg::Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (r.buttons) {
    case Msg::Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Msg::Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Msg::Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Msg::Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (r.defaultButton) {
        switch (*r.defaultButton) {
        case Msg::Answer::Ok: box.setDefaultButton(QMessageBox::Ok); break;
        case Msg::Answer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
        case Msg::Answer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
        case Msg::Answer::No: box.setDefaultButton(QMessageBox::No); break;
        }
    }
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

}  // namespace MessageBoxes
