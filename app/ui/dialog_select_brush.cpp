// The brush picker dialog.
#include "app/ui/dialog_select_brush.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/application.h"
#include "app/shell/shell_dialogs.h"
#include "app/ui/brush_manager.h"
#include "app/ui/brush_round.h"
#include "app/ui/round_brush_dialog.h"

namespace {

// Room for five columns and four rows of cells beside the scroll bar.
constexpr QSize kGridSize(340, 258);

}  // namespace

CDialogSelectBrush::CDialogSelectBrush(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Brush"));
    auto* gridPlace = new QWidget(this);
    gridPlace->setObjectName(QString::number(kGrid));
    gridPlace->setMinimumSize(kGridSize);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    auto* edit = new QPushButton(QStringLiteral("Edit"), this);
    edit->setObjectName(QString::number(kEditButton));
    edit->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDialogSelectBrush::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDialogSelectBrush::reject);
    connect(edit, &QPushButton::clicked, this, &CDialogSelectBrush::OnEdit);

    auto* column = new QVBoxLayout();
    column->addWidget(buttons);
    column->addStretch(1);
    column->addWidget(edit);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(gridPlace, 1);
    layout->addLayout(column);
}

void CDialogSelectBrush::InitDialog()
{
    m_grid.Attach(this, kGrid);
    m_grid.SetOwner(this);
    CBrushManager* library = CBrushManager::GetBrushManager();
    m_grid.SetCount(library ? library->GetBrushCount() : 0);
    m_grid.SetSelectedIndex(m_selected);
}

int CDialogSelectBrush::DoModal()
{
    InitDialog();
    return quorvel::ShellDialogs().ExecModal(this);
}

void CDialogSelectBrush::OnEdit()
{
    CBrushManager* library = CBrushManager::GetBrushManager();
    // Past the count no cell is framed: "Edit" has nothing to open.
    if (!library || m_selected >= library->GetBrushCount())
        return;
    CBrushDataBase* record = library->GetBrush(m_selected);
    if (!record || record->GetType() != CBrushRound::kType)
        return;
    CRoundBrushDlg editor(this);
    editor.SetBrush(static_cast<CBrushRound*>(record));
    editor.DoModal();
    m_grid.InvalidateCell(m_selected);
}

void CDialogSelectBrush::accept()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    if (quorvel::IToolManager* tools = app ? app->GetToolManager() : nullptr)
        tools->SetCurrentBrush(m_selected);
    QDialog::accept();
}

bool CBrushPicker::Pick(QWidget* parent, uint32_t, uint32_t start, uint32_t* chosen)
{
    if (!chosen)
        return false;
    CDialogSelectBrush dialog(parent);
    dialog.SetSelectedIndex(start);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    *chosen = dialog.GetSelectedIndex();
    return true;
}
