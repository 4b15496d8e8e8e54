#include "Application.h"

#include "base/ProgramOptions.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace forms {

namespace {

struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString text;
};

const char* openingProgram = "";
std::vector<HeldMessage>* heldMessages = nullptr;

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::string WhyNoWindow() {
  if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) return "no display (DISPLAY is not set)";
  if (IsSet("DISPLAY")) return std::string("display ") + std::getenv("DISPLAY") + " cannot be opened";
  return "the window system cannot be opened";
}

// The toolkit fails to open its platform with a fatal message, which would
// abort the program.
void WhileOpening(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s: cannot open its window: %s\n", openingProgram, WhyNoWindow().c_str());
    std::fflush(stderr);
    std::_Exit(halden::kExitFailure);
  }
  heldMessages->push_back({type, context.category != nullptr ? context.category : "", text});
}

}  // namespace

std::unique_ptr<QApplication> OpenApplication(int& argc, char** argv, const char* program) {
  std::vector<HeldMessage> held;
  openingProgram = program;
  heldMessages = &held;
  const QtMessageHandler previous = qInstallMessageHandler(WhileOpening);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  heldMessages = nullptr;
  for (const HeldMessage& message : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
    qt_message_output(message.type, context, message.text);
  }
  return app;
}

}  // namespace forms
