// Printing a four-layer 4000 x 3000 picture over the whole printable area of a Letter
// page at 600 dpi (4800 x 6600 device pixels) through the print operation, onto a QImage
// and onto a PDF printer; each step is one 256 x 256 block, and the slowest step is
// reported, since the progress dialog answers only between steps. Beside them the
// engine's share alone: the same block-wise bilinear resize of the composite with no
// drawing. And one drag step of the print preview: the picture moved and the preview
// repainted from the preview cache at its zoom. Offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "app/shell/op_print.h"
#include "app/shell/print_metrics.h"
#include "app/shell/print_preview.h"
#include "bench/noise_picture.h"
#include "bench/offscreen_program.h"
#include "engine/pixels/resample.h"

namespace {

constexpr int32_t kPageWidth = 4800;
constexpr int32_t kPageHeight = 6600;
constexpr PTzRECT kSource = {0, 0, 4000, 3000};
constexpr PTzRECT kPage = {0, 0, kPageWidth, kPageHeight};

ITzPicture& Picture()
{
    static ITzPicture* picture = [] {
        ITzPicture* made = MakeNoisePicture(4000, 3000, 4);
        made->DoPreparePreviewCache();
        return made;
    }();
    return *picture;
}

// Runs the print operation's steps on the painter, timing each.
void PrintPage(benchmark::State& state, QPainter& painter, double* slowest)
{
    COpPrint print;
    print.Set(&Picture(), &painter, &kSource, &kPage, ITzRESAMPLE_BILINEAR);
    if (!print.Start()) {
        state.SkipWithError("the print did not start");
        return;
    }
    uint32_t percent = 0;
    for (;;) {
        const auto begun = std::chrono::steady_clock::now();
        const int more = print.Step(&percent);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begun;
        *slowest = std::max(*slowest, took.count());
        if (!more)
            break;
    }
    if (!print.End())
        state.SkipWithError("a block failed");
}

void PrintToImage(benchmark::State& state)
{
    OffscreenApplication("print_bench");
    QImage target(kPageWidth, kPageHeight, QImage::Format_RGB32);
    double slowest = 0;
    for (auto _ : state) {
        QPainter painter(&target);
        PrintPage(state, painter, &slowest);
    }
    state.counters["slowest_step_ms"] = slowest;
    state.SetItemsProcessed(int64_t(state.iterations()) * kPageWidth * kPageHeight);
}

void PrintToPdf(benchmark::State& state)
{
    OffscreenApplication("print_bench");
    const QString path = QDir::temp().filePath(QStringLiteral("print_bench.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(600);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                      QMarginsF(0.25, 0, 0.25, 0), QPageLayout::Inch));
    double slowest = 0;
    for (auto _ : state) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            state.SkipWithError("the PDF could not be written");
            break;
        }
        PrintPage(state, painter, &slowest);
        painter.end();
    }
    QFile::remove(path);
    state.counters["slowest_step_ms"] = slowest;
    state.SetItemsProcessed(int64_t(state.iterations()) * kPageWidth * kPageHeight);
}

// The engine alone: the composite over white, resized block by block, not drawn.
int ReadComposite(PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, void*)
{
    for (uint8_t* plane : bitmap->planes)
        for (int32_t y = 0; plane && y < bitmap->height; ++y)
            std::memset(plane + size_t(y) * size_t(bitmap->stride), 0xFF, size_t(bitmap->width));
    _tagITzZOOMLEVEL one = {1, 1};
    return Picture().GetPreviewData2(rect, bitmap, &one, 1) == 0;
}

void EngineResizeOnly(benchmark::State& state)
{
    const _tagPTzSIZE from = {4000, 3000};
    const _tagPTzSIZE to = {kPageWidth, kPageHeight};
    const _tagITzRESIZEINPUTPROCINFO input = {&ReadComposite, nullptr};
    _tagITzCHANNELBITMAP block = {};
    const _tagPTzSIZE blockSize = {256, 256};
    ITzUtilityChannelBitmap::CreateBitmap(&block, &blockSize, 1, 3);
    block.kind = PTzCOLORMODE_ARGB;
    for (auto _ : state) {
        void* setting = ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_BILINEAR, &from, &to, &input);
        _tagPTzRECTENUM walk;
        PTzRectEnumFill(&kPage, &walk, nullptr);
        PTzRECT tile;
        while (PTzRectEnumGetCurrent(&walk, &tile))
            ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, setting, &tile, &block);
        ITzResize::ResizeReleaseSettingHandle(ITzRESAMPLE_BILINEAR, setting);
    }
    ITzUtilityChannelBitmap::ReleaseBitmap(&block);
    state.SetItemsProcessed(int64_t(state.iterations()) * kPageWidth * kPageHeight);
}

void PreviewDragStep(benchmark::State& state)
{
    OffscreenApplication("print_bench");
    const quorvel::CPrintCaps letter(600, 600, kPageWidth, kPageHeight, 150, 0, 5100, 6600);
    RPrintPreview preview(nullptr);
    preview.resize(480, 620);
    preview.show();
    QApplication::processEvents();
    preview.SetPrinterDC(&letter);
    preview.SetPicture(&Picture());
    const PTzRECT start = preview.GetPictureRect();
    int32_t step = 0;
    for (auto _ : state) {
        step = (step + 37) % 600;
        preview.OffsetPicture(start.left + step - preview.GetPictureRect().left, 0);
        preview.repaint();
    }
}

}  // namespace

BENCHMARK(PrintToImage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EngineResizeOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PreviewDragStep)->Unit(benchmark::kMillisecond);
