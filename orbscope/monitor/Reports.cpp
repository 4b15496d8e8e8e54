#include "Reports.h"

#include "WinException.h"
#include "forms/Dialogs.h"

#include <atomic>
#include <cstdio>

namespace orbscope {

namespace {
std::atomic<bool> toStandardError{false};
}

int Report(const QString& text, int style, const QString& caption, QWidget* parent) {
  if (toStandardError) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    return forms::vbOK;
  }
  return forms::MsgBox(text, style, caption, parent);
}

void SetReportsToStandardError(bool on) { toStandardError = on; }

bool ReportsToStandardError() { return toStandardError; }

void ReportException(const WinException& error) {
  const QString text = QString::asprintf("%s, Error %d", error.Message().c_str(), static_cast<int>(error.Code()));
  Report(text, forms::vbExclamation, QStringLiteral("Exception"));
}

void ReportUnknownException() { Report(QStringLiteral("Unknown"), forms::vbExclamation, QStringLiteral("Exception")); }

}  // namespace orbscope
