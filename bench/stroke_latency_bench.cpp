// The brush benchmark's stroke (bench/brush_stroke.h, its samples on whole pixels) as the
// program meets it: tablet pressure and mouse events delivered to an offscreen view of a
// four-layer 4000 x 3000 picture at 1/1, through the tool manager and the pen's
// front-end, the idle turns the program's pump runs, and the view's paints; in a 2048 x
// 2048 viewport, which shows the whole stroke, and in one of 1920 x 1080, which shows the
// upper half; with the machine's paint helpers composing the stale rows beside the
// painting thread, and with none (a machine of one processor). Against the engine alone
// replaying the same samples with the same tip on the same picture, in the same run.
//
// Latency: from a move event's delivery to the end of the paint that shows its dabs (the
// move's dabs painted, the stroke cache pushed as the engine replay's idle calls push it,
// and the view's paint of the last change). Counters: its median and 99th percentile in
// ms, and the replay's time over the engine's in percent.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTabletEvent>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/shell/application.h"
#include "app/shell/document.h"
#include "app/shell/paint_workers.h"
#include "app/shell/picture_view.h"
#include "app/ui/brush_manager.h"
#include "app/ui/brush_round.h"
#include "app/ui/tool_brush.h"
#include "app/ui/tool_manager.h"
#include "bench/brush_stroke.h"
#include "bench/kernel_builds.h"
#include "bench/noise_picture.h"
#include "bench/offscreen_program.h"
#include "bench/tool_program.h"
#include "engine/tools/tool_pen.h"

namespace {

using namespace brush_bench;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kSpacingPercent = 25;  // the benchmark's step: a quarter of the diameter

// Counts the picture's reports of changed pixels.
struct ChangeCounter : ITzPictDataChangeHandler {
    void DataChanged(const PTzRECT*, int) override { ++changes; }
    uint64_t changes = 0;
};

// Takes the pen's stroke points from its mouse track, counting those finished, and hands
// them on to the pen: how the benchmark learns that a move's dabs are painted.
struct PointCounter : ITzMouseTrackOwner {
    int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override
    {
        const int done = tool->DoPoint(point, picture);
        dabsDone += done != 0;
        return done;
    }
    ITzToolBrushBase* tool = nullptr;
    size_t dabsDone = 0;
};

// The program (its application object, the tool manager, the brush library with the
// benchmark's two tips) and a view of the noise picture.
struct Scene {
    Scene()
    {
        OffscreenApplication("stroke_latency_bench");
        app = StartToolProgram(&tools);
        CBrushManager* brushes = CBrushManager::GetBrushManager();
        for (uint32_t diameter : {200u, 600u}) {
            auto round = std::make_unique<CBrushRound>(diameter, kHardness);
            round->SetSpacing(kSpacingPercent);
            brushIndex[int32_t(diameter)] = brushes->GetBrushCount();
            brushes->AppendBrush(std::move(round));
        }
        tools->SelectTool(tool_id::PEN);
        pen = static_cast<CTool_BrushBase*>(tools->GetCurrentTool());

        picture = MakeNoisePicture(4000, 3000, 4);
        picture->DoPreparePreviewCache();
        document.SetPictureHandle(picture);
        picture->InsertDataChangeHandler(&changes);
        view = ShowBareView(&document, 2048, 2048);
        QApplication::processEvents();
        view->OnActivateView(true);
    }

    std::unique_ptr<CTamsleyApp> app;
    CToolManager* tools = nullptr;
    CTool_BrushBase* pen = nullptr;
    std::map<int32_t, uint32_t> brushIndex;
    ITzPicture* picture = nullptr;
    CTamsleyDoc document;
    ChangeCounter changes;
    std::unique_ptr<CTamsleyView> view;
};

Scene& TheScene()
{
    static Scene* scene = new Scene();
    return *scene;
}

// The engine's time for one stroke of a diameter with a build of the row loops, for the
// replay's comparison.
std::map<std::pair<std::string, int32_t>, double>& EngineSeconds()
{
    static std::map<std::pair<std::string, int32_t>, double> seconds;
    return seconds;
}

// The engine alone: a fresh pen per stroke with the library's tip, as the front-end sets
// it up, replayed as the brush benchmark replays it.
void EngineStroke(benchmark::State& state)
{
    Scene& scene = TheScene();
    const int32_t diameter = int32_t(state.range(0));
    CBrushDataBase* record = CBrushManager::GetBrushManager()->GetBrush(scene.brushIndex[diameter]);
    _tagPTzCOLOR black = {PTzCOLORMODE_ARGB, 255, {}};
    _tagITzZOOMLEVEL zoom = {1, 1};
    const Stroke& stroke = SharedStroke(diameter, StepPixels(diameter), true);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto tool = std::make_unique<Counting<ITzToolPen>>();
        tool->SetDisplayZoomlevel(&zoom);
        tool->SetColor(&black, nullptr);
        tool->SetPressFlag(ITzBRUSH_PRESS_SIZE);
        tool->SetBrush(record->GetEngineBrush());
        const bool painted = ReplayStroke(stroke, *tool, *scene.picture);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        state.PauseTiming();
        tool.reset();
        const bool undone = painted && scene.picture->DoUndo() != 0;
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("the engine did not paint the stroke");
            return;
        }
    }
    EngineSeconds()[{kernel_bench::CurrentBuild(), diameter}] = seconds / double(state.iterations());
    Report(state, stroke);
}

// A sample as the pen delivers it: its pressure in a tablet event, then the mouse event Qt
// makes of it.
void Deliver(CTamsleyView& view, QEvent::Type tabletType, QEvent::Type mouseType, const _tagPTzMOUSEPOINT& sample)
{
    QWidget* area = view.viewport();
    const QPointF at(sample.x / 16, sample.y / 16);
    const QPointF global = area->mapToGlobal(at);
    QTabletEvent tablet(tabletType, QPointingDevice::primaryPointingDevice(), at, global, sample.pressure / 255.0, 0,
                        0, 0, 0, 0, Qt::NoModifier, Qt::LeftButton, Qt::LeftButton);
    QApplication::sendEvent(area, &tablet);
    const Qt::MouseButtons held = mouseType == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = mouseType == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent mouse(mouseType, at, global, button, held, Qt::NoModifier);
    QApplication::sendEvent(area, &mouse);
}

// The idle turns and paints after a sample until its dabs are painted and the cache
// pushed; the end of the last paint that followed a change, or the start when none did.
// False when the pen makes no progress.
bool Settle(Scene& scene, const PointCounter& counter, size_t dabs, size_t newDabs, Clock::time_point start,
            Clock::time_point* shown)
{
    *shown = start;
    uint64_t paintedChanges = scene.changes.changes;
    const auto turn = [&] {
        scene.app->OnIdle();
        const uint64_t changes = scene.changes.changes;
        const uint64_t paints = scene.view->GetPaintCounters().paints;
        QApplication::processEvents();
        if (scene.view->GetPaintCounters().paints != paints && changes != paintedChanges) {
            paintedChanges = changes;
            *shown = Clock::now();
        }
    };
    for (size_t calls = 0; counter.dabsDone < dabs; ++calls) {
        if (calls > kIdleCallsPerDabLimit * (newDabs + 1))
            return false;
        turn();
    }
    for (int i = 0; i < kIdleCallsAfterPoints; ++i)
        turn();
    return true;
}

int64_t MachineHelpers()
{
    return CPaintWorkers::HelpersFor(std::thread::hardware_concurrency());
}

void FrontEndStroke(benchmark::State& state)
{
    Scene& scene = TheScene();
    const int32_t diameter = int32_t(state.range(0));
    const int height = int(state.range(1));
    SetPaintHelpers(unsigned(state.range(2)));
    scene.view->resize(height == 2048 ? 2048 : 1920, height);
    QApplication::processEvents();
    scene.pen->SetBrushIndex(scene.brushIndex[diameter]);
    const Stroke& stroke = SharedStroke(diameter, StepPixels(diameter), true);
    std::vector<double> latencies;
    uint64_t paints = 0;
    double seconds = 0;
    for (auto _ : state) {
        const uint64_t paintsBefore = scene.view->GetPaintCounters().paints;
        const auto start = Clock::now();
        Deliver(*scene.view, QEvent::TabletPress, QEvent::MouseButtonPress, stroke.samples.front());
        PointCounter counter;
        counter.tool = scene.pen->GetEngineTool();
        if (!counter.tool || !counter.tool->GetMouseTrack()) {
            state.SkipWithError("the pen did not start a stroke");
            return;
        }
        counter.tool->GetMouseTrack()->SetOwner(&counter);
        const size_t last = stroke.samples.size() - 1;
        bool settled = true;
        for (size_t k = 0; k < last && settled; ++k) {
            const auto delivered = Clock::now();
            if (k > 0)
                Deliver(*scene.view, QEvent::TabletMove, QEvent::MouseMove, stroke.samples[k]);
            const size_t before = k > 0 ? stroke.dabsAfterSample[k - 1] : 0;
            Clock::time_point shown;
            settled = Settle(scene, counter, stroke.dabsAfterSample[k], stroke.dabsAfterSample[k] - before,
                             delivered, &shown);
            if (k > 0 && stroke.dabsAfterSample[k] > before)
                latencies.push_back(std::chrono::duration<double, std::milli>(shown - delivered).count());
        }
        // The release carries pressure 0: the last sample comes as a move first, so that
        // the release only ends the stroke there, as the engine replay's mouse-up does.
        Deliver(*scene.view, QEvent::TabletMove, QEvent::MouseMove, stroke.samples[last]);
        Deliver(*scene.view, QEvent::TabletRelease, QEvent::MouseButtonRelease, stroke.samples[last]);
        while (scene.app->OnIdle())
            QApplication::processEvents();
        QApplication::processEvents();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        paints += scene.view->GetPaintCounters().paints - paintsBefore;
        state.PauseTiming();
        const bool undone = settled && counter.dabsDone == stroke.dabs.size() && scene.picture->DoUndo() != 0;
        QApplication::processEvents();
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("the front-end did not paint the stroke");
            return;
        }
    }
    SetPaintHelpers(MachineHelpers());
    state.counters["latency_median_ms"] = Percentile(latencies, 0.5);
    state.counters["latency_p99_ms"] = Percentile(latencies, 0.99);
    state.counters["paints_per_stroke"] = double(paints) / double(state.iterations());
    const double engine = EngineSeconds()[{kernel_bench::CurrentBuild(), diameter}];
    if (engine > 0)
        state.counters["over_engine_%"] = 100.0 * (seconds / double(state.iterations()) / engine - 1.0);
    Report(state, stroke);
}

// The engine's runs first, so that each replay compares with them; both once per build of
// the row loops the processor runs.
BENCHMARK_EACH_BUILD(EngineStroke)->Arg(200)->Arg(600)->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);
BENCHMARK_EACH_BUILD(FrontEndStroke)
    ->ArgNames({"diameter", "viewport_height", "paint_helpers"})
    ->ArgsProduct({{200, 600}, {2048, 1080}, {MachineHelpers(), 0}})
    ->MinWarmUpTime(0.5)->MinTime(3)->Unit(benchmark::kMillisecond);

}  // namespace
