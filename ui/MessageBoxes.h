#pragma once

#include <memory>

class QMessageBox;
class QString;
class QWidget;
struct MessageRecord;

// The modal message box that shows what the message service is asked to show.
namespace MessageBoxes {

// Makes the message service show its boxes as real modal message boxes.
void install();

// The box that shows `record`, made but not yet shown (tests look at it without running it).
std::unique_ptr<QMessageBox> make(const MessageRecord& record, QWidget* parent = nullptr);

// The least width of a box whose title bar shows `title` whole beside the window's icon and its
// buttons, in the title font of the desktop as far as Qt knows it.
int widthForTitle(const QString& title);

}  // namespace MessageBoxes
