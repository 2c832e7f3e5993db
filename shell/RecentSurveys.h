#pragma once

#include <QString>
#include <QStringList>

class MainWindow;
class QMenu;

// Draft Survey, Recent Surveys: first every survey whose window was closed without saving (or
// was lost with the program), each reopening exactly as it was left and each can be discarded;
// then the last eight survey files opened or saved. The main window's survey windows keep their
// recovery files from the moment they open.
namespace RecentSurveys {

// How many survey files the menu remembers.
constexpr int kMaxFiles = 8;

// Adds the submenu to the main window's Draft Survey menu and starts keeping every survey window
// the main window opens. Returns the submenu, or nullptr when the main window has no such menu.
QMenu* install(MainWindow& mdi);

// The survey files opened or saved, newest first, as kept in the user's settings.
QStringList files();
// A survey file just opened or saved goes to the top of the list.
void remember(const QString& path);

// At a start: each survey the program lost (it ended with the survey's window open) is offered,
// newest first, in a question of the message service: Reopen (Enter), Keep for Later (Escape:
// Recent Surveys goes on offering it, the next start no longer asks) or Discard (after a second
// question, whose default keeps it). Returns how many were reopened.
int offerLost(MainWindow& mdi);

// The submenu of a main window (objectName "mnuQuorvaneRecent"); filled each time it opens.
QMenu* menu(const MainWindow& mdi);
void fill(MainWindow& mdi, QMenu* menu);

}  // namespace RecentSurveys
