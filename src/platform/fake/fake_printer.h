#pragma once

#include <QList>
#include <QStringList>

#include "platform/printer.h"

namespace trovix::platform {

// Records the jobs that printed. While `fail` is set every job fails with `failError` and
// nothing is recorded.
class FakePrinter : public Printer {
  public:
    bool printLines(const QStringList& lines, QString& error) override {
        if (fail) {
            error = failError;
            return false;
        }
        jobs.append(lines);
        return true;
    }
    bool printWindow(QString& error) override {
        if (fail) {
            error = failError;
            return false;
        }
        ++windowPrints;
        return true;
    }

    QList<QStringList> jobs;
    int windowPrints = 0;
    bool fail = false;
    QString failError = QStringLiteral("No printer is installed.");
};

}  // namespace trovix::platform
