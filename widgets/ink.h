// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>
#include <functional>

class QWidget;

namespace arrowsel::widgets {

// Contrast as WCAG 2 measures it: relative luminance from the sRGB channels, and the ratio
// (lighter + 0.05) / (darker + 0.05), from 1 (none) to 21 (black on white).
double relativeLuminance(const QColor& color);
double contrastRatio(const QColor& a, const QColor& b);
// The least contrast of ordinary text with what is behind it (WCAG 2, level AA).
inline constexpr double kReadableContrast = 4.5;

// `wanted` where it reads on `background`; otherwise `wanted` moved toward `fallback` only as far
// as it takes to read, so that a coloured text keeps a hint of its colour on a dark desktop;
// `fallback` itself when nothing short of it reads.
QColor readableOn(const QColor& background, const QColor& wanted, const QColor& fallback);

// The colour a text given the colour `chosen` (a chart's font colour, a window's accent) is drawn
// in, on `background` beside the ordinary text colour `text`. Black is the charts' ordinary
// colour, so it is the palette's own text colour; any other colour is kept where it reads and
// made readable where it does not.
QColor inkFor(const QColor& chosen, const QColor& background, const QColor& text);

// The palette `widget` would have without colours of its own: its parent's, or the application's
// for a window or a widget not yet placed.
QPalette inheritedPalette(const QWidget& widget);

// Gives `widget` the text colour `ink` picks from the palette it inherits, as its `role` in the
// active and inactive groups (disabled text keeps the palette's), and picks again whenever that
// palette changes (the desktop switching to a dark scheme) or the widget moves to another parent.
// A later call replaces the earlier one's choice.
void keepInk(QWidget& widget, QPalette::ColorRole role, std::function<QColor(const QPalette& inherited)> ink);

// keepInk for a text coloured `chosen` in the sense of inkFor, drawn in `role` on `background`.
void keepChosenInk(QWidget& widget, const QColor& chosen, QPalette::ColorRole role = QPalette::WindowText,
                   QPalette::ColorRole background = QPalette::Window);

} // namespace arrowsel::widgets
