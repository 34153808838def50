// Zoom through the real window: marks land on the picture pixels under the pointer at any zoom,
// the outline stays visible zoomed out, and the keys, the wheel and the control drive it.
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include "MainWindowFixture.h"

namespace {

const QRgb slate = qRgb(120, 160, 200);

class Zoom : public MainWindow {
protected:
    void openPicture(QSize size)
    {
        QImage image(size, QImage::Format_RGB888);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, 200));
        ASSERT_TRUE(image.save(dir.filePath("big.bmp"), "BMP"));
        prompts.openAnswers.push_back({ { path("big.bmp"), 1 } });
        action("OpenBrowseMI")->trigger();
        ASSERT_EQ(picture().size(), size);
    }
    QComboBox *control() const { return window->findChild<QComboBox *>("zoomCB"); }
    QScrollArea *area() const { return window->findChild<QScrollArea *>("ScrollBox1"); }
    qreal zoom() const { return view()->zoom(); }

    // Marks by a drag between two view positions at the zoom in force, then the same picture
    // pixels at actual pixels, and answers both pictures.
    std::pair<QImage, QImage> markHereAndAtActualPixels(QPoint from, QPoint to)
    {
        const ViewMapping map = view()->mapping();
        drag(from, to);
        const QImage zoomed = picture().copy();
        key(QKeySequence(QStringLiteral("Ctrl+Z")));
        key(QKeySequence(QStringLiteral("Ctrl+0")));
        drag(map.pictureAt(from), map.pictureAt(to));
        return { zoomed, picture().copy() };
    }
};

} // namespace

TEST_F(Zoom, MarksAtFitAndAtTwiceTheSamePixelsAsAtActualPixels)
{
    window->resize(900, 700);
    openPicture(QSize(1400, 1000));
    const QImage original = picture().copy();
    key(QKeySequence(QStringLiteral("Ctrl+9")));
    ASSERT_LT(zoom(), 0.7) << "a fit between the steps";
    const auto [atFit, actual] = markHereAndAtActualPixels({ 33, 41 }, { 211, 97 });
    EXPECT_EQ(atFit, actual);

    key(QKeySequence(QStringLiteral("Ctrl+=")));
    key(QKeySequence(QStringLiteral("Ctrl+=")));
    ASSERT_EQ(zoom(), 2);
    const auto [atTwice, actualAgain] = markHereAndAtActualPixels({ 33, 41 }, { 211, 97 });
    EXPECT_EQ(atTwice, actualAgain);
    EXPECT_NE(atTwice, original) << "nothing was marked";
}

TEST_F(Zoom, TheOutlineShowsAtAnEighth)
{
    QImage plain(1600, 1200, QImage::Format_RGB888);
    plain.fill(slate);
    ASSERT_TRUE(plain.save(dir.filePath("plain.bmp"), "BMP"));
    prompts.openAnswers.push_back({ { path("plain.bmp"), 1 } });
    action("OpenBrowseMI")->trigger();
    toSelectionMode();
    control()->setCurrentIndex(2);
    emit control()->activated(2);
    ASSERT_EQ(zoom(), 0.125);
    drag({ 20, 20 }, { 120, 80 });
    const QImage shown = view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const ViewMapping map = view()->mapping();
    const int top = map.viewArea(QRect(view()->mapping().pictureAt({ 20, 20 }), QSize(1, 1))).top();
    int black = 0;
    for (int x = 30; x < 110; ++x)
        black += (shown.pixel(int(x * map.devicePixelRatio), int(top * map.devicePixelRatio))
                     & 0xffffff)
            == 0;
    EXPECT_GT(black, 10) << "the outline's dashes show over the scaled picture";
}

TEST_F(Zoom, KeysWheelAndFitFollowTheUser)
{
    openPicture(QSize(3000, 2000));
    key(QKeySequence(QStringLiteral("Ctrl+9")));
    const qreal fitted = zoom();
    EXPECT_TRUE(control()->currentText().startsWith("Fit ("));
    window->resize(window->width() / 2, window->height());
    EXPECT_LT(zoom(), fitted) << "fit stays fit when the window shrinks";
    key(QKeySequence(QStringLiteral("Ctrl+0")));
    EXPECT_EQ(zoom(), 1);
    EXPECT_EQ(control()->currentText(), "100%");
    key(QKeySequence(QStringLiteral("Ctrl+-")));
    EXPECT_EQ(zoom(), 2.0 / 3);

    // Ctrl and the wheel zoom about the point under the pointer.
    const QPointF at(150, 90);
    const QPoint scroll(
        area()->horizontalScrollBar()->value(), area()->verticalScrollBar()->value());
    const QPoint under = view()->mapping().pictureAt(at, scroll);
    QWheelEvent wheel(at, area()->viewport()->mapToGlobal(at), {}, { 0, 120 }, Qt::NoButton,
        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area()->viewport(), &wheel);
    EXPECT_EQ(zoom(), 1);
    const QPoint scrolled(
        area()->horizontalScrollBar()->value(), area()->verticalScrollBar()->value());
    EXPECT_EQ(view()->mapping().pictureAt(at, scrolled), under);
}
