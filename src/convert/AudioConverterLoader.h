// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "core/copy/AudioConversion.h"
#include "core/platform/RunContext.h"

namespace koral {

// The converter of the conversion module, or why there is none.
struct LoadedAudioConverter {
  std::shared_ptr<const AudioConverter> converter;  // null when unavailable
  std::string failure;                              // French, when unavailable
};

// Loads the conversion module (the context's convertModule, else the
// installed one) and makes its converter. FFmpeg's libraries come with the
// module only: a run that never converts never loads them. Each module path
// is loaded once per process and the result kept; the module is never
// unloaded. Safe to call from several threads.
LoadedAudioConverter LoadAudioConverter(const RunContext& context);

}  // namespace koral
