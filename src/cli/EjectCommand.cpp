#include "cli/EjectCommand.h"

#include <optional>

#include <QCoreApplication>

#include "dbus/UDisksService.h"

namespace koral::cli {

int EjectCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (!args.empty()) return kExitUsage;
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
