#include "window/QtFileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace zv {

std::optional<std::string> QtFileDialog::ShowOpen(const std::string& filter, int selectedFilter) {
    // "desc|pattern|desc|pattern" -> Qt's "desc (pattern)" entries. The
    // descriptions already name their pattern, so each entry is the
    // description alone with the pattern Qt matches on appended only when
    // it is not already shown. "*.*" means every file, with or without a dot.
    const QStringList items = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QString pattern = items[i + 1];
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        QString description = items[i];
        const qsizetype paren = description.lastIndexOf(QLatin1Char('('));
        if (paren > 0) description = description.left(paren).trimmed();
        entries << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(entries);
    if (selectedFilter >= 1 && selectedFilter <= entries.size()) dialog.selectNameFilter(entries[selectedFilter - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

} // namespace zv
