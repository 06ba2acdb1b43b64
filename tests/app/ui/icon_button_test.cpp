// The kit's buttons and images: hover and pressed looks come and go with the pointer,
// tool buttons tell their palette, and every image the panels ask for is in the program.
#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QPainter>
#include <QTest>

#include "app/ui/application_support.h"
#include "app/ui/bitmap_load.h"
#include "app/ui/program_parts.h"
#include "app/ui/text_underline_button.h"
#include "app/ui/tool_button.h"

namespace {

// The widget's pixels as drawn now.
QImage Shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The resource image drawn over the widget's background, as the button draws it.
QImage Expected(QWidget& widget, int id)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(widget.palette().color(widget.backgroundRole()));
    QPainter painter(&image);
    painter.drawPixmap(0, 0, RApplication::LoadImage(id));
    return image;
}

// A window with the button on the left and room to move away to on the right.
struct ButtonWindow {
    explicit ButtonWindow(QWidget* button)
    {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(button);
        layout->addStretch();
        window.resize(200, 40);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
};

TEST(IconButton, HoverAndPressedLooksFollowThePointerAndClearWhenItLeaves)
{
    RApplication support;
    auto* button = new RTextUnderLineButton();
    button->setFixedSize(24, 24);
    ButtonWindow w(button);
    EXPECT_EQ(Shown(*button), Expected(*button, 355));
    QTest::mouseMove(button, QPoint(12, 12));
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->IsHovering(); }));
    EXPECT_EQ(Shown(*button), Expected(*button, 352));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(Shown(*button), Expected(*button, 356));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_FALSE(button->IsPressed());
    // One jump far off the button: the hover look goes at once.
    QTest::mouseMove(&w.window, QPoint(180, 20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !button->IsHovering(); }));
    EXPECT_EQ(Shown(*button), Expected(*button, 355));
    button->SetCheck(true);
    EXPECT_EQ(Shown(*button), Expected(*button, 356));
    button->setEnabled(false);
    EXPECT_EQ(Shown(*button), Expected(*button, 354));
}

TEST(StatusButton, StateFollowsThePointerAndResetsWhenDisabled)
{
    RApplication support;
    auto* button = new RCIconButton();
    button->SetIcons(296, 295, 294, 0);
    ButtonWindow w(button);
    EXPECT_EQ(button->size(), QSize(24, 24)) << "the icon's size";
    const struct {
        const char* step;
        std::function<void()> act;
        int state;
        int icon;
    } steps[] = {
        {"enter", [&] { QTest::mouseMove(button, QPoint(5, 5)); }, RStatusButton::kHover, 295},
        {"press", [&] { QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5)); }, RStatusButton::kPressed, 294},
        {"release over it", [&] { QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5)); }, RStatusButton::kHover, 295},
        {"leave", [&] { QTest::mouseMove(&w.window, QPoint(180, 20)); }, RStatusButton::kNormal, 296},
        {"enter again", [&] { QTest::mouseMove(button, QPoint(5, 5)); }, RStatusButton::kHover, 295},
        {"disabled", [&] { button->setEnabled(false); }, RStatusButton::kNormal, 296},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_TRUE(QTest::qWaitFor([&] { return button->GetState() == s.state; })) << s.step;
        EXPECT_EQ(Shown(*button), Expected(*button, s.icon)) << s.step;
    }
    EXPECT_FALSE(button->IsHovering());
}

class Palette : public IToolButtonPalette {
public:
    std::vector<RToolButton*> selected;
    void ToolButtonSelected(RToolButton* button) override
    {
        if (!selected.empty() && selected.back() != button)
            selected.back()->SetSelected(false);
        selected.push_back(button);
    }
};

TEST(ToolButton, ABecomingSelectedButtonTellsItsPaletteAndShowsItselfPressed)
{
    RApplication support;
    Palette palette;
    auto* pen = new RToolButton();
    auto* zoom = new RToolButton();
    for (RToolButton* button : {pen, zoom})
        button->SetPalette(&palette);
    pen->SetIcons(287, 286, 285, 0);
    zoom->SetIcons(272, 271, 270, 0);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(pen);
    layout->addWidget(zoom);
    layout->addStretch();
    window.resize(200, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The pointer passes over the buttons and comes to rest beside them.
    QTest::mouseMove(pen, QPoint(7, 9));
    QTest::mouseMove(zoom, QPoint(7, 9));
    QTest::mouseMove(&window, QPoint(180, 20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pen->IsHovering() && !zoom->IsHovering(); }));

    pen->SetSelected(true);
    pen->SetSelected(true);
    EXPECT_EQ(palette.selected, std::vector<RToolButton*>{pen});
    EXPECT_EQ(Shown(*pen), Expected(*pen, 285));
    zoom->SetSelected(true);
    EXPECT_EQ(palette.selected, (std::vector<RToolButton*>{pen, zoom}));
    EXPECT_FALSE(pen->IsSelected());
    EXPECT_EQ(Shown(*pen), Expected(*pen, 287));
    zoom->SetSelected(false);
    EXPECT_EQ(palette.selected.size(), 2u) << "letting go tells nobody";
    zoom->SetTooltip(QStringLiteral("Zoom Tool"));
    EXPECT_EQ(zoom->toolTip(), QStringLiteral("Zoom Tool"));
}

TEST(ApplicationSupport, EveryImageThePanelsNameIsInTheProgram)
{
    EXPECT_TRUE(RApplication::LoadImage(296).isNull()) << "no support object, no images";
    EXPECT_EQ(RBitmapLoad::Get()->Load(296), nullptr);
    {
        CShellParts parts = MakeProgramParts();
        ASSERT_TRUE(parts.applicationSupport);
        std::unique_ptr<quorvel::IApplicationSupport> support = parts.applicationSupport();
        ASSERT_EQ(RApplication::Get(), support.get());
        RApplication second(QStringLiteral(":/elsewhere"));
        EXPECT_EQ(RApplication::Get(), support.get()) << "the first one stays the global one";
        EXPECT_EQ(RApplication::GetModuleHandle(), QStringLiteral(":/controls"));

        // Tool palette (three per tool, two colour commands), layers panel buttons, and
        // the icon buttons' defaults.
        std::vector<int> ids = {316, 317, 352, 354, 355, 356};
        for (int id = 269; id <= 325; ++id) {
            if (id != 315)
                ids.push_back(id);
        }
        for (int id = 327; id <= 350; ++id) {
            if (id < 340 || id > 343)
                ids.push_back(id);
        }
        for (int id : ids) {
            const QPixmap image = RApplication::LoadImage(id);
            EXPECT_EQ(image.size(), QSize(24, 24)) << id;
        }
        EXPECT_TRUE(RApplication::LoadImage(999).isNull());
        EXPECT_EQ(RBitmapLoad::Get()->Load(999), nullptr);

        // A bitmap draws from its corner, as much as the rectangle holds.
        std::unique_ptr<RHBitmap> bitmap = RBitmapLoad::Get()->Load(316);
        ASSERT_NE(bitmap, nullptr);
        QImage target(40, 40, QImage::Format_ARGB32);
        target.fill(Qt::transparent);
        QPainter painter(&target);
        bitmap->Draw(painter, QRect(10, 10, 8, 8));
        painter.end();
        const QImage source = bitmap->GetBitmap().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(target.copy(10, 10, 8, 8), source.copy(0, 0, 8, 8));
        EXPECT_EQ(target.pixel(19, 19), 0u);
        EXPECT_EQ(target.pixel(9, 9), 0u);
    }
    EXPECT_EQ(RApplication::Get(), nullptr);
    EXPECT_TRUE(RApplication::GetModuleHandle().isEmpty());
}

}  // namespace
