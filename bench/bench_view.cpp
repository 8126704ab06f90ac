// Repainting the drawing area over the largest KiCad demo board at board zoom, offscreen: a full
// drawing of the design, and a repaint from the cached picture. Each repaint is then shown: the
// area's paint event renders it into an image as it would onto the screen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "qor/importers/kicad.h"
#include "qor/kernel/kernel.h"
#include "qor/widgets/board_view.h"

namespace {

const char* const kVideo = "/usr/share/kicad/demos/video/video.kicad_pcb";

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_view";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// The video board open in the kernel and a 1280 x 800 drawing area zoomed to it.
class VideoView {
  public:
    VideoView() {
        App();
        qdb_ = (std::filesystem::temp_directory_path() /
                ("qor_bench_view_" + std::to_string(::getpid()) + ".qdb"))
                   .string();
        qor::kicad::ImportReport report;
        std::string error;
        if (!qor::kicad::importBoardFile(kVideo, qdb_, report, error) ||
            !DB_OpenDesign(qdb_.c_str()))
            return;
        view_ = std::make_unique<qor::widgets::BoardView>();
        view_->resize(1280, 800);
        view_->layers().ReadFromKernel();
        if (!view_->ReadBoardExtent()) return;
        view_->ZoomToBoard();
        ok_ = true;
    }
    ~VideoView() {
        view_.reset();
        DB_CloseDesign();
        std::filesystem::remove(qdb_);
    }
    bool ok() const { return ok_; }
    qor::widgets::BoardView& view() { return *view_; }

  private:
    std::string qdb_;
    std::unique_ptr<qor::widgets::BoardView> view_;
    bool ok_ = false;
};

void BM_RepaintVideoBoardFull(benchmark::State& state) {
    VideoView v;
    if (!v.ok()) {
        state.SkipWithError("cannot import the video board (kicad-demos)");
        return;
    }
    QImage shown(v.view().size(), QImage::Format_RGB32);
    for (auto _ : state) {
        v.view().Invalidate();
        v.view().Repaint();
        v.view().render(&shown);
    }
    state.counters["full_draws"] = v.view().fullDrawCount();
}
BENCHMARK(BM_RepaintVideoBoardFull)->Unit(benchmark::kMillisecond);

void BM_RepaintVideoBoardCached(benchmark::State& state) {
    VideoView v;
    if (!v.ok()) {
        state.SkipWithError("cannot import the video board (kicad-demos)");
        return;
    }
    QImage shown(v.view().size(), QImage::Format_RGB32);
    v.view().Repaint();
    v.view().render(&shown);  // the first showing settles the area
    const int full = v.view().fullDrawCount();
    for (auto _ : state) {
        v.view().Repaint();
        v.view().render(&shown);
    }
    if (v.view().fullDrawCount() != full) state.SkipWithError("the cached picture was not used");
}
BENCHMARK(BM_RepaintVideoBoardCached)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
