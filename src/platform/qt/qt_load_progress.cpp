#include "platform/qt/qt_load_progress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <algorithm>

namespace trovix::platform {

QtLoadProgress::QtLoadProgress(const OwnerWindow& owner) : owner_(owner) {
}

QtLoadProgress::~QtLoadProgress() = default;

void QtLoadProgress::started(const QString& fileName) {
    fileName_ = fileName;
    dialog_.reset();
    started_.start();
}

bool QtLoadProgress::at(qint64 done, qint64 total) {
    if (!dialog_) {
        if (!started_.isValid() || started_.elapsed() < kShownAfterMs) {
            return true;
        }
        const QString name = QFileInfo(fileName_).fileName();
        dialog_ = std::make_unique<QProgressDialog>(
            QCoreApplication::translate("QtLoadProgress", "Reading %1…").arg(name),
            QCoreApplication::translate("QtLoadProgress", "Cancel"), 0, 1000, owner_.get());
        dialog_->setWindowTitle(
            QCoreApplication::translate("QtLoadProgress", "Reading %1").arg(name));
        dialog_->setAccessibleName(
            QCoreApplication::translate("QtLoadProgress", "Reading %1").arg(name));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->show();
    }
    const qint64 whole = std::max<qint64>(total, 1);
    dialog_->setValue(static_cast<int>(std::clamp<qint64>(done * 1000 / whole, 0, 1000)));
    QCoreApplication::processEvents();  // draws the window and takes a click on Cancel
    return !dialog_->wasCanceled();
}

void QtLoadProgress::ended() {
    dialog_.reset();
    started_.invalidate();
}

}  // namespace trovix::platform
