#pragma once

#include <QIcon>
#include <QString>

// The icon drawn from an SVG file (a resource path such as
// ":/icons/BEXE.svg"). Each file is read and parsed once per run: every
// icon of the same file shares one renderer, and each size and mode is drawn
// once. A file that cannot be read or parsed gives a null icon.
QIcon SvgIcon(const QString& path);
