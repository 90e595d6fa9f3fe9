#pragma once
// The About box: modal, the text alone, one OK button, no icon, a title of
// its own.
#include <QString>

class QWidget;

namespace zv {

QString AboutTitle();
// Names the program and its version, says what it is for, and ends with the
// project's web address.
QString AboutText();
// Shows the box modal over `parent` and returns when it is closed.
void ShowAboutBox(QWidget* parent);

} // namespace zv
