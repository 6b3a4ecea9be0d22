#pragma once

#include <QList>
#include <QStringList>

#include "platform/printer.h"

namespace trovix::platform {

struct PrintedJob {
    QStringList lines;
    PrintFont font;
};

// Records the jobs that printed. While `outcome` is not Printed (cancelled, or a failure) every
// job ends with it and nothing is recorded.
class FakePrinter : public Printer {
  public:
    Result<PrintEnd> printLines(int count, const std::function<PrintLine(int)>& line,
                                const PrintFont& font) override {
        if (!printing()) {
            return outcome;
        }
        PrintedJob job{{}, font};
        for (int i = 0; i < count; ++i) {
            const PrintLine printed = line(i);
            job.lines << printed.start +
                             QString::fromUtf8(printed.body.data(), qsizetype(printed.body.size()));
        }
        jobs.append(job);
        return outcome;
    }
    Result<PrintEnd> printWindow() override {
        if (printing()) {
            ++windowPrints;
        }
        return outcome;
    }

    QList<PrintedJob> jobs;
    int windowPrints = 0;
    Result<PrintEnd> outcome = PrintEnd::Printed;

  private:
    bool printing() const { return outcome && *outcome == PrintEnd::Printed; }
};

}  // namespace trovix::platform
