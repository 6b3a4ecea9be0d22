#pragma once

#include <QList>
#include <QString>

#include "platform/clipboard.h"

namespace trovix::platform {

struct ClipboardCall {
    enum class Kind { Clear, SetText };
    Kind kind;
    QString text;  // empty for Clear
};

// Holds the clipboard's text and records every call in order.
class FakeClipboard : public Clipboard {
  public:
    void clear() override {
        text.clear();
        calls.append({ClipboardCall::Kind::Clear, QString()});
    }
    void setText(const QString& newText) override {
        text = newText;
        calls.append({ClipboardCall::Kind::SetText, newText});
    }

    QString text;
    QList<ClipboardCall> calls;
};

}  // namespace trovix::platform
