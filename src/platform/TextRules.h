#pragma once

#include <optional>

#include <QByteArrayView>
#include <QString>

// Rules of text that several parts of the program must apply alike.

// Only the letters A to Z are lowered: names compare as the file system of the original
// platform compared extensions, whatever the user's locale.
QString lowerAZ(QString text);
bool equalIgnoringAZCase(const QString &a, const QString &b);

// An optional sign and decimal digits only, fitting 32 bits; nothing else is a number.
std::optional<int> parseDecimal(QByteArrayView text);
std::optional<int> parseDecimal(const QString &text);
