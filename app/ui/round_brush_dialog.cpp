// The round-brush dialog.
#include "app/ui/round_brush_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/shell/shell_dialogs.h"
#include "app/ui/brush_round.h"
#include "app/ui/page_slider_bar.h"
#include "app/ui/slide_and_edit.h"

namespace {

struct Row {
    const char* label;
    int slider;
    int edit;
    int maximum;
    const char* unit;
};

// In CRoundBrushDlg::Value order; every range starts at 0.
constexpr Row kRows[CRoundBrushDlg::kValues] = {
    {"Size:", 1062, 1060, 1000, ""},
    {"Hardness:", 1059, 1061, 100, "%"},
    {"Roundness:", 1063, 1042, 100, "%"},
    {"Angle:", 1064, 1065, 180, ""},
    {"Spacing:", 1066, 1067, 1000, "%"},
};

}  // namespace

CRoundBrushDlg::CRoundBrushDlg(QWidget* parent)
    : QDialog(parent), m_pressureSize(new QCheckBox(QStringLiteral("Size"), this)),
      m_pressureOpacity(new QCheckBox(QStringLiteral("Opacity"), this))
{
    setWindowTitle(QStringLiteral("Brush"));
    auto* grid = new QGridLayout(this);
    int line = 0;
    for (const Row& row : kRows) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(row.edit));
        edit->setFixedWidth(56);
        auto* slider = new CNPageSliderBar(Qt::Horizontal, this);
        slider->setObjectName(QString::number(row.slider));
        slider->setMinimumWidth(180);
        auto* label = new QLabel(QString::fromLatin1(row.label), this);
        label->setBuddy(edit);
        grid->addWidget(label, line, 0);
        grid->addWidget(slider, line, 1);
        grid->addWidget(edit, line, 2);
        grid->addWidget(new QLabel(QString::fromLatin1(row.unit), this), line, 3);
        ++line;
    }
    m_pressureSize->setObjectName(QString::number(kPressureSize));
    m_pressureOpacity->setObjectName(QString::number(kPressureOpacity));
    auto* pressure = new QHBoxLayout();
    pressure->addWidget(m_pressureSize);
    pressure->addWidget(m_pressureOpacity);
    pressure->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("Pressure:"), this), line, 0);
    grid->addLayout(pressure, line, 1, 1, 3);
    ++line;

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CRoundBrushDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRoundBrushDlg::reject);
    grid->addWidget(buttons, line, 0, 1, 4);
}

void CRoundBrushDlg::SetBrush(CBrushRound* record)
{
    if (record)
        m_record = record;
}

void CRoundBrushDlg::InitDialog()
{
    for (int value = 0; value < kValues; ++value) {
        if (!m_pairs[value]) {
            m_pairs[value] = new CRSlideAndEditCom(this, kRows[value].slider, kRows[value].edit);
            m_pairs[value]->SetRange(0, kRows[value].maximum);
        }
    }
    const int values[kValues] = {
        m_record ? m_record->GetDiameter() : 0,  m_record ? m_record->GetHardness() : 100,
        m_record ? m_record->GetRoundness() : 100, m_record ? m_record->GetAngle() : 0,
        m_record ? int(m_record->GetSpacing()) : 0,
    };
    for (int value = 0; value < kValues; ++value)
        m_pairs[value]->SetValue(values[value]);
    m_pressureSize->setChecked(m_record ? m_record->GetPressureSize() : true);
    m_pressureOpacity->setChecked(m_record ? m_record->GetPressureOpacity() : false);
}

int CRoundBrushDlg::DoModal()
{
    InitDialog();
    return quorvel::ShellDialogs().ExecModal(this);
}

void CRoundBrushDlg::accept()
{
    if (m_record && m_pairs[kDiameter]) {
        m_record->SetDiameter(uint32_t(m_pairs[kDiameter]->GetValue()));
        m_record->SetSpacing(uint32_t(m_pairs[kSpacing]->GetValue()));
        m_record->SetHardness(uint32_t(m_pairs[kHardness]->GetValue()));
        m_record->SetRoundness(uint32_t(m_pairs[kRoundness]->GetValue()));
        m_record->SetAngle(uint32_t(m_pairs[kAngle]->GetValue()));
        m_record->SetPressureSize(m_pressureSize->isChecked());
        m_record->SetPressureOpacity(m_pressureOpacity->isChecked());
    }
    QDialog::accept();
}
