// The Fill Color dialog.
#include "app/ui/fill_dialog.h"

#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/drawing_functions.h"
#include "app/shell/settings_store.h"
#include "app/ui/dialog_rows.h"
#include "app/ui/slide_and_edit.h"

namespace {

constexpr std::u16string_view kFillOpacity = u"Tool_Fill_Opacity";

}  // namespace

CFILLDLG::CFILLDLG(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fill Color"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(MakeOpacityRow(this));
    layout->addWidget(MakeOkCancel(this));
    m_pair = new CRSlideAndEditCom(this, 1007, 1006);
    m_pair->SetRange(0, 100);
    uint32_t stored = 0;
    if (quorvel::ReadSettingDword(kFillOpacity, &stored))
        m_percent = uint8_t(std::min<uint32_t>(stored, 100));
    m_pair->SetValue(m_percent);
}

uint8_t CFILLDLG::GetOpacity() const
{
    return PercentToOpacity(m_percent);
}

void CFILLDLG::accept()
{
    // The pair's value: the box's number once it is in range; text it has not taken (an
    // empty box, a number below 0) leaves the value in force.
    m_percent = uint8_t(m_pair->GetValue());
    quorvel::WriteSettingDword(kFillOpacity, m_percent);
    QDialog::accept();
}
