#pragma once
// Answers the modal dialogs a command shows, as a user does.
#include <QString>
#include <functional>

class QWidget;

// Runs action on the next modal window for which it returns true, once it
// shows (a command run after this call shows it); the action closes it.
void whenModalShows(const std::function<bool(QWidget *)> &action);

// The file dialog of the next command chooses path, or is cancelled when
// path is empty.
void whenFileDialogChooses(const QString &path);
