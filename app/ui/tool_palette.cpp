// The tool palette's buttons, their icons and tooltips, and the pressed button.
#include "app/ui/tool_palette.h"

#include <QAction>
#include <QButtonGroup>
#include <QDockWidget>
#include <QEvent>
#include <QGridLayout>

#include "app/shell/main_frame.h"
#include "app/ui/colour_buttons.h"

namespace {

// A tool button: its control id, icons (normal, hover, pressed) and tooltip, in the
// palette's order.
struct PaletteButton {
    int id;
    int normal, hover, pressed;
    const char* tooltip;
};
constexpr PaletteButton kToolButtons[] = {
    {1073, 296, 295, 294, "Rectangle Select Tool"}, {1090, 305, 304, 303, "Ellipse Select Tool"},
    {1075, 302, 301, 300, "Lasso Tool"},            {1076, 299, 298, 297, "Magic Wand Tool"},
    {1074, 293, 292, 291, "Move Tool"},             {1085, 275, 274, 273, "Text Tool"},
    {1077, 287, 286, 285, "Pen Tool"},              {1078, 284, 283, 282, "Pencil Tool"},
    {1079, 314, 313, 312, "Eraser Tool"},           {1080, 320, 319, 318, "Clone Tool"},
    {1081, 278, 277, 276, "Smudge Tool"},           {1082, 323, 322, 321, "Bucket Tool"},
    {1083, 269, 325, 324, "Blur Tool"},             {1084, 281, 280, 279, "Sharp Tool"},
    {1094, 308, 306, 307, "Gradient Tool"},         {1086, 311, 310, 309, "Color Picker Tool"},
    {1087, 290, 289, 288, "Pan Tool"},              {1088, 272, 271, 270, "Zoom Tool"},
};
constexpr PaletteButton kColourCommands[] = {
    {1089, 316, 0, 0, "Set Default Color"},
    {1092, 317, 0, 0, "Switch Color"},
};
constexpr int kBackSwatch = 1091;
constexpr int kFrontSwatch = 1093;
constexpr int kColumns = 2;

}  // namespace

CToolManagerDlg::CToolManagerDlg(CMainFrame* frame, QWidget* parent)
    : QWidget(parent), m_frame(frame), m_tools(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("175"));
    // The palette's tool buttons are not exclusive in Qt's sense: the pressed look is the
    // buttons' own, set by the tool that becomes current.
    m_tools->setExclusive(false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(1);
    int row = 0;
    int column = 0;
    for (const PaletteButton& tool : kToolButtons) {
        auto* button = new RToolButton(this);
        button->setObjectName(QString::number(tool.id));
        button->SetPalette(this);
        button->SetIcons(tool.normal, tool.hover, tool.pressed, 0);
        button->SetTooltip(QString::fromLatin1(tool.tooltip));
        button->setFocusPolicy(Qt::NoFocus);
        m_tools->addButton(button, tool.id);
        grid->addWidget(button, row, column);
        if (++column == kColumns) {
            column = 0;
            ++row;
        }
    }
    connect(m_tools, &QButtonGroup::idClicked, this, &CToolManagerDlg::RunCommand);
    grid->setRowMinimumHeight(++row, 6);
    ++row;
    column = 0;
    for (const PaletteButton& command : kColourCommands) {
        auto* button = new RCIconButton(this);
        button->setObjectName(QString::number(command.id));
        button->SetIcons(command.normal, 0, 0, 0);
        button->SetTooltip(QString::fromLatin1(command.tooltip));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QAbstractButton::clicked, this, [this, id = command.id] { RunCommand(id); });
        grid->addWidget(button, row, column++);
    }
    // The swatches overlap as painters know them: the front colour over the back one.
    auto* swatches = new QWidget(this);
    swatches->setFixedSize(40, 40);
    auto* back = new RTzBackgroundColorButton(swatches);
    back->setObjectName(QString::number(kBackSwatch));
    back->setGeometry(14, 14, 24, 24);
    auto* front = new RTzFrontColorButton(swatches);
    front->setObjectName(QString::number(kFrontSwatch));
    front->setGeometry(2, 2, 24, 24);
    grid->addWidget(swatches, row + 1, 0, 1, kColumns, Qt::AlignHCenter);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void CToolManagerDlg::ToolButtonSelected(RToolButton* button)
{
    if (m_pressed && m_pressed != button)
        m_pressed->SetSelected(false);
    m_pressed = button;
}

void CToolManagerDlg::RunCommand(int id)
{
    if (QAction* command = m_frame ? m_frame->Action(id) : nullptr)
        command->trigger();
}

bool CToolManagerDlg::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        RemoveCloseBox();
    return QWidget::event(event);
}

void CToolManagerDlg::RemoveCloseBox()
{
    // The palette always floats, so its window has no docking button either.
    if (auto* window = qobject_cast<QDockWidget*>(parentWidget()))
        window->setFeatures(window->features() & ~(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetFloatable));
}
