// Typing as the program meets it: a key press delivered to the text tool's key sink, the
// text tool's front-end and the engine inserting the character into a text layer of 1,000
// characters (20 rows of 50) over a two-layer 2000 x 1500 noise picture, and the paint of
// the main frame's view, 1/1 in a 1280 x 800 window, that shows it. Each typed character
// is taken back with Backspace outside the timing, so every press meets the same text.
//
// Latency: from the key press's delivery to the end of the paint after it. Counters: its
// median and 99th percentile in ms (the program's aim: under 16), and the picture tiles
// the paints composed for a press and its Backspace.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <chrono>
#include <memory>
#include <vector>

#include "app/shell/application.h"
#include "app/shell/child_frame.h"
#include "app/shell/document.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/text_tool_edit.h"
#include "app/ui/tool_manager.h"
#include "app/ui/tool_text.h"
#include "bench/noise_picture.h"
#include "bench/offscreen_program.h"
#include "bench/tool_program.h"
#include "engine/picture/layer_text.h"
#include "engine/tools/mouse_track.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 20;
constexpr int kRowLength = 50;

// The panel's key sink; the display is not measured.
struct SinkPanel : ITextToolPanel {
    explicit SinkPanel(QWidget* parent) : sink(parent) {}
    RTextToolEdit* GetKeySink() override { return &sink; }
    void ShowTextSettings(const _tagPTzFONTDATAINFO&, const _tagPTzCOLOR&, uint8_t) override {}
    RTextToolEdit sink;
};

void Key(QWidget* to, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
}

// The program with the text tool current and the text layer's caret at its end.
struct Scene {
    Scene()
    {
        OffscreenApplication("text_latency_bench");
        app = StartToolProgram(&tools);
        frame = app->GetMainFrame();
        frame->resize(1500, 1000);
        frame->show();
        picture = MakeNoisePicture(2000, 1500, 2);
        auto document = std::make_unique<CTamsleyDoc>();
        document->SetPictureHandle(picture);
        document->SetPathName(QStringLiteral("text.bmp"));
        CChildFrame* child = frame->AddDocument(std::move(document));
        child->resize(1280, 800);
        QApplication::processEvents();
        view = frame->GetActiveTamsleyView();

        tools->SelectTool(tool_id::TEXT);
        text = static_cast<CTool_Text*>(tools->GetCurrentTool());
        panel = std::make_unique<SinkPanel>(frame);
        text->SetPanel(panel.get());
        text->SetHeight(-16);
        const PTzPOINT start = {40, 40};
        PTzPOINT zoomed;
        if (!view || view->PictureToZoomed(&start, &zoomed) != 0)
            return;
        const PTzPOINT client = view->ZoomedToClient(zoomed);
        _tagPTzMOUSEPOINT point = {client.x, client.y, 255, {}};
        tools->OnLButtonDown(0, &point, view);
        tools->OnLButtonUp(0, &point, view);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kRowLength - (row + 1 < kRows ? 1 : 0); ++column)
                Key(Sink(), Qt::Key_A, QString(QChar(u'a' + (row + column) % 26)));
            if (row + 1 < kRows)
                Key(Sink(), Qt::Key_Return, QStringLiteral("\r"));
        }
        QApplication::processEvents();
    }

    RTextToolEdit* Sink() { return &panel->sink; }
    uint32_t Characters() const
    {
        auto* layer = dynamic_cast<ITzLayerText*>(picture->GetLayerbyIndex(picture->GetActiveLayerID()));
        return layer ? layer->GetCharacterCount() : 0;
    }

    std::unique_ptr<CTamsleyApp> app;
    CToolManager* tools = nullptr;
    CMainFrame* frame = nullptr;
    ITzPicture* picture = nullptr;
    CTamsleyView* view = nullptr;
    CTool_Text* text = nullptr;
    std::unique_ptr<SinkPanel> panel;
};

Scene& TheScene()
{
    static Scene* scene = new Scene();
    return *scene;
}

void KeyToPaint(benchmark::State& state)
{
    Scene& scene = TheScene();
    if (!scene.view || scene.Characters() != kRows * kRowLength) {
        state.SkipWithError("no text layer of 1,000 characters");
        return;
    }
    std::vector<double> latencies;
    const uint64_t tiles = scene.view->GetPaintCounters().tilesComposed;
    for (auto _ : state) {
        const uint64_t paints = scene.view->GetPaintCounters().paints;
        const auto start = Clock::now();
        Key(scene.Sink(), Qt::Key_X, QStringLiteral("x"));
        for (int turn = 0; turn < 1000 && scene.view->GetPaintCounters().paints == paints; ++turn)
            QApplication::processEvents();
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        state.PauseTiming();
        const bool typed = scene.Characters() == kRows * kRowLength + 1;
        Key(scene.Sink(), Qt::Key_Backspace, QStringLiteral("\b"));
        QApplication::processEvents();
        state.ResumeTiming();
        if (!typed || scene.view->GetPaintCounters().paints == paints) {
            state.SkipWithError("the key press was never typed or never painted");
            return;
        }
    }
    state.counters["median_ms"] = Percentile(latencies, 0.5);
    state.counters["p99_ms"] = Percentile(latencies, 0.99);
    // Picture tiles composed for each press and its Backspace: the paints stay local.
    state.counters["tiles_per_key"] =
        double(scene.view->GetPaintCounters().tilesComposed - tiles) / double(latencies.size());
}
BENCHMARK(KeyToPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
