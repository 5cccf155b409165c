// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/WindowPlacement.h"

#include <array>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "core/config/PrivateProfile.h"
#include "gui/common/StoredOption.h"

namespace WindowPlacement {
namespace {

constexpr const char* kSection = "fenetre";

std::optional<int> ReadNumber(const std::string& key, const std::filesystem::path& configIni) {
  const auto text = koral::FindPrivateProfileString(kSection, key, configIni);
  if (!text) return std::nullopt;
  bool ok = false;
  const int value = QString::fromStdString(*text).toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

QList<QRect> AvailableScreens() {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
  return screens;
}

}  // namespace

std::optional<QRect> Read(const std::string& prefix, const std::filesystem::path& configIni) {
  const auto x = ReadNumber(prefix + "x", configIni);
  const auto y = ReadNumber(prefix + "y", configIni);
  const auto width = ReadNumber(prefix + "largeur", configIni);
  const auto height = ReadNumber(prefix + "hauteur", configIni);
  if (!x || !y || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  return QRect(*x, *y, *width, *height);
}

void Write(const QWidget& window, const std::string& prefix, const std::filesystem::path& configIni) {
  // A window never shown has no place of its own to keep.
  if (window.windowHandle() == nullptr) return;
  const std::array<std::pair<const char*, int>, 4> values{
      {{"x", window.x()}, {"y", window.y()}, {"largeur", window.width()}, {"hauteur", window.height()}}};
  for (const auto& [key, value] : values) StoreOption(kSection, prefix + key, value, configIni);
}

std::optional<QRect> Restorable(const QRect& saved, const QList<QRect>& screens) {
  if (!saved.isValid()) return std::nullopt;
  for (const QRect& screen : screens) {
    const QRect bounded(saved.topLeft(), saved.size().boundedTo(screen.size()));
    const bool captionShown = bounded.top() >= screen.top() && bounded.top() <= screen.bottom();
    const QRect shown = bounded.intersected(screen);
    const qint64 shownArea = qint64(shown.width()) * shown.height();
    const qint64 area = qint64(bounded.width()) * bounded.height();
    if (captionShown && 2 * shownArea >= area) return bounded;
  }
  return std::nullopt;
}

void Place(QWidget& window, const std::optional<QRect>& saved, const QSize& preferred) {
  if (const auto restored = saved ? Restorable(*saved, AvailableScreens()) : std::nullopt) {
    window.resize(restored->size());
    window.move(restored->topLeft());
    return;
  }
  const QScreen* screen = window.screen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
  // Moved off every screen, the window keeps its size all the same.
  const QSize wanted = saved ? saved->size() : preferred;
  const QSize size = available.isValid() ? wanted.boundedTo(available.size()) : wanted;
  window.resize(size);  // left unmoved, a dialog opens centred on its screen
}

}  // namespace WindowPlacement
