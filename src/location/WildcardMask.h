#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>

// The tree's file mask: wildcards separated by ";", "*" any run and "?" one character, letters
// compared without case. As users of "*.*" expect, a mask ending in ".*" also takes names
// without an extension. An empty mask takes every name.
class WildcardMask {
public:
    explicit WildcardMask(const QString &masks = QStringLiteral("*.*"));

    bool matches(const QString &name) const;

private:
    QList<QRegularExpression> patterns;
};
