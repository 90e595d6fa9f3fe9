#include "window/QtMessageBox.h"

#include <QMessageBox>
#include <QString>

namespace zv {

void QtMessageBox::Show(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvane"), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

} // namespace zv
