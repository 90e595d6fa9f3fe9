#include "window/QtMessageBox.h"

#include <QMessageBox>
#include <QString>

namespace zv {

void QtMessageBox::Show(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvane"), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    // Texts may quote file names: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace zv
