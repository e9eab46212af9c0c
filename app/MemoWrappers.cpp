#include "MemoWrappers.h"

#include <QPlainTextEdit>

#include "GuardedCall.h"

bool TMemo_SetText(QPlainTextEdit* memo, const std::string& text) {
  return GuardedCall("TMemo_SetText", [&](bool&) -> GuardedFailure {
    if (memo == nullptr) return "destination TMemo is undefined!!!";
    memo->setPlainText(QString::fromStdString(text));
    return std::nullopt;
  });
}
