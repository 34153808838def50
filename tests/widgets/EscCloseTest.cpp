#include "widgets/EscClose.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(EscClose, ClosesOnEscapeOnlyAndSwallowsTheKey)
{
    QWidget window;
    window.show();
    QChar key = u'a';
    escclose(&window, key);
    EXPECT_EQ(key, u'a');
    EXPECT_TRUE(window.isVisible());
    key = QChar(27);
    escclose(&window, key);
    EXPECT_EQ(key, QChar(0));
    EXPECT_FALSE(window.isVisible());
}
