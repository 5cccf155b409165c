// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

// A window's place and size kept in Config.ini, section [fenetre]: keys
// PREFIX + x, y, largeur, hauteur, in device-independent pixels.
namespace WindowPlacement {

// The rectangle stored under the prefix, nullopt when a key is missing or damaged.
std::optional<QRect> Read(const std::string& prefix, const std::filesystem::path& configIni);
// Stores the window's frame position and size; nothing for a window never shown.
void Write(const QWidget& window, const std::string& prefix, const std::filesystem::path& configIni);

// The saved rectangle, its size bounded by the screen, when one of the
// screens (their available geometries) shows at least half of it with its
// top edge, where the caption is grabbed; nullopt when the window would
// open out of reach.
std::optional<QRect> Restorable(const QRect& saved, const QList<QRect>& screens);

// Opens the window at its saved place and size when a screen still shows
// it; else centred on its screen, at its saved size or else the preferred
// one, bounded by the screen.
void Place(QWidget& window, const std::optional<QRect>& saved, const QSize& preferred);

}  // namespace WindowPlacement
