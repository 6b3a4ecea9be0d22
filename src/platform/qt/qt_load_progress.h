#pragma once

#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "platform/load_progress.h"
#include "platform/qt/owner_window.h"

class QProgressDialog;

namespace trovix::platform {

// A reading that has run for half a second shows a small window with a progress bar and a
// Cancel button. While it is shown the events are handled after each piece read, so the window
// stays drawn and Cancel can be clicked; it is modal, so nothing else can change meanwhile.
class QtLoadProgress : public LoadProgress {
  public:
    explicit QtLoadProgress(const OwnerWindow& owner);
    ~QtLoadProgress() override;

    void started(const QString& fileName) override;
    bool at(qint64 done, qint64 total) override;
    void ended() override;

    static constexpr qint64 kShownAfterMs = 500;

  private:
    const OwnerWindow& owner_;
    QString fileName_;
    QElapsedTimer started_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace trovix::platform
