#pragma once
// The real message boxes, file and colour dialogs, key state, notification
// area and hourglass for the desktop program.
#include "platform/services.h"

#include <QString>
#include <Qt>

#include <memory>

class QFileDialog;
class QMessageBox;

namespace desktopservices {

// Installs the real services (call once, after the QApplication exists).
void install();

// Turns "Text (*.txt)|*.txt|All (*.*)|*.*" into a Qt filter whose patterns
// match both letter cases ("*.txt" also finds "X.TXT"); each label stays as
// given, followed by its patterns in brackets.
QString convertFilter(const QString& filter);

// The message box of the message seam, set up but not shown.
std::unique_ptr<QMessageBox> newMessageBox(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons);

// The open or save dialog of the file chooser, set up but not shown: its
// list of file types shows the labels as given (without the patterns).
std::unique_ptr<QFileDialog> newFileDialog(const QString& title, const QString& start, const QString& filter, bool save,
                                           bool confirmOverwrite);

} // namespace desktopservices
