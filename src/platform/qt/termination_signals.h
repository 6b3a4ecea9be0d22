#pragma once

#include <QObject>

class QSocketNotifier;

namespace trovix::platform {

// Turns the signals with which the system asks a program to end (SIGTERM at logout or from
// `kill`, SIGHUP when its terminal goes away, SIGINT for Ctrl+C) into a Qt signal that the event
// loop delivers, so that the program can close as the user closes it. The signal handler only
// writes a byte into a socket pair, which is all it may safely do; a socket notifier reads it.
// Once one has arrived, the next such signal ends the program at once, as by default. Unix only;
// elsewhere nothing arrives.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;  // the system's default handling comes back

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  Q_SIGNALS:
    void received(int signalNumber);

  private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace trovix::platform
