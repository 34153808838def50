#pragma once

#include <QTest>

#include <gtest/gtest.h>

// Waiting for what other threads or the event loop bring about, as QTRY_* does; unlike QTRY_*,
// a condition that never comes true fails the GoogleTest test. Spins the event loop for at
// most five seconds, checking as it goes.
#define EXPECT_SOON(condition)                                                                     \
    EXPECT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, 5000)) << #condition

#define EXPECT_EQ_SOON(actual, expected)                                                           \
    do {                                                                                           \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000);                       \
        EXPECT_EQ(actual, expected);                                                               \
    } while (false)
