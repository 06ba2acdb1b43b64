// Fake dialogs, the test application, BMP bytes and the screenshot programs' helpers.
#include "tests/app/shell/shell_test_support.h"

#include <QApplication>
#include <algorithm>
#include <sys/inotify.h>
#include <unistd.h>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/shell/document.h"
#include "app/shell/main_frame.h"
#include "app/shell/operation.h"
#include "app/shell/picture_tiles.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"

namespace shelltest {

namespace {

void Put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// File and info headers of a bottom-up BMP whose pixel rows take rowBytes each.
std::string Headers(int width, int height, int bits, uint32_t paletteEntries, uint32_t rowBytes)
{
    const uint32_t offset = 14 + 40 + paletteEntries * 4;
    std::string out = "BM";
    Put32(out, offset + rowBytes * uint32_t(height));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, uint32_t(bits));
    Put32(out, 0);
    Put32(out, rowBytes * uint32_t(height));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, paletteEntries);
    Put32(out, 0);
    return out;
}

}  // namespace

quorvel::MessageAnswer FakeDialogs::ShowMessage(QWidget*, const QString& text, quorvel::MessageButtons,
                                                const QString&)
{
    messages.push_back(text);
    if (answers.empty())
        return quorvel::MessageAnswer::Cancel;
    const quorvel::MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakeDialogs::AskSaveFileName(QWidget*, const QString&, const QString& filter, QString* name, int* filterIndex)
{
    ++saveDialogs;
    saveFilter = filter;
    return save && save(name, filterIndex);
}

bool FakeDialogs::AskColour(QWidget*, QColor* chosen)
{
    colourOffered = *chosen;
    if (!colourChosen)
        return false;
    *chosen = colour;
    return true;
}

bool FakeDialogs::AskNewImage(QWidget*, int32_t* width, int32_t* height, QString* name)
{
    return newImage && newImage(width, height, name);
}

void FakeDialogs::RunProgress(COperationBase& operation)
{
    ++progressDialogs;
    if (onProgress)
        onProgress();
    if (realProgress)
        quorvel::CQtShellDialogs().RunProgress(operation);
    else if (cancelProgress)
        operation.Abandon();
    else
        RunRemainingSteps(operation);
}

ScopedDialogs::ScopedDialogs() : m_fake(new FakeDialogs())
{
    quorvel::SetShellDialogs(std::unique_ptr<quorvel::CShellDialogs>(m_fake));
}

ScopedDialogs::~ScopedDialogs()
{
    quorvel::SetShellDialogs(nullptr);
}

struct ModalWatcher::State {
    QTimer timer;
    QPointer<QDialog> last;
};

ModalWatcher::ModalWatcher(bool accept) : m_state(std::make_unique<State>())
{
    m_state->timer.setInterval(5);
    QObject::connect(&m_state->timer, &QTimer::timeout, [state = m_state.get(), seen = m_seen, accept] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == state->last)
            return;
        state->last = dialog;
        ++*seen;
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    m_state->timer.start();
}

ModalWatcher::~ModalWatcher() = default;

TestApp::TestApp(CShellParts parts)
{
    if (!parts.uninitEngine)
        parts.uninitEngine = [] {};
    parts.exitProgram = [exits = exits] { ++*exits; };
    app = std::make_unique<CTamsleyApp>(std::move(parts));
}

ReplaceCounter::ReplaceCounter(const QString& file) : m_name(QFile::encodeName(QFileInfo(file).fileName()))
{
    const QString folder = QFileInfo(file).absolutePath();
    QDir().mkpath(folder);
    m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch < 0 || inotify_add_watch(m_watch, QFile::encodeName(folder).constData(), IN_MOVED_TO) < 0)
        ADD_FAILURE() << "cannot watch " << folder.toStdString();
}

ReplaceCounter::~ReplaceCounter()
{
    if (m_watch >= 0)
        close(m_watch);
}

int ReplaceCounter::Count()
{
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = read(m_watch, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && m_name == event->name)
                ++m_count;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return m_count;
}

std::string Bmp24(const QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    std::string out = Headers(width, height, 24, 0, rowBytes);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            row += char(qBlue(pixel));
            row += char(qGreen(pixel));
            row += char(qRed(pixel));
        }
        row.resize(rowBytes, '\0');
        out += row;
    }
    return out;
}

std::string Bmp4(int width, int height, const std::vector<QRgb>& palette,
                 const std::function<int(int x, int y)>& index)
{
    const uint32_t rowBytes = ((uint32_t(width) + 1) / 2 + 3) & ~3u;
    std::string out = Headers(width, height, 4, uint32_t(palette.size()), rowBytes);
    for (QRgb colour : palette) {
        out += char(qBlue(colour));
        out += char(qGreen(colour));
        out += char(qRed(colour));
        out += '\0';
    }
    for (int y = height - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x)
            row[size_t(x / 2)] = char(row[size_t(x / 2)] | (index(x, y) << (x % 2 ? 0 : 4)));
        out += row;
    }
    return out;
}

QRgb FourColourAt(int x, int y)
{
    static const QRgb quadrants[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    return quadrants[(y >= 32 ? 2 : 0) + (x >= 48 ? 1 : 0)];
}

std::string FourColourBmp()
{
    const std::vector<QRgb> palette = {FourColourAt(0, 0), FourColourAt(48, 0), FourColourAt(0, 32),
                                       FourColourAt(48, 32)};
    return Bmp4(96, 64, palette, [](int x, int y) { return (y >= 32 ? 2 : 0) + (x >= 48 ? 1 : 0); });
}

void* MakeArgbPicture(int32_t width, int32_t height, const std::function<uint32_t(int x, int y)>& argb)
{
    void* handle = ITzPictCreate_1(uint32_t(width), uint32_t(height), nullptr);
    auto* layer = static_cast<ITzLayerImage*>(ITzPictGetPictureClass(handle)->GetLayerbyIndex(0));
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t value = argb(x, y);
            uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
            p[0] = uint8_t(value >> 24);
            p[1] = uint8_t(value >> 16);
            p[2] = uint8_t(value >> 8);
            p[3] = uint8_t(value);
        }
    }
    const _tagITzBITMAP bitmap = {width, height, width * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    const PTzRECT rect = {0, 0, width, height};
    layer->SetRectData(&rect, &bitmap);
    return handle;
}

std::vector<uint32_t> LayerArgb(ITzLayerBase* layer, const PTzRECT& rect)
{
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 4);
    std::vector<uint32_t> argb(size_t(width) * size_t(height));
    auto* image = layer && layer->IsImageLayer() ? static_cast<ITzLayerImage*>(layer) : nullptr;
    PTzRECT local = {};
    _tagITzBITMAP bitmap = {width, height, width * 4, 32, PTzCOLORMODE_ARGB, bytes.data()};
    if (!image || image->PRECTtoLRECT(&rect, &local) != 0)
        return argb;
    image->GetRectData(&local, &bitmap);
    for (size_t i = 0; i < argb.size(); ++i) {
        const uint8_t* p = &bytes[i * 4];
        argb[i] = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }
    return argb;
}

CChildFrame* OpenPicture(CMainFrame* frame, void* picture, const QString& title)
{
    auto document = std::make_unique<CTamsleyDoc>();
    document->SetPictureHandle(picture);
    document->SetPathName(title);
    return frame->AddDocument(std::move(document));
}

ShownView::ShownView(void* picture, QSize viewport) : document(std::make_unique<CTamsleyDoc>())
{
    document->SetPictureHandle(picture);
    view = std::make_unique<CTamsleyView>(document.get());
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->resize(viewport);
    view->show();
    (void)QTest::qWaitForWindowExposed(view.get());
    QCoreApplication::processEvents();
}

ShownView::~ShownView()
{
    view.reset();
}

QImage ShownView::Grab() const
{
    return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The boundary is the engine's own, read as the view reads it.
ViewBoundary SelectionBoundaryOnView(CTamsleyView& view)
{
    ViewBoundary boundary;
    const QPoint origin = view.PictureOrigin();
    const QRect visible = QRect(QPoint(0, 0), view.viewport()->size()) & QRect(origin, view.GetZoomedSize());
    if (visible.isEmpty() || !view.GetPicture()->GetSelectionLayer(0))
        return boundary;
    const QRect zoomed = visible.translated(-origin);
    const int stride = ((zoomed.width() + 31) >> 3) & ~3;
    std::vector<uint8_t> bits(size_t(stride) * zoomed.height(), 0);
    _tagITzBITMAP mask = {zoomed.width(), zoomed.height(), stride, 1, PTzCOLORMODE_2BIT, bits.data()};
    const PTzRECT rect = {zoomed.left(), zoomed.top(), zoomed.right() + 1, zoomed.bottom() + 1};
    _tagITzZOOMLEVEL zoom;
    view.GetZoomLevel(&zoom);
    if (view.GetPicture()->GetSelectionBoundary(&rect, &mask, &zoom) != 0)
        return boundary;
    boundary.visible = visible;
    boundary.zoomedCorner = zoomed.topLeft();
    boundary.bits.resize(size_t(zoomed.width()) * zoomed.height());
    for (int row = 0; row < zoomed.height(); ++row) {
        for (int column = 0; column < zoomed.width(); ++column)
            boundary.bits[size_t(row) * zoomed.width() + column] =
                bits[size_t(row * stride + (column >> 3))] & (0x80 >> (column & 7));
    }
    return boundary;
}

bool ViewBoundary::At(QPoint client) const
{
    if (!visible.contains(client))
        return false;
    const QPoint inside = client - visible.topLeft();
    return bits[size_t(inside.y()) * visible.width() + inside.x()];
}

int StripePhase(CTamsleyView& view, const QImage& shown)
{
    const ViewBoundary boundary = SelectionBoundaryOnView(view);
    struct Pixel {
        int sum;  // zoomed x + zoomed y
        bool black;
    };
    std::vector<Pixel> outline;
    for (int y = boundary.visible.top(); y <= boundary.visible.bottom(); ++y) {
        for (int x = boundary.visible.left(); x <= boundary.visible.right(); ++x) {
            if (!boundary.At({x, y}))
                continue;
            const QRgb pixel = shown.pixel(x, y);
            if (pixel != qRgb(0, 0, 0) && pixel != qRgb(255, 255, 255))
                return -1;
            const QPoint zoomed = QPoint(x, y) - boundary.visible.topLeft() + boundary.zoomedCorner;
            outline.push_back({zoomed.x() + zoomed.y(), pixel == qRgb(0, 0, 0)});
        }
    }
    if (outline.size() < 100)
        return -1;
    for (int p = 0; p < 8; ++p) {
        if (std::all_of(outline.begin(), outline.end(),
                        [p](const Pixel& pixel) { return (((pixel.sum + p) & 7) < 4) == pixel.black; }))
            return p;
    }
    return -1;
}

OutlineCheck CheckOutline(CTamsleyView& view, const QImage& shown)
{
    OutlineCheck check;
    const ViewBoundary boundary = SelectionBoundaryOnView(view);
    // The picture as the view composes it, without an outline.
    QImage plain(shown.size(), QImage::Format_RGB32);
    const QRect picture = QRect(view.PictureOrigin(), view.GetZoomedSize()) & shown.rect();
    {
        QPainter painter(&plain);
        _tagITzZOOMLEVEL zoom;
        view.GetZoomLevel(&zoom);
        const PTzRECT area = {picture.left(), picture.top(), picture.right() + 1, picture.bottom() + 1};
        DrawPictureTiles(&painter, view.GetPicture(), area, {view.PictureOrigin().x(), view.PictureOrigin().y()},
                         zoom, TileBackground::Checkerboard);
    }
    const auto colour = [&](QPoint at) {
        const QRgb pixel = shown.pixel(at);
        return pixel == qRgb(0, 0, 0) ? 0 : pixel == qRgb(255, 255, 255) ? 1 : -1;
    };
    const QRect inner = shown.rect().adjusted(kOutlineDashReach, kOutlineDashReach, -kOutlineDashReach,
                                              -kOutlineDashReach);
    for (int y = picture.top(); y <= picture.bottom(); ++y) {
        for (int x = picture.left(); x <= picture.right(); ++x) {
            if (!boundary.At({x, y})) {
                check.stray += shown.pixel(x, y) != plain.pixel(x, y);
                continue;
            }
            ++check.boundary;
            if (colour({x, y}) < 0) {
                ++check.missing;
                continue;
            }
            // A dash ends within a few pixels along the boundary, whichever way it runs
            // (and, near the window's edge, maybe out of sight).
            if (!inner.contains(x, y))
                continue;
            bool seen[2] = {false, false};
            for (int dy = -kOutlineDashReach; dy <= kOutlineDashReach; ++dy) {
                for (int dx = -kOutlineDashReach; dx <= kOutlineDashReach; ++dx) {
                    const QPoint near(x + dx, y + dy);
                    if (boundary.At(near) && colour(near) >= 0)
                        seen[colour(near)] = true;
                }
            }
            check.gaps += !(seen[0] && seen[1]);
        }
    }
    return check;
}

QString ScreenshotPath(const QString& name)
{
    QDir().mkpath(QStringLiteral(QUORVEL_SCREENSHOT_DIR));
    return QStringLiteral(QUORVEL_SCREENSHOT_DIR) + QLatin1Char('/') + name;
}

QImage ViewOnScreen(CTamsleyView* view)
{
    QScreen* screen = view->screen();
    const QPoint corner = view->viewport()->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft();
    return screen->grabWindow(0, corner.x(), corner.y(), view->viewport()->width(), view->viewport()->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

void RunEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void AnswerModals(ScopedDialogs& dialogs, std::function<int(QDialog&)> answer)
{
    dialogs->modal = [answer](QDialog* dialog) {
        dialog->show();
        const int result = answer(*dialog);
        dialog->hide();
        return result;
    };
}

}  // namespace shelltest

namespace shelltest {

QStringList EntriesIn(const std::string& folder)
{
    QStringList names = QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

}  // namespace shelltest
