#include "window/QtMessageBox.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace zv {

void QtMessageBox::Show(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvane"), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    // Texts may quote file names: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int QtMessageBox::Ask(const std::string& text, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvane"), QString::fromStdString(text),
                    QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> added;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        added.push_back(box.addButton(QString::fromStdString(buttons[i]),
                                      last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (!added.empty()) {
        box.setDefaultButton(added.front());
        box.setEscapeButton(added.back());
    }
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i]) return static_cast<int>(i);
    return added.empty() ? -1 : static_cast<int>(added.size()) - 1;
}

std::optional<std::string> QtMessageBox::AskText(const std::string& text, const std::string& initial) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent_, QStringLiteral("Zorvane"), QString::fromStdString(text),
                                                 QLineEdit::Normal, QString::fromStdString(initial), &ok);
    if (!ok) return std::nullopt;
    return answer.toStdString();
}

} // namespace zv
