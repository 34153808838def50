// The picture view on a 4K and an 8K screenshot in a 1920 by 1080 window: a zoom step, and a
// mark repainted at "fit", each against the same work at actual pixels in the same run. Aims: a
// mark at fit within 1.5 times the mark at actual pixels, a zoom step on 8K within 33 ms.

#include <string>
#include <utility>

#include <QCoreApplication>
#include <QScrollArea>
#include <QWindow>

#include <benchmark/benchmark.h>

#include "ScreenshotPicture.h"
#include "app/PictureView.h"
#include "editor/ImageDocument.h"

namespace {

class ShownPicture {
public:
    explicit ShownPicture(const QImage &picture)
    {
        document.setPicture(Picture(picture.copy()));
        view.setDocument(&document);
        area.setWidget(&view);
        area.resize(1920, 1080);
        area.show();
        // Painting starts once the window system has shown the window.
        while (!area.windowHandle() || !area.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ~ShownPicture() { area.takeWidget(); }

    void fit()
    {
        view.setZoom(ZoomSteps::fitting(view.pictureSize(), area.viewport()->size(), 1));
        paint();
    }
    // Paints the whole window's view of the picture at once.
    void paint() { view.repaint(view.visibleRegion()); }

    void markAndPaint(const QRect &rect)
    {
        document.mouseDown(rect.topLeft(), QSize());
        document.mouseUp(rect.bottomRight());
        document.mark(qRgb(255, 255, 0), false);
        view.repaint(view.mapping().viewArea(rect));
    }

    ImageDocument document;
    PictureView view;
    QScrollArea area;
};

void markBench(benchmark::State &state, const QImage &picture, bool atFit)
{
    ShownPicture shown(picture);
    if (atFit)
        shown.fit();
    shown.paint();
    // A line of text's worth, as a user marks; inside what actual pixels show of the picture.
    const QRect marked(300, 200, 700, 40);
    for (auto _ : state)
        shown.markAndPaint(marked);
}

void zoomStepBench(benchmark::State &state, const QImage &picture)
{
    ShownPicture shown(picture);
    shown.fit();
    const qreal fitted = shown.view.zoom();
    const qreal step = ZoomSteps::smaller(fitted);
    bool out = false;
    for (auto _ : state) {
        out = !out;
        shown.view.setZoom(out ? step : fitted);
        shown.paint();
    }
}

void paintActualBench(benchmark::State &state, const QImage &picture)
{
    ShownPicture shown(picture);
    for (auto _ : state)
        shown.paint();
}

// BM_MarkAtActualPixels, BM_MarkAtFit and BM_ZoomStep on the 4K and the 8K screenshot, and
// BM_PaintActualPixels8K.
const bool zoomBenchesRegistered = [] {
    const std::pair<const char *, const QImage &(*)()> pictures[]
        = { { "4K", screenshot4K }, { "8K", screenshot8K } };
    const auto add = [](const std::string &name, auto run) {
        benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
    };
    for (const auto &[size, picture] : pictures) {
        add(std::string("BM_MarkAtActualPixels") + size,
            [picture](benchmark::State &state) { markBench(state, picture(), false); });
        add(std::string("BM_MarkAtFit") + size,
            [picture](benchmark::State &state) { markBench(state, picture(), true); });
    }
    add("BM_PaintActualPixels8K",
        [](benchmark::State &state) { paintActualBench(state, screenshot8K()); });
    for (const auto &[size, picture] : pictures)
        add(std::string("BM_ZoomStep") + size,
            [picture](benchmark::State &state) { zoomStepBench(state, picture()); });
    return true;
}();

} // namespace
