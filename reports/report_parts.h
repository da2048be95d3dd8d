// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/report.h"

// Small builders the report layouts are written with.
namespace arrowsel::reports::parts {

inline Font arial(double pointSize, bool bold = false) {
    Font f;
    f.pointSize = pointSize;
    f.bold = bold;
    return f;
}

inline Element label(const QString& name, const QString& text, QRectF rect, Font font, Align align = Align::Left) {
    Element e;
    e.kind = ElementKind::Label;
    e.name = name;
    e.text = text;
    e.rect = rect;
    e.font = std::move(font);
    e.align = align;
    return e;
}

inline Element field(const QString& name, const QString& fieldName, const RecordSource* source, QRectF rect, Font font,
                     Align align) {
    Element e = label(name, fieldName, rect, std::move(font), align);
    e.kind = ElementKind::Field;
    e.source = source;
    return e;
}

inline Element expression(const QString& name, const QString& text, const RecordSource* source, QRectF rect, Font font,
                          Align align) {
    Element e = label(name, QString(), rect, std::move(font), align);
    e.kind = ElementKind::Expression;
    e.expression = Expression::parse(text);
    e.source = source;
    return e;
}

inline Element line(const QString& name, double x, double y, double length, double penWidth) {
    Element e;
    e.kind = ElementKind::Line;
    e.name = name;
    e.rect = QRectF(x, y, length, 0);
    e.penWidth = penWidth;
    return e;
}

inline Element box(const QString& name, QRectF rect, double penWidth = 1) {
    Element e;
    e.kind = ElementKind::Box;
    e.name = name;
    e.rect = rect;
    e.penWidth = penWidth;
    return e;
}

// A rectangle of `width` centred on a band `bandWidth` wide.
inline QRectF centred(double bandWidth, double y, double width, double height) {
    return QRectF((bandWidth - width) / 2, y, width, height);
}

} // namespace arrowsel::reports::parts
