#pragma once

#include "cli/Command.h"

namespace koral::cli {

// rm PATH...: deletes entries of the player, folders with their content.
class RmCommand final : public Command {
 public:
  std::string_view Name() const override { return "rm"; }
  std::vector<std::string> Usage() const override {
    return {"rm CHEMIN...  supprime des fichiers ou des dossiers de l'Koral (chemins depuis sa racine)"};
  }
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

// empty: deletes everything on the player but the root's DAT and INI files.
class EmptyCommand final : public Command {
 public:
  std::string_view Name() const override { return "empty"; }
  std::vector<std::string> Usage() const override {
    return {"empty  vide l'Koral, sauf les fichiers DAT et INI de sa racine"};
  }
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

// mkdir NAME: creates one folder on the player.
class MkdirCommand final : public Command {
 public:
  std::string_view Name() const override { return "mkdir"; }
  std::vector<std::string> Usage() const override {
    return {"mkdir NOM  crée un répertoire sur l'Koral (chemin depuis sa racine)"};
  }
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

}  // namespace koral::cli
