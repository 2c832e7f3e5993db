#pragma once

class QWidget;

// Centres a window on the primary screen's available area without changing its size; a window
// held in an MDI sub-window moves its sub-window. Never reports anything; returns false and
// leaves the window where it was when it cannot (no window, no screen, or a window whose
// "ScaleMode" property is set to something other than twips, 1).
bool centreOnScreen(QWidget* window);
