// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/EjectCommand.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>
#include <string>

#include "core/platform/InstalledModule.h"
#include "eject/EjectModule.h"

namespace koral::cli {
namespace {

namespace fs = std::filesystem;

// Without Qt there is no eject module: the build says which one this is.
constexpr bool kBuiltWithEjectModule = KORAL_EJECT_MODULE != 0;
constexpr const char* kBuiltWithoutUDisks =
    "Ce koralctl a été construit sans la prise en charge d'UDisks2 : éjectez l'Koral depuis le bureau.";

// The module holds the D-Bus side, and with it Qt: loaded for this command
// only, so that every other command starts without Qt's libraries.
KoralEjectPlayerFunction LoadEjectModule(std::string& failure) {
  const fs::path path = InstalledModulePath(kEjectModuleName);
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);  // kept loaded: Qt must not be unloaded
  if (module == nullptr) {
    failure = "Éjection impossible : le module " + path.string() + " ne peut pas être chargé (" + dlerror() + ")";
    return nullptr;
  }
  auto* entry = reinterpret_cast<KoralEjectPlayerFunction>(dlsym(module, kEjectEntryPoint));
  if (entry == nullptr) failure = "Éjection impossible : le module " + path.string() + " n'est pas le bon";
  return entry;
}

}  // namespace

const std::vector<CommandForm>& EjectCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"", {}, {}, "écrit tout sur l'Koral, le démonte et l'éteint pour qu'il puisse être débranché"}};
  return forms;
}

int EjectCommand::Run(const Invocation&, CliContext& context) {
  if (!kBuiltWithEjectModule) {
    context.err << kBuiltWithoutUDisks << '\n';
    return kExitFailed;
  }
  if (!RequirePlayer(context)) return kExitFailed;
  std::string failure;
  const KoralEjectPlayerFunction eject = LoadEjectModule(failure);
  if (eject == nullptr) {
    context.err << failure << '\n';
    return kExitFailed;
  }
  std::array<char, 1024> message{};
  const bool ejected = eject(context.playerRoot->c_str(), message.data(), message.size());
  (ejected ? context.out : context.err) << message.data() << '\n';
  return ejected ? kExitOk : kExitFailed;
}

}  // namespace koral::cli
