#pragma once

#include <memory>

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "FakePrinter.h"
#include "FakePrompts.h"
#include "app/PictureView.h"
#include "app/TmainF.h"

const QString quickText = QStringLiteral(
    "You are in quick marking mode. It will mark immediately after selecting part of an image!");
const QString selectionText = QStringLiteral(
    "You are in Selection mode. Select part of image first, then go to the menu and choose "
    "selection ...");
const QString nothingToMark = QStringLiteral(
    "Nothing selected. Select the region you want to mark with the left mouse button.");
const QString nothingToKeep = QStringLiteral(
    "Nothing selected. Select the region you want to keep with the left mouse button.");

// A main window in a temporary executable folder, shown and active on the offscreen screen.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    void open()
    {
        window = std::make_unique<TmainF>(
            prompts, [this]() -> Printer & { return printer; }, exePath());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void reopen()
    {
        window->close();
        window.reset();
        open();
    }

    QString exePath() const { return dir.filePath(QStringLiteral("quillet")); }
    QString folder() const { return QDir::toNativeSeparators(dir.path()); }
    QString path(const QString &name) const { return QDir::toNativeSeparators(dir.filePath(name)); }
    // A small picture file written by Qt, independent of Quillet's own writers.
    QString makePicture(const QString &name, QRgb color, QSize size = QSize(30, 20))
    {
        QImage image(size, QImage::Format_RGB888);
        image.fill(color);
        EXPECT_TRUE(image.save(dir.filePath(name), "BMP"));
        return path(name);
    }
    PictureView *view() const { return window->imageControl(); }
    const QImage &picture() const { return window->document().picture().image(); }
    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }
    QMenu *menu(const char *name) const
    {
        return window->findChild<QMenu *>(QString::fromLatin1(name));
    }
    QPushButton *modeButton() const
    {
        return window->findChild<QPushButton *>(QStringLiteral("BitBtnWithColor1"));
    }
    void key(const QKeySequence &keys) { QTest::keySequence(window.get(), keys); }

    // Drag with the left button over the picture, in picture pixels (scale 1).
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(view(), button, Qt::NoModifier, from);
        QTest::mouseMove(view(), (from + to) / 2);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), button, Qt::NoModifier, to);
    }

    void toSelectionMode()
    {
        action("selectionmodeMI")->trigger();
        ASSERT_TRUE(window->selectionmode());
    }

    QTemporaryDir dir;
    FakePrompts prompts;
    FakePrinter printer;
    std::unique_ptr<TmainF> window;
};
