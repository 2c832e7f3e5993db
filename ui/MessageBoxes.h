#pragma once

// The modal message box that shows what the message service is asked to show.
namespace MessageBoxes {

// Makes the message service show its boxes as real modal message boxes.
void install();

}  // namespace MessageBoxes
