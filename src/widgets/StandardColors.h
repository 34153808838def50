#pragma once

#include <array>

#include <QRgb>

// The classic sixteen colours, in the order of the colour grid's cells: the grid, the colour
// names and the button glyphs all use this one palette. There is no system palette to copy it
// from on every platform.
constexpr std::array<QRgb, 16> standardColors = {
    qRgb(0, 0, 0),
    qRgb(128, 0, 0),
    qRgb(0, 128, 0),
    qRgb(128, 128, 0),
    qRgb(0, 0, 128),
    qRgb(128, 0, 128),
    qRgb(0, 128, 128),
    qRgb(192, 192, 192),
    qRgb(128, 128, 128),
    qRgb(255, 0, 0),
    qRgb(0, 255, 0),
    qRgb(255, 255, 0),
    qRgb(0, 0, 255),
    qRgb(255, 0, 255),
    qRgb(0, 255, 255),
    qRgb(255, 255, 255),
};
