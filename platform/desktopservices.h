#pragma once
// The real message boxes, file and colour dialogs, key state and hourglass
// for the desktop program.
#include <QString>
#include <Qt>

namespace desktopservices {

// Installs the real services (call once, after the QApplication exists).
void install();

// Turns "Text (*.txt)|*.txt|All (*.*)|*.*" into a Qt filter whose patterns
// match both letter cases ("*.txt" also finds "X.TXT").
QString convertFilter(const QString& filter);

// The busy pointer: the hourglass, or none while a shown window hides the
// pointer (the full-screen display of a board must stay without one).
Qt::CursorShape busyCursorShape();

} // namespace desktopservices
