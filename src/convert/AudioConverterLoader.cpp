// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/AudioConverterLoader.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>
#include <map>
#include <mutex>

#include "convert/ConvertModule.h"
#include "core/platform/InstalledModule.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUnavailable = "Conversion en MP3 indisponible : ";

LoadedAudioConverter Unavailable(const std::string& why) { return {nullptr, kUnavailable + why}; }

LoadedAudioConverter LoadModule(const fs::path& path) {
  if (!KORAL_CONVERT_MODULE) return Unavailable("ce programme a été construit sans les bibliothèques de FFmpeg.");
  std::error_code error;
  if (!fs::exists(path, error)) return Unavailable("le module " + path.string() + " est introuvable.");
  // Kept loaded for the rest of the run: its converter may be in use anywhere.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    return Unavailable("le module " + path.string() +
                       " ou l'une des bibliothèques de FFmpeg qu'il demande (libavformat, libavcodec, "
                       "libswresample, libavutil) ne peut pas être chargé (" +
                       dlerror() + ").");
  }
  auto* create = reinterpret_cast<KoralCreateAudioConverterFunction>(dlsym(module, kConvertEntryPoint));
  if (create == nullptr) return Unavailable("le module " + path.string() + " n'est pas le bon.");
  std::array<char, 1024> message{};
  AudioConverter* converter = create(message.data(), message.size());
  if (converter == nullptr) return Unavailable(message.data());
  return {std::shared_ptr<const AudioConverter>(converter), {}};
}

}  // namespace

LoadedAudioConverter LoadAudioConverter(const RunContext& context) {
  static std::mutex mutex;
  static std::map<fs::path, LoadedAudioConverter> loaded;
  const fs::path path = context.convertModule.empty() ? InstalledModulePath(kConvertModuleName) : context.convertModule;
  const std::lock_guard lock(mutex);
  const auto found = loaded.find(path);
  if (found != loaded.end()) return found->second;
  return loaded.emplace(path, LoadModule(path)).first->second;
}

}  // namespace koral
