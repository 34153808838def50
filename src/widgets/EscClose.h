#pragma once

#include <QChar>

class QWidget;

// Closes `window` when `key` is Escape and swallows the key (sets it to character 0).
void escclose(QWidget *window, QChar &key);
