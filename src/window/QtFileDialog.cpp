#include "window/QtFileDialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <algorithm>
#include <QStringList>

namespace zv {

namespace {

// "desc|pattern|desc|pattern" -> Qt's "desc (pattern)" entries. The
// descriptions already name their pattern, so each entry is the
// description alone with the pattern Qt matches on appended only when
// it is not already shown. "*.*" means every file, with or without a dot.
QStringList NameFilters(const std::string& filter, QStringList* patterns = nullptr) {
    const QStringList items = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QString pattern = items[i + 1];
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        QString description = items[i];
        const qsizetype paren = description.lastIndexOf(QLatin1Char('('));
        if (paren > 0) description = description.left(paren).trimmed();
        entries << QStringLiteral("%1 (%2)").arg(description, pattern);
        if (patterns) *patterns << pattern;
    }
    return entries;
}

// The extension a pattern gives a name typed without one: "*.xsheet.txt"
// -> "xsheet.txt"; none for "*".
QString SuffixOf(const QString& pattern) {
    return pattern.startsWith(QLatin1String("*.")) ? pattern.mid(2) : QString();
}

} // namespace

std::optional<std::string> QtFileDialog::ShowOpen(const std::string& filter, int selectedFilter) {
    const QStringList entries = NameFilters(filter);
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(entries);
    if (selectedFilter >= 1 && selectedFilter <= entries.size()) dialog.selectNameFilter(entries[selectedFilter - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<FileDialog::SaveChoice> QtFileDialog::ShowSave(const std::string& filter, int selectedFilter,
                                                             const std::string& suggestedPath) {
    QStringList patterns;
    const QStringList entries = NameFilters(filter, &patterns);
    QFileDialog dialog(parent_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(entries);
    // A name typed without an extension gets the chosen filter's.
    const auto followFilter = [&](const QString& chosen) {
        const qsizetype index = entries.indexOf(chosen);
        dialog.setDefaultSuffix(index >= 0 ? SuffixOf(patterns[index]) : QString());
    };
    // Choosing another filter gives the name in the box that filter's whole
    // extension. The dialog itself swaps only the last part ("voice.dat"
    // would become "voice.txt" for "*.xsheet.txt", another format).
    const auto renameForFilter = [&](const QString& chosen) {
        const qsizetype index = entries.indexOf(chosen);
        auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (index < 0 || !nameBox || nameBox->text().isEmpty()) return;
        const QString suffix = SuffixOf(patterns[index]);
        if (suffix.isEmpty()) return;
        QString name = nameBox->text();
        QStringList known = patterns;   // longest first: ".xsheet.txt" before ".txt"
        std::sort(known.begin(), known.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
        for (const QString& pattern : known) {
            const QString ending = SuffixOf(pattern);
            if (!ending.isEmpty() && name.endsWith(QLatin1Char('.') + ending, Qt::CaseInsensitive)) {
                name.chop(ending.size() + 1);
                break;
            }
        }
        nameBox->setText(name + QLatin1Char('.') + suffix);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
        followFilter(chosen);
        renameForFilter(chosen);
    });
    if (selectedFilter >= 1 && selectedFilter <= entries.size()) dialog.selectNameFilter(entries[selectedFilter - 1]);
    followFilter(dialog.selectedNameFilter());
    if (!suggestedPath.empty()) dialog.selectFile(QString::fromStdString(suggestedPath));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    SaveChoice choice;
    choice.path = dialog.selectedFiles().front().toStdString();
    choice.filter = static_cast<int>(entries.indexOf(dialog.selectedNameFilter())) + 1;
    return choice;
}

} // namespace zv
