// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <QFile>
#include <QString>

// Paths cross from the window to the core as the file system's own bytes.
inline std::string PathToStd(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString PathFromStd(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
