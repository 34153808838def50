#include "widgets/EscClose.h"

#include <QWidget>

void escclose(QWidget *window, QChar &key)
{
    if (key != QChar(27))
        return;
    key = QChar(0);
    if (window)
        window->close();
}
