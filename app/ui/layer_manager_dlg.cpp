// The layers panel: its controls, the picture it shows and its buttons' states.
#include "app/ui/layer_manager_dlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/shell_strings.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/status_button.h"
#include "engine/picture/picture.h"

using namespace quorvel;

namespace {

// Each button: its id, the command it runs, its images (normal, pressed, hover,
// disabled) and its tooltip.
struct PanelButton {
    int id;
    int command;
    int normal, pressed, hover, disabled;
    const char* tooltip;
};
constexpr PanelButton kButtons[] = {
    {CLayerManagerDlg::kNewLayerId, ID_LAYER_NEW, 331, 330, 329, 328, "New Layer"},
    {CLayerManagerDlg::kConvertId, ID_LAYER_CONVERT, 347, 350, 349, 348, "Convert To Image Layer"},
    {CLayerManagerDlg::kDeleteId, ID_LAYER_DELETE, 327, 346, 345, 344, "Delet Layer"},
    {CLayerManagerDlg::kMergeAllId, ID_LAYER_MERGE_ALL, 339, 338, 337, 336, "Merge All Layer"},
    {CLayerManagerDlg::kMergeDownId, ID_LAYER_MERGE_DOWN, 335, 334, 333, 332, "Merge Down"},
};

}  // namespace

CLayerOpacitySCBox::CLayerOpacitySCBox(QWidget* parent) : CSlideCombobox(parent)
{
    SetRangePercent();
    UpdateText();
}

QString CLayerOpacitySCBox::FormatValue() const
{
    return QStringLiteral("%1%").arg(GetValue());
}

CLayerManagerDlg::CLayerManagerDlg(QWidget* parent) : QWidget(parent), m_frame(dynamic_cast<CMainFrame*>(parent))
{
    // The frame may be on its way out when its last view lets the panel go: only its
    // actions, which outlive its own parts, are touched then.
    setWindowTitle(QStringLiteral("Layers"));
    setObjectName(QStringLiteral("152"));
    InitControls();
    UpdateButtons();
}

CLayerManagerDlg::~CLayerManagerDlg()
{
    // The list lets go of the picture and the box before the panel's parts go.
    m_list->SetChangeHandler({});
    m_list->SetOpacityBox(nullptr);
    m_list->SetPicture(nullptr);
}

void CLayerManagerDlg::InitControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* opacityRow = new QHBoxLayout();
    opacityRow->addWidget(new QLabel(QStringLiteral("Opacity:"), this));
    m_opacity = new CLayerOpacitySCBox(this);
    m_opacity->setObjectName(QString::number(kOpacityId));
    // The selection field is 16 pixels high, as the panel's template sizes it.
    m_opacity->setFixedHeight(16 + 2 * m_opacity->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    m_opacity->setFixedWidth(64);
    opacityRow->addWidget(m_opacity);
    opacityRow->addStretch(1);
    layout->addLayout(opacityRow);

    m_list = new CLayerListBox(this);
    m_list->setObjectName(QString::number(kListId));
    m_list->SetOpacityBox(m_opacity);
    m_list->SetPropertiesHandler([this] { EditActiveLayer(); });
    // The list hears the picture's changes of its stack, its active layer and its end.
    m_list->SetChangeHandler([this] { UpdateButtons(); });
    m_list->setMinimumSize(200, CLayerListBox::kRowHeight * 6);
    layout->addWidget(m_list, 1);

    auto* frame = dynamic_cast<CMainFrame*>(m_frame.data());
    auto* buttonRow = new QHBoxLayout();
    buttonRow->setSpacing(2);
    buttonRow->addStretch(1);
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        const PanelButton& spec = kButtons[i];
        auto* button = new RCIconButton(this);
        button->setObjectName(QString::number(spec.id));
        button->SetIcons(spec.normal, spec.hover, spec.pressed, spec.disabled);
        button->SetTooltip(QString::fromLatin1(spec.tooltip));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QAbstractButton::clicked, this, [this, i] { RunCommand(i); });
        // The frame's command states show on the buttons as soon as they change.
        if (QAction* action = frame ? frame->Action(spec.command) : nullptr) {
            connect(action, &QAction::changed, this, &CLayerManagerDlg::UpdateButtons);
            m_actions[i] = action;
        }
        buttonRow->addWidget(button);
        m_buttons[i] = button;
    }
    layout->addLayout(buttonRow);
    resize(220, 320);
}

void CLayerManagerDlg::SetPicture(ITzPicture* picture)
{
    m_list->SetPicture(picture);
    UpdateButtons();
}

ITzPicture* CLayerManagerDlg::GetPicture() const
{
    return m_list->GetPicture();
}

RCIconButton* CLayerManagerDlg::GetButton(int id) const
{
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        if (kButtons[i].id == id)
            return m_buttons[i];
    }
    return nullptr;
}

void CLayerManagerDlg::UpdateButtons()
{
    ITzPicture* picture = m_list->GetPicture();
    const bool shown = picture != nullptr;
    const int count = shown ? picture->GetLayerCount() : 0;
    m_list->setEnabled(shown);
    m_opacity->setEnabled(shown);
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        bool enabled = true;
        switch (kButtons[i].id) {
        case kNewLayerId:
            enabled = shown;
            break;
        case kDeleteId:
        case kMergeAllId:
            enabled = count > 1;
            break;
        case kMergeDownId:
            enabled = shown && picture->GetActiveLayerID() != 0;
            break;
        default:  // Convert follows its command alone
            break;
        }
        m_buttons[i]->setEnabled(enabled && (!m_actions[i] || m_actions[i]->isEnabled()));
    }
}

void CLayerManagerDlg::RunCommand(size_t button)
{
    if (QAction* action = m_actions[button]; action && action->isEnabled())
        action->trigger();
    // The click made the floating panel's window the active one: the keys go back to the
    // view, so that Ctrl+Z undoes at once what the button did.
    if (auto* frame = dynamic_cast<CMainFrame*>(m_frame.data()))
        frame->FocusMainWindow();
}

void CLayerManagerDlg::EditActiveLayer()
{
    auto* frame = dynamic_cast<CMainFrame*>(m_frame.data());
    CTamsleyView* view = frame ? frame->GetActiveTamsleyView() : nullptr;
    if (view && GetPicture() && view->GetPicture() == GetPicture())
        view->EditLayerProperties();
}
