// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QMap>
#include <QString>

// Pictures for people: contact sheets of every picture and the windows put together roughly as
// the program shows them, so the skin can be judged without running the program.
namespace skin {

// Rendered pictures by resource name ("png/271.png").
using RenderedSet = QMap<QString, QImage>;

// Writes the sheets and window mock-ups into folder; returns false when a file cannot be written.
bool WritePreviews(const RenderedSet& rendered, const QString& folder);

}  // namespace skin
