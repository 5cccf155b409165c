#include "cli/EjectCommand.h"

#include <optional>

#include <QCoreApplication>

#include "dbus/UDisksService.h"

namespace koral::cli {

const std::vector<CommandForm>& EjectCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"", {}, {}, "écrit tout sur l'Koral, le démonte et l'éteint pour qu'il puisse être débranché"}};
  return forms;
}

int EjectCommand::Run(const Invocation&, CliContext& context) {
  if (!RequirePlayer(context)) return kExitFailed;
  // Qt's bus connections want an application object; the window has its own.
  static int argc = 1;
  static char name[] = "koralctl";
  static char* argv[] = {name, nullptr};
  std::optional<QCoreApplication> application;
  if (QCoreApplication::instance() == nullptr) application.emplace(argc, argv);

  CUDisksService service;
  const EjectResult result = EjectPlayer(*context.playerRoot, service);
  (result.ejected ? context.out : context.err) << result.message << '\n';
  return result.ejected ? kExitOk : kExitFailed;
}

}  // namespace koral::cli
