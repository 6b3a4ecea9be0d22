#include "platform/qt/qt_file_dialog.h"

#include <QFileDialog>
#include <QStringList>

namespace trovix::platform {

QString QtFileDialog::nameFilter(const QString& filterLabel, const QString& filterPattern) {
    if (filterPattern.isEmpty()) {
        return filterLabel;
    }
    // Qt separates the patterns of one filter by blanks, not by semicolons.
    const QStringList patterns = filterPattern.split(u';', Qt::SkipEmptyParts);
    QStringList trimmed;
    for (const QString& pattern : patterns) {
        if (!pattern.trimmed().isEmpty()) {
            trimmed.append(pattern.trimmed());
        }
    }
    const QString joined = trimmed.join(u' ');
    return filterLabel.isEmpty() ? joined : filterLabel + QStringLiteral(" (") + joined + u')';
}

QString QtFileDialog::openFileName(const QString& title, const QString& startFolder,
                                   const QString& filterLabel, const QString& filterPattern) {
    QFileDialog dialog(owner_.get(), title, startFolder);
    const QString filter = nameFilter(filterLabel, filterPattern);
    if (!filter.isEmpty()) {
        dialog.setNameFilter(filter);
    }
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The label as given; the patterns that stand behind it are not shown.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::AnyFile);
#ifndef Q_OS_WIN
    // The GTK, portal and macOS open panels refuse a name that does not exist; the Windows one
    // honours AnyFile.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

}  // namespace trovix::platform
